// A tap shorter than a frame: pressed and released between two reads of the keyboard.
#include "platform/keys.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

constexpr int kEnter = 13;
constexpr int kMouseX1 = 5;

// xdotool presses and releases through XTEST and returns once the server has both.
bool tapBetweenReads(const char* xdotoolArgs) {
    const bool sent = std::system((std::string("xdotool ") + xdotoolArgs + " 2>/dev/null").c_str()) == 0;
    usleep(2000);  // past the reuse of the last keyboard read
    return sent;
}

}  // namespace

TEST(KeyLatch, ATapBetweenTwoReadsReadsAsDownOnceAndNotAfterAnUnfocusedRead) {
    if (std::getenv("DISPLAY") == nullptr || !openKeyboard()) {
        GTEST_SKIP() << "no X display";
    }
    asyncKeyDown(kEnter);
    asyncKeyDown(kMouseX1);
    usleep(2000);
    ASSERT_TRUE(tapBetweenReads("key --delay 0 Return click 8"));
    EXPECT_TRUE(asyncKeyDown(kEnter)) << "the tap counts";
    EXPECT_TRUE(asyncKeyDown(kMouseX1)) << "so does a click of mouse button 8";
    usleep(2000);
    EXPECT_FALSE(asyncKeyDown(kEnter)) << "once";
    EXPECT_FALSE(asyncKeyDown(kMouseX1)) << "once";

    // A tap made while another window has the focus belongs to that window.
    ASSERT_TRUE(tapBetweenReads("key --delay 0 Return"));
    if (windowFocused()) {
        GTEST_SKIP() << "a window of this test program has the focus";
    }
    EXPECT_FALSE(asyncKeyDown(kEnter));
    closeKeyboard();
}
