// The web build's test programs run under node, with no window to draw in: drawing tests skip.
#include "support/gl_test_support.h"

bool openTestWindow(unsigned, unsigned, unsigned) {
    return false;
}

std::vector<FbPrimitive> captureFeedback(const std::function<void()>&) {
    return {};
}
