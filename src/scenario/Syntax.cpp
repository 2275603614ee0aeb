#include "scenario/Syntax.h"

#include "runtime/ByteOrder.h"

namespace tarnfold {

using namespace syntax;

std::array<uint8_t, kHeaderSize - kLastIndex> SyntaxHeader::Encode() const {
    std::array<uint8_t, kHeaderSize - kLastIndex> bytes{};
    WriteInt16LE(bytes.data() + (kLastIndex - kWrittenFrom), nodes - 1);
    WriteInt16LE(bytes.data() + (kRealSyn - kWrittenFrom), realSyn);
    WriteInt16LE(bytes.data() + (kLastIdentity - kWrittenFrom), Identity(nodes - 1));
    return bytes;  // and the zero word after the last identity
}

void Syntax::Encode(uint8_t* record) const {
    WriteInt16LE(record + kNodeIdentity, ExpIdentity);
    WriteInt16LE(record + kNodeEngine, EngineIdentity);
    WriteInt16LE(record + kNodeValueType, ValueType);
    WriteInt16LE(record + kNodeFlags, ExpType);
    WriteUInt32LE(record + kNodeNext, SibExpPointer);
    WriteInt32LE(record + kNodeText, ScriptTableOffset);
    WriteUInt32LE(record + kNodeValue, ScriptValue);
}

Syntax Syntax::Decode(const uint8_t* record) {
    Syntax node;
    node.ExpIdentity = ReadUInt16LE(record + kNodeIdentity);
    node.EngineIdentity = ReadInt16LE(record + kNodeEngine);
    node.ValueType = ReadInt16LE(record + kNodeValueType);
    node.ExpType = ReadInt16LE(record + kNodeFlags);
    node.SibExpPointer = ReadUInt32LE(record + kNodeNext);
    node.ScriptTableOffset = ReadInt32LE(record + kNodeText);
    node.ScriptValue = ReadUInt32LE(record + kNodeValue);
    return node;
}

}  // namespace tarnfold
