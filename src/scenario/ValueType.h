#pragma once

#include <cstdint>

// The engine's value types, as nodes and records store them (int16). The
// numbers that the compiler and the readers treat by their own rules are
// named here; engine/Tables.h holds the whole table with its names.
namespace tarnfold::value_type {

constexpr int16_t kUnparsed = 0;
constexpr int16_t kSpecialForm = 1;
constexpr int16_t kFunctionName = 2;  // the type of a call's name node
constexpr int16_t kPassthrough = 3;
constexpr int16_t kVoid = 4;
constexpr int16_t kBoolean = 5;
constexpr int16_t kReal = 6;
constexpr int16_t kShort = 7;
constexpr int16_t kLong = 8;
constexpr int16_t kString = 9;
constexpr int16_t kScript = 10;
constexpr int16_t kFirstTag = 24;  // sound to object_definition: a constant holds a tag ID
constexpr int16_t kLastTag = 31;
constexpr int16_t kObjectList = 23;
constexpr int16_t kObject = 37;
constexpr int16_t kScenery = 42;
constexpr int16_t kObjectName = 43;
constexpr int16_t kSceneryName = 48;

// The types whose constants store their value in the node and no text:
// the keywords of boolean, and the numbers.
constexpr bool IsNumber(int type) { return type == kReal || type == kShort || type == kLong; }

}  // namespace tarnfold::value_type
