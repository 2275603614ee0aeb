#include "scenario/GlobalRecord.h"

#include "runtime/ByteOrder.h"
#include "scenario/ScriptRecord.h"

namespace tarnfold {

using namespace global_record;

std::array<uint8_t, kSize> GlobalRecord::Encode() const {
    std::array<uint8_t, kSize> record{};
    EncodeName(Name, record.data() + kName, kNameMax + 1);
    WriteInt16LE(record.data() + kType, Type);
    WriteUInt32LE(record.data() + kInitial, Initial);
    return record;
}

GlobalRecord GlobalRecord::Decode(const uint8_t* record) {
    GlobalRecord global;
    global.Name = DecodeName(record + kName, kNameMax + 1);
    global.Type = ReadInt16LE(record + kType);
    global.Initial = ReadUInt32LE(record + kInitial);
    return global;
}

}  // namespace tarnfold
