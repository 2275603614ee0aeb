#include "scenario/ScriptRecord.h"

#include <algorithm>
#include <cstring>

#include "runtime/ByteOrder.h"

namespace tarnfold {

using namespace script_record;

std::string DecodeName(const uint8_t* field, size_t width) {
    const auto* end = static_cast<const uint8_t*>(std::memchr(field, 0, width));
    return std::string(field, end ? end : field + width);
}

void EncodeName(std::string_view name, uint8_t* field, size_t width) {
    std::copy_n(name.begin(), std::min(name.size(), width - 1), field);
}

std::array<uint8_t, kSize> ScriptHeader::Encode() const {
    std::array<uint8_t, kSize> record{};
    EncodeName(Name, record.data() + kName, kNameMax + 1);
    WriteInt16LE(record.data() + kType, Type);
    WriteInt16LE(record.data() + kReturnType, ReturnType);
    WriteUInt32LE(record.data() + kRoot, Root);
    return record;
}

ScriptHeader ScriptHeader::Decode(const uint8_t* record) {
    ScriptHeader script;
    script.Name = DecodeName(record + kName, kNameMax + 1);
    script.Type = ReadInt16LE(record + kType);
    script.ReturnType = ReadInt16LE(record + kReturnType);
    script.Root = ReadUInt32LE(record + kRoot);
    return script;
}

}  // namespace tarnfold
