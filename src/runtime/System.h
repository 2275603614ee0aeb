#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What differs between the systems outside the file classes: the program's
// arguments and console, and the limits on paths. Each platform has its file
// (System_posix.cpp, System_win32.cpp).
namespace tarnfold {

// The program's arguments as UTF-8, whatever the system's code page.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes the console show UTF-8 output as such, and standard input read as
// bytes (a UTF-16 document must reach the XML reader unchanged).
void UseUtf8Console();

// Refuses, with a message that says so, a path too long for the system to
// open (Windows: more than 259 characters); elsewhere the system's own
// error says enough.
void CheckPathLength(const std::filesystem::path& path);

}  // namespace tarnfold
