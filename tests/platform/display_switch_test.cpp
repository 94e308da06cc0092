// The full-screen switch on Xvfb, which offers exactly one mode: its own screen size at rate 0.
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "platform/display_switch.h"

#include <X11/Xlib.h>

#include <csignal>

namespace {

class DisplaySwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        dpy = XOpenDisplay(nullptr);
        if (dpy == nullptr) {
            GTEST_SKIP() << "no X display";
        }
        width = static_cast<unsigned>(DisplayWidth(dpy, DefaultScreen(dpy)));
        height = static_cast<unsigned>(DisplayHeight(dpy, DefaultScreen(dpy)));
    }
    void TearDown() override {
        if (dpy != nullptr) {
            XCloseDisplay(dpy);
        }
    }
    Display* dpy = nullptr;
    unsigned width = 0;
    unsigned height = 0;
};

TEST_F(DisplaySwitchTest, SizeTheServerDoesNotOfferIsRefused) {
    EXPECT_TRUE(switchDisplayMode(width == 640 ? 800 : 640, width == 640 ? 600 : 480, 32, 0));
    EXPECT_TRUE(switchDisplayMode(width + 1, height, 32, 0));
    EXPECT_TRUE(switchDisplayMode(0, 0, 32, 0));
}

TEST_F(DisplaySwitchTest, RateTheServerDoesNotOfferIsRefused) {
    EXPECT_TRUE(switchDisplayMode(width, height, 32, 60));
    EXPECT_TRUE(switchDisplayMode(width, height, 16, 150));
}

TEST_F(DisplaySwitchTest, OfferedSizeWithoutARateIsAcceptedAndRestoredQuietly) {
    EXPECT_FALSE(switchDisplayMode(width, height, 32, 0));
    restoreDisplayMode();
    restoreDisplayMode();
    EXPECT_EQ(static_cast<unsigned>(DisplayWidth(dpy, DefaultScreen(dpy))), width);
}

// After a switch the fatal signals first put the mode back, then still end the process
// as the signal meant to.
TEST_F(DisplaySwitchTest, FatalSignalsAfterASwitchStillKillTheProcess) {
    // A forked child would share this process's X connection; a fresh one needs a new process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
#if defined(ZARV_SANITIZE)
    // AddressSanitizer owns SIGSEGV and reports it itself; the restore handler stays off it.
    const int signals[] = {SIGTERM, SIGINT, SIGABRT};
#else
    const int signals[] = {SIGTERM, SIGINT, SIGSEGV, SIGABRT};
#endif
    for (int signal : signals) {
        EXPECT_EXIT(
            {
                switchDisplayMode(width, height, 32, 0);
                std::raise(signal);
            },
            ::testing::KilledBySignal(signal), "")
            << signal;
    }
}

TEST(DisplaySwitchNoServer, RestoreWithoutASwitchDoesNothing) {
    restoreDisplayMode();
    SUCCEED();
}

}  // namespace
