#pragma once

// The bytes a compile must write, worked out step by step from the map
// before it, independently of the code under test: first compiles and
// compiles into a map Tarnfold compiled before. The worked examples spell
// the node records out by hand; other tests take the build (nodes, texts,
// records) from the compiler's builder and hold every other byte to this
// model.

#include <ostream>
#include <string>
#include <string_view>

#include "TestSupport.h"
#include "map/Tag.h"

namespace tarnfold::testing {

// The format's layout, written out as numbers here rather than taken from
// the code under test, so that a wrong offset there cannot pass unseen.
namespace layout {
// Header and tag index.
constexpr int64_t kVersion = 4;
constexpr int64_t kIndexHeaderSize = 40, kIndexAddress = 0, kIndexTagCount = 12;
constexpr int64_t kEntrySize = 32, kEntryClass = 0, kEntryIdent = 12, kEntryNameAddress = 16,
                  kEntryDataAddress = 20;
inline int64_t IndexOffsetField(bool daeh) {
    return daeh ? 16 : 1516;
}
// The scenario's script fields, from tag 0's data.
constexpr int64_t kSyntaxDataSize = 1140, kSyntaxDataAddress = 1152, kStringDataSize = 1160,
                  kStringDataAddress = 1172, kScriptCount = 1180, kScriptsAddress = 1184, kGlobalCount = 1192,
                  kGlobalsAddress = 1196, kMovedAddress = 1448, kFieldsEnd = 1452;
constexpr int32_t kStringReserve = 1024;
// The syntax data header and its nodes; the script and global records.
constexpr int64_t kLastIndex = 46, kRealSyn = 48, kLastIdentity = 50, kHeaderZero = 52;
constexpr int32_t kHeaderSize = 56, kNodeSize = 20, kRecordSize = 92;
}  // namespace layout

// Four value bytes in file order: Le(0x1E, 0x00, 0xFF, 0xFF).
constexpr uint32_t Le(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    return a | uint32_t{b} << 8 | uint32_t{c} << 16 | uint32_t{d} << 24;
}
// A link: the int16 `low` (an index) then the int16 `high` (an identity).
constexpr uint32_t Pair(int low, int high) {
    return uint16_t(low) | uint32_t{uint16_t(high)} << 16;
}
constexpr uint32_t kNone = 0xFFFFFFFFu;
// The identity of node index i: 0xE373 at index 0, 0xFFFF at 7308, then 0x8000 on; never 0.
constexpr uint16_t Id(int index) {
    return uint16_t(0x8000 | ((index + 0x6373) & 0x7FFF));
}
constexpr uint32_t Ref(int index) {
    return Pair(index, Id(index));
}

// One 20-byte node record, field by field.
struct Node {
    int identity, engine, valueType, kind;
    uint32_t next;
    int32_t text;
    uint32_t value;
    bool operator==(const Node&) const = default;
};
void PrintTo(const Node& node, std::ostream* out);

std::vector<Node> Nodes(const Bytes& records);
Bytes Slice(const Bytes& bytes, int64_t at, int64_t count);
// The four lead fillers from node `first` on; the closing filler of a script.
std::vector<Node> LeadFillers(int first);
Node ClosingFiller(int realSyn, int firstBody);
Bytes ScriptRecord(std::string_view name, int type, int returnType, int rootIndex);

struct ExpectedBuild {
    std::vector<Node> nodes;
    int realSyn = 0;
    std::string texts;   // the string data before its reserve, zero bytes included
    Bytes records;       // the 92-byte script records
    Bytes globals = {};  // the 92-byte global records
};
// The compiler's builder run on `document` alone, with the tag index `tags`
// for tag constants.
ExpectedBuild Built(std::string_view document, const std::vector<Tag>* tags = nullptr);

// The map a compile of `build` into `before` must leave.
Bytes ExpectedMap(const Bytes& before, const ExpectedBuild& build);

}  // namespace tarnfold::testing
