#include "render/screen_mapping.h"

#include "render/display_mode.h"

#include "render/draw.h"

void computeScreenMapping() {
    std::uint32_t a = displayMode.width;
    std::uint32_t b = displayMode.height;
    // Every offered resolution is non-zero; guard anyway so a bad record cannot hang the loop.
    if (a == 0 || b == 0) {
        displayMode.xScale = displayMode.yScale = 1.0;
        return;
    }
    while (a != b) {
        if (a > b) {
            a -= b;
        } else {
            b -= a;
        }
    }
    displayMode.xScale = static_cast<double>(displayMode.width / a) / displayMode.width;
    displayMode.yScale = static_cast<double>(displayMode.height / a) / displayMode.height;
}

double mapX(double x) {
    return x * displayMode.xScale - 0.5;
}

double mapY(double y) {
    return (static_cast<double>(displayMode.height) - y) * displayMode.yScale;
}

void drawSegment(double x1, double y1, double x2, double y2, double z) {
    shapeVertex(static_cast<float>(mapX(x1)), static_cast<float>(mapY(y1)), static_cast<float>(z));
    shapeVertex(static_cast<float>(mapX(x2)), static_cast<float>(mapY(y2)), static_cast<float>(z));
}
