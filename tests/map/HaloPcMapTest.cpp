// The header and tag index as a map holds them.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "map/HaloPcMap.h"

namespace tarnfold::testing {
namespace {

TEST(HaloPcMap, ReadsTheHeaderAndEveryEntry) {
    for (const bool daeh : {true, false}) {
        SyntheticMap map = BuildSyntheticMap({.headLayout = daeh, .magic = 0x80001000u});
        map.SetWord(4, 7);
        std::copy_n(
            "dcba"
            "hgfe"
            "lkji",
            12, map.bytes.begin() + map.Entry(2));  // class codes, last letter first
        TempFolder temp;
        HaloPcMap loaded;
        loaded.LoadMap(Saved(map, temp));
        EXPECT_EQ(std::tie(loaded.HeadLayout, loaded.Version, loaded.indexOffset, loaded.TagCount),
                  std::make_tuple(daeh, 7, map.indexOffset, 4));
        EXPECT_EQ(loaded.Magic, int32_t(0x80001000u));
        const Tag& tag = loaded.TagCache.at(2);
        EXPECT_EQ(std::tie(tag.Class1, tag.Class2, tag.Class3), std::make_tuple("abcd", "efgh", "ijkl"));
        EXPECT_EQ(tag.ident, int32_t(0xE1F50002u));
        EXPECT_EQ(tag.Name, "tags\\item_2");
        EXPECT_EQ(loaded.TagCache.at(1).Offset, map.tag1);
        EXPECT_EQ(loaded.Scenario()->Name, "levels\\test\\synthetic\\synthetic");
    }
}

}  // namespace
}  // namespace tarnfold::testing
