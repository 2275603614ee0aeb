#include "scenario/AddressFields.h"

namespace tarnfold::scenario {

namespace {

// In the order of the struct (1456 bytes in a Halo PC or Custom Edition map).
constexpr int64_t kAddressFields[] = {
    4, 20, 36,            // tag references: don't use, won't use, can't use
    52, 68,               // skies, child scenarios
    240, 252,             // predicted resources, functions
    272,                  // editor scenario data (tag data)
    284,                  // comments
    520, 532, 544, 556, 568, 580, 592, 604, 616, 628, 640,  // object names, scenery ... weapon palette
    652, 664, 676, 688, 700, 712, 724, 736, 748,            // device groups ... sound scenery palette
    844, 856, 868, 880, 892, 904, 916, 928, 940, 952, 964,  // starting profiles ... detail object palette
    1060, 1072, 1084, 1096, 1108, 1120, 1132,               // actor palette ... ai conversations
    1152,                 // script syntax data (tag data)
    1208, 1220,           // references, source files
    1256, 1268, 1280,     // cutscene flags, camera points, titles
    1400, 1416, 1432,     // tag references: custom object names, ingame help text, hud messages
};

}  // namespace

std::span<const int64_t> AddressFields() { return kAddressFields; }

}  // namespace tarnfold::scenario
