// Reading a map's header and tag index.
#include "Support.h"

#include "map/HaloPcMap.h"

namespace tarnfold::testing {
namespace {

class LoadMap : public MapFolder {};

TEST_F(LoadMap, EitherHeaderLayout) {
    for (const bool daeh : {true, false}) {
        // The other layout's index offset field holds filler: reading it fails.
        const auto map = BuildSyntheticMap({.headLayout = daeh, .magic = 0xC0000000u});
        HaloPcMap loaded;
        loaded.LoadMap(Save(map));
        EXPECT_EQ(loaded.indexOffset, map.indexOffset) << daeh;
        EXPECT_EQ(loaded.Magic, int32_t(0xC0000000u));
        ASSERT_EQ(loaded.TagCache.size(), 4u) << "entries 0 to TagCount - 1, no more";
        EXPECT_EQ(loaded.Scenario()->Class1, "scnr");
        EXPECT_EQ(loaded.Scenario()->Name, "levels\\test\\synthetic\\synthetic");
        EXPECT_EQ(loaded.Scenario()->Offset, map.scenario);
        EXPECT_EQ(loaded.TagCache[1].Offset, map.tag1);
        EXPECT_EQ(uint32_t(loaded.TagCache[1].ident), 0xE1F50001u);
    }
}

TEST_F(LoadMap, TagNames) {
    auto map = BuildSyntheticMap({.tailRemainder = 3});
    map.SetWord(map.Entry(2) + 16, uint32_t(map.Address(map.Length() - 3)));  // "~~~" and no zero
    map.SetWord(map.Entry(3) + 16, map.Word(map.Entry(1) + 16));               // tag 1's name again
    HaloPcMap loaded;
    loaded.LoadMap(Save(map));
    EXPECT_EQ(loaded.TagCache[2].Name, "~~~") << "a name stops at the end of the file";
    EXPECT_EQ(loaded.TagByName.at("obje:tags\\item_1"), 3) << "the later entry wins";
}

}  // namespace
}  // namespace tarnfold::testing
