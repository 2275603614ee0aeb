// The 92-byte script and global records, byte by byte.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "scenario/GlobalRecord.h"
#include "scenario/ScriptRecord.h"

namespace tarnfold::testing {
namespace {

Bytes Expected(std::string_view name, std::initializer_list<std::pair<int, uint32_t>> words) {
    Bytes record(92, 0);
    std::copy(name.begin(), name.end(), record.begin());
    for (const auto& [at, word] : words) PutWord(record, at, word);
    return record;
}

TEST(Records, ScriptRecordHoldsNameTypesAndRoot) {
    const ScriptHeader script{.Name = "gamma", .Type = 1, .ReturnType = 4, .Root = 0xE3790006u};
    const auto record = script.Encode();
    EXPECT_EQ(Bytes(record.begin(), record.end()), Expected("gamma", {{32, 0x00040001u}, {36, 0xE3790006u}}));
    const ScriptHeader back = ScriptHeader::Decode(record.data());
    EXPECT_EQ(std::tie(back.Name, back.Type, back.ReturnType, back.Root),
              std::tie(script.Name, script.Type, script.ReturnType, script.Root));
}

TEST(Records, GlobalRecordHoldsNameTypeAndInitialValue) {
    const GlobalRecord global{.Name = "counter", .Type = 7, .Initial = 0xE3800009u};
    const auto record = global.Encode();
    EXPECT_EQ(Bytes(record.begin(), record.end()), Expected("counter", {{32, 7}, {40, 0xE3800009u}}));
    const GlobalRecord back = GlobalRecord::Decode(record.data());
    EXPECT_EQ(std::tie(back.Name, back.Type, back.Initial),
              std::tie(global.Name, global.Type, global.Initial));
}

// A name fills at most 31 bytes and keeps its zero; one that fills the field
// reads back whole.
TEST(Records, NamesKeepTheirEndingZero) {
    const auto record = ScriptHeader{.Name = std::string(40, 'n')}.Encode();
    EXPECT_EQ(record[30], 'n');
    EXPECT_EQ(record[31], 0);
    EXPECT_EQ(ScriptHeader::Decode(record.data()).Name, std::string(31, 'n'));
}

}  // namespace
}  // namespace tarnfold::testing
