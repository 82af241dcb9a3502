#include "app.h"
#include "fakeRaylib.h"

#include <gtest/gtest.h>

TEST(TypedCharacter, NarrowsToOneSignedByte) {
    struct Case {
        int codePoint;
        int expected;
    } cases[] = {{0, 0}, {'5', '5'}, {'a', 'a'}, {127, 127}, {0xE9, -23}, {128, -128},
                 {255, -1}, {256, 0}, {0x431, 0}, {0x1F600, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(narrowTypedCharacter(c.codePoint), static_cast<char>(c.expected))
            << "code point " << c.codePoint;
    }
}
