// A syntax node and the syntax data header, byte by byte at the offsets the
// game reads them from.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "scenario/Syntax.h"

namespace tarnfold::testing {
namespace {

TEST(Syntax, EveryFieldHasItsPlaceInTheRecord) {
    const Syntax node{.ExpIdentity = 0xE377,
                      .EngineIdentity = -2,
                      .ValueType = 0x0506,
                      .ExpType = 13,
                      .SibExpPointer = 0x0A0B0C0D,
                      .ScriptTableOffset = 0x11223344,
                      .ScriptValue = 0xFFFF001E};
    Bytes record(20);
    node.Encode(record.data());
    EXPECT_EQ(record, Bytes({0x77, 0xE3, 0xFE, 0xFF, 0x06, 0x05, 13,   0,    0x0D, 0x0C,
                             0x0B, 0x0A, 0x44, 0x33, 0x22, 0x11, 0x1E, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(Syntax::Decode(record.data()), node);
}

TEST(Syntax, IdentitiesAndLinksFollowTheEnginesRule) {
    EXPECT_EQ(syntax::Identity(0), 0xE373);
    EXPECT_EQ(syntax::Identity(7308), 0xFFFF);
    EXPECT_EQ(syntax::Identity(7309), 0x8000);  // never 0, the mark of a free slot
    EXPECT_EQ(syntax::Link(5), 0xE3780005u);
    EXPECT_EQ(syntax::LinkIndex(0xE3780005u), 5);
    EXPECT_EQ(syntax::LinkIdentity(0xE3780005u), 0xE378);
}

// A compile writes the header from +46 on: last index, RealSyn, the last
// identity, a zero word.
TEST(Syntax, HeaderHoldsTheLastIndexRealSynAndLastIdentity) {
    const auto bytes = syntax::SyntaxHeader{9, 4}.Encode();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), Bytes({8, 0, 4, 0, 0x7B, 0xE3, 0, 0, 0, 0}));
    EXPECT_EQ(syntax::SyntaxHeader::kWrittenFrom, 46);
    const auto none = syntax::SyntaxHeader{0, 0}.Encode();
    EXPECT_EQ(Bytes(none.begin(), none.end()), Bytes({0xFF, 0xFF, 0, 0, 0x72, 0xE3, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace tarnfold::testing
