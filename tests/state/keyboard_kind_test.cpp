// The keyboard models' table: which product id gives which kind.

#include <gtest/gtest.h>

#include "state/discovery_threads.h"
#include "state/keyboard_kind.h"

namespace rxt {
namespace {

TEST(KeyboardKindTable, ProductsPickTheKind) {
    EXPECT_EQ(keyboardKindFor(0x6553, KeyboardKind::SingleColour), KeyboardKind::FullColour);
    EXPECT_EQ(keyboardKindFor(0x0800, KeyboardKind::FullColour), KeyboardKind::SingleColour);
    EXPECT_EQ(keyboardKindFor(0x7200, KeyboardKind::FullColour), KeyboardKind::FullColour);
    EXPECT_EQ(keyboardKindFor(0x7200, KeyboardKind::SingleColour), KeyboardKind::SingleColour);
    EXPECT_EQ(keyboardKindFor(0x1234, KeyboardKind::FullColour), KeyboardKind::FullColour);
    EXPECT_EQ(keyboardKindOf(keyboardVariantOf(KeyboardKind::FullColour)),
              KeyboardKind::FullColour);
    EXPECT_EQ(keyboardVariantOf(KeyboardKind::SingleColour), 0);
}

TEST(KeyboardKindTable, VariantFollowsTheTable) {
    for (const KeyboardModel& m : kKeyboardModels) {
        for (int current : {0, 1}) {
            EXPECT_EQ(keyboardVariantFor(m.product, current),
                      keyboardVariantOf(keyboardKindFor(m.product, keyboardKindOf(current))));
        }
    }
}

}  // namespace
}  // namespace rxt
