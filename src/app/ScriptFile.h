#pragma once

#include <QString>
#include <filesystem>

namespace tarnfold::app {

// A script file's text as the field holds it, with "\n" line ends, and
// whether the file ended its lines with "\r\n" (the kit's files do), so that
// saving writes them back as they were.
struct ScriptText {
    QString text;
    bool crlf = false;
};

// A script by its name: .hsc (HSC) or .xml (a script document), in any letter case.
bool IsScriptFile(const std::filesystem::path& path);

// Reads a script file: UTF-8, or UTF-16 with a byte order mark.
// Throws tarnfold::Error naming the file when it cannot be read.
ScriptText ReadScriptFile(const std::filesystem::path& path);

// Writes the text as UTF-8 into a new file that replaces `path` only once it
// is complete, so a failed save leaves the old file. Throws tarnfold::Error.
void WriteScriptFile(const std::filesystem::path& path, const ScriptText& script);

}  // namespace tarnfold::app
