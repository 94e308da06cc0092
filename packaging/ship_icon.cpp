// Writes the desktop icon: the player's ship, drawn from the game's own outline table the way
// the game draws it (filled body, wing lines, tail ring), nose up and to the right, on a dark tile.
// Usage: zarv_icon <file.svg>. Exit status 0 when the file was written.
#include "render/ship_shape.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHeading = kPi / 4;
constexpr double kTile = 128;
// The ship spans this share of the tile; the rest is the tile's margin.
constexpr double kFill = 0.78;
// At the default 800 x 600 the ship's scale is 390 px; its lines are 2 px wide and the tail
// ring's outlines lie 1.4 and 2.2 px from its centre. The icon keeps those proportions.
constexpr double kGameScale = 390;
constexpr double kLineWidth = 2 / kGameScale;
constexpr double kRingInner = 1.4 / kGameScale;
constexpr double kRingOuter = 2.2 / kGameScale;

struct Point {
    double x;
    double y;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file.svg>\n", argv[0]);
        return 2;
    }
    // Positions in units of the ship's scale; y grows downward, as in the game and in SVG.
    Point p[kShipPointCount];
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (int k = 0; k < kShipPointCount; ++k) {
        const double angle = kHeading + kShipPoints[k].theta * kPi;
        p[k] = {kShipPoints[k].r * std::cos(angle), -kShipPoints[k].r * std::sin(angle)};
        minX = std::fmin(minX, p[k].x);
        maxX = std::fmax(maxX, p[k].x);
        minY = std::fmin(minY, p[k].y);
        maxY = std::fmax(maxY, p[k].y);
    }
    const double scale = kFill * kTile / std::fmax(maxX - minX, maxY - minY);
    const double offX = kTile / 2 - scale * (minX + maxX) / 2;
    const double offY = kTile / 2 - scale * (minY + maxY) / 2;
    for (Point& q : p) {
        q = {offX + scale * q.x, offY + scale * q.y};
    }
    const double line = scale * kLineWidth;

    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        return 1;
    }
    std::fprintf(out,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                 "viewBox=\"0 0 %.0f %.0f\">\n"
                 "  <title>zarv</title>\n"
                 "  <rect x=\"2\" y=\"2\" width=\"%.0f\" height=\"%.0f\" rx=\"22\" fill=\"#05070d\"/>\n",
                 kTile, kTile, kTile, kTile, kTile - 4, kTile - 4);
    // The body is the game's triangle strip over P0..P8; each triangle is stroked in its own
    // colour as well so that no seam shows between neighbours.
    std::fprintf(out, "  <g fill=\"#00b300\" stroke=\"#00b300\" stroke-width=\"%.2f\" stroke-linejoin=\"round\">\n",
                 line / 2);
    for (int k = 0; k + 2 <= 8; ++k) {
        std::fprintf(out, "    <polygon points=\"%.2f,%.2f %.2f,%.2f %.2f,%.2f\"/>\n", p[k].x, p[k].y, p[k + 1].x,
                     p[k + 1].y, p[k + 2].x, p[k + 2].y);
    }
    std::fprintf(out, "  </g>\n");
    std::fprintf(out,
                 "  <g stroke-width=\"%.2f\" stroke-linecap=\"round\">\n"
                 "    <line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"#00b300\"/>\n"
                 "    <line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"#e60000\"/>\n"
                 "    <line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"#e60000\"/>\n"
                 "  </g>\n",
                 line, p[8].x, p[8].y, p[7].x, p[7].y, p[9].x, p[9].y, p[11].x, p[11].y, p[10].x, p[10].y, p[12].x,
                 p[12].y);
    std::fprintf(out,
                 "  <circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"none\" stroke=\"#e6e633\" stroke-width=\"%.2f\"/>\n"
                 "</svg>\n",
                 p[13].x, p[13].y, scale * (kRingInner + kRingOuter) / 2, std::fmax(line, scale * (kRingOuter - kRingInner)));
    return std::fclose(out) == 0 ? 0 : 1;
}
