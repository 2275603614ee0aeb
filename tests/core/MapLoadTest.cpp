// Reading a map's tag names. Both header layouts and a high-bit Magic are
// read in the worked examples (IntroExample).
#include "Support.h"

#include "map/HaloPcMap.h"

namespace tarnfold::testing {
namespace {

class LoadMap : public MapFolder {};

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
