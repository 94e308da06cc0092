// pollKeyboard over a fake key source: the focus gate, the lock, the turn cancel and F12.
#include "app/keyboard.h"
#include "platform/keys.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<int> down;
bool focused = true;

bool fakeDown(int vk) {
    return down.count(vk) != 0;
}
bool fakeFocused() {
    return focused;
}

class PollKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        down.clear();
        focused = true;
        setKeySource(fakeDown, fakeFocused);
        bindings = KeyBindings{};
        setDefaultKeyBindings(bindings);
    }
    void TearDown() override { setKeySource(nullptr, nullptr); }
    KeyBindings bindings{};
};

TEST_F(PollKeyboardTest, DefaultBindings) {
    EXPECT_EQ(bindings.forwardKey, 104);
    EXPECT_EQ(bindings.rightKey, 102);
    EXPECT_EQ(bindings.leftKey, 100);
    EXPECT_EQ(bindings.shootKey, 9);
    EXPECT_EQ(bindings.backKey, 27);
}

TEST_F(PollKeyboardTest, EveryFixedKeyLandsInItsOwnFlag) {
    const struct {
        int vk;
        std::uint8_t KeyBindings::*flag;
    } fixed[] = {
        {38, &KeyBindings::upHeld},        {40, &KeyBindings::downHeld},  {37, &KeyBindings::leftArrowHeld},
        {39, &KeyBindings::rightArrowHeld}, {13, &KeyBindings::enterHeld}, {16, &KeyBindings::shiftHeld},
        {113, &KeyBindings::f2Held},       {118, &KeyBindings::f7Held},   {119, &KeyBindings::f8Held},
        {120, &KeyBindings::f9Held},       {122, &KeyBindings::f11Held},  {27, &KeyBindings::backHeld},
        {104, &KeyBindings::forwardHeld},  {102, &KeyBindings::rightHeld}, {100, &KeyBindings::leftHeld},
        {9, &KeyBindings::shootHeld},
    };
    for (const auto& key : fixed) {
        down = {key.vk};
        pollKeyboard(bindings);
        for (const auto& other : fixed) {
            EXPECT_EQ(bindings.*(other.flag), other.vk == key.vk ? 1 : 0) << key.vk << " / " << other.vk;
        }
    }
}

TEST_F(PollKeyboardTest, UnfocusedReadsNothingAndIgnoresF12) {
    down = {38, 13, 104, 9, 27};
    pollKeyboard(bindings);
    EXPECT_EQ(bindings.upHeld, 1);
    focused = false;
    down.insert(123);
    pollKeyboard(bindings);  // F12 is down, yet the program goes on
    EXPECT_EQ(bindings.upHeld, 0);
    EXPECT_EQ(bindings.enterHeld, 0);
    EXPECT_EQ(bindings.forwardHeld, 0);
    EXPECT_EQ(bindings.shootHeld, 0);
    EXPECT_EQ(bindings.backHeld, 0);
    focused = true;
    down.erase(123);
    pollKeyboard(bindings);
    EXPECT_EQ(bindings.upHeld, 1);
}

TEST_F(PollKeyboardTest, LockedShipKeysReadReleasedButTheRestIsRead) {
    bindings.shipKeysLocked = 1;
    down = {104, 102, 9, 27, 38, 13, 16, 113};
    pollKeyboard(bindings);
    EXPECT_EQ(bindings.forwardHeld, 0);
    EXPECT_EQ(bindings.rightHeld, 0);
    EXPECT_EQ(bindings.shootHeld, 0);
    EXPECT_EQ(bindings.backHeld, 1);
    EXPECT_EQ(bindings.upHeld, 1);
    EXPECT_EQ(bindings.enterHeld, 1);
    EXPECT_EQ(bindings.shiftHeld, 1);
    EXPECT_EQ(bindings.f2Held, 1);
    EXPECT_EQ(bindings.shipKeysLocked, 1);
}

TEST_F(PollKeyboardTest, BothTurnKeysCancelButThrustAndFireStay) {
    down = {104, 102, 100, 9};
    pollKeyboard(bindings);
    EXPECT_EQ(bindings.rightHeld, 0);
    EXPECT_EQ(bindings.leftHeld, 0);
    EXPECT_EQ(bindings.forwardHeld, 1);
    EXPECT_EQ(bindings.shootHeld, 1);
}

TEST_F(PollKeyboardTest, ShipKeyBoundToAFixedKeySetsBothFlags) {
    bindings.shootKey = 13;
    bindings.forwardKey = -1;  // a code no key produces
    down = {13};
    pollKeyboard(bindings);
    EXPECT_EQ(bindings.shootHeld, 1);
    EXPECT_EQ(bindings.enterHeld, 1);
    EXPECT_EQ(bindings.forwardHeld, 0);
}

TEST_F(PollKeyboardTest, F12EndsTheProgramWithStatusOne) {
    down = {123};
    EXPECT_EXIT(pollKeyboard(bindings), ::testing::ExitedWithCode(1), "");
}

}  // namespace
