// Keys typed into another window reach neither the high-score name nor the key bindings.
#include "ui_fixture.h"

TEST_F(MenuTest, AnUnfocusedWindowTypesNoLetterAndCapturesNoKey) {
    fake_keyboard::reset();
    fake_keyboard::hold(VkF5);
    fake_keyboard::setFocused(false);
    scrambleBindings();
    std::int16_t binding = 7;
    EXPECT_EQ(captureKey(binding, false), 0);
    EXPECT_EQ(keys.forwardKey, 1) << "F5 typed elsewhere keeps the bindings";
    fake_keyboard::release(VkF5);
    fake_keyboard::hold('A');
    nameEntryIdle();
    EXPECT_EQ(nameLength, 0);
    EXPECT_EQ(fake_keyboard::queries(), 0) << "no key is read at all";

    fake_keyboard::setFocused(true);
    nameEntryIdle();
    EXPECT_STREQ(nameBuffer, "a") << "the same key, once the window has the focus";
}
