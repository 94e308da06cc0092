// The five enemy shapes in feedback mode: every primitive in order, its vertices placed by the
// shape-point rule from the point tables, its colour (following strength where it should) and z.
#include "app/display_mode.h"
#include "game/game_state.h"
#include "render/enemy_drawing.h"
#include "render_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A row of a shape table: letter, angle from the nose (x pi), divisor n, and the same point as
// (ahead, left) in units of S, rounded to four places.
struct TablePoint {
    char letter;
    double a;
    double n;
    double ahead;
    double left;
};

const TablePoint kKind0Table[] = {
    {'A', 0, 34, 0.0294, 0},
    {'B', 0.625, 50, -0.0077, 0.0185},
    {'C', 0.85, 40, -0.0223, 0.0113},
    {'D', 0.91, 25, -0.0384, 0.0112},
    {'E', 0.5, 75, 0, 0.0133},
    {'F', 0.2, 18.75, 0.0431, 0.0313},
    {'G', 0.6, 20.7, -0.0149, 0.0459},
    {'H', 0.84, 18.2, -0.0481, 0.0265},
    {'I', 0.89, 30, -0.0314, 0.0113},
    {'J', 0.62, 26.1, -0.0141, 0.0356},
    {'K', 0.79, 24, -0.0329, 0.0255},
    {'L', 0.31, 27.3, 0.0206, 0.0303},
    {'M', 0.55, 50, -0.0031, 0.0198},
    {'N', 0.5, 30, 0, 0.0333},
    {'O', 0.75, 33.3, -0.0212, 0.0212},
};
const TablePoint kKind1Table[] = {
    {'A', 0, 20, 0.05, 0},
    {'B', 0.3, 40, 0.0147, 0.0202},
    {'C', 0.55, 23, -0.0068, 0.0429},
    {'D', 0.7, 20, -0.0294, 0.0405},
    {'E', 0.87, 19, -0.0483, 0.0209},
    {'F', 0.91, 18, -0.0533, 0.0155},
    {'G', 0, 55, 0.0182, 0},
    {'H', 0.5, 60, 0, 0.0167},
    {'I', 0.83, 34, -0.0253, 0.0150},
    {'J', 1, 150, -0.0067, 0},
    {'K', 0, 23, 0.0435, 0},
    {'L', 0.15, 24, 0.0371, 0.0189},
};
const TablePoint kKind2Table[] = {
    {'A', 0, 20, 0.05, 0},
    {'B', 0.65, 55, -0.0083, 0.0162},
    {'C', 0.81, 35, -0.0236, 0.0161},
    {'D', 1, 65, -0.0154, 0},
    {'E', 0.63, 30, -0.0132, 0.0306},
    {'F', 0.53, 32, -0.0029, 0.0311},
    {'G', 0.52, 22.5, -0.0028, 0.0444},
    {'H', 0.63, 20.5, -0.0194, 0.0448},
    {'I', 0.77, 20.5, -0.0366, 0.0323},
    {'J', 0.9, 21, -0.0453, 0.0147},
    {'K', 0, 30, 0.0333, 0},
    {'L', 0.7, 75, -0.0078, 0.0108},
    {'M', 0.875, 60, -0.0154, 0.0064},
    {'N', 1, 300, -0.0033, 0},
    {'O', 0.875, 25, -0.0370, 0.0153},
    {'P', 1, 41, -0.0244, 0},
    {'Q', 0.56, 26, -0.0072, 0.0378},
    {'R', 0.65, 23.5, -0.0193, 0.0379},
};
const TablePoint kKind3Table[] = {
    {'A', 0, 300, 0.0033, 0},
    {'B', 0.15, 100, 0.0089, 0.0045},
    {'C', 0.05, 20, 0.0494, 0.0078},
    {'D', 0.12, 23.5, 0.0396, 0.0157},
    {'E', 0.45, 40, 0.0039, 0.0247},
    {'F', 0.8, 24.25, -0.0334, 0.0242},
    {'G', 0.89, 22.25, -0.0423, 0.0152},
    {'H', 0.98, 20.5, -0.0487, 0.0031},
    {'I', 0.92, 27, -0.0359, 0.0092},
    {'J', 1, 80, -0.0125, 0},
    {'K', 1, 37, -0.0270, 0},
    {'L', 0.09, 25, 0.0384, 0.0112},
    {'M', 0.81, 28.5, -0.0290, 0.0197},
    {'N', 0.93, 42, -0.0232, 0.0052},
};
const TablePoint kKind4Table[] = {
    {'A', 0.02, 21, 0.0475, 0.0030},
    {'B', 0.7, 70, -0.0084, 0.0116},
    {'C', 0.675, 45, -0.0116, 0.0189},
    {'D', 0.6, 42, -0.0074, 0.0226},
    {'E', 0.19, 25.5, 0.0324, 0.0220},
    {'F', 0.25, 22, 0.0321, 0.0321},
    {'G', 0.775, 20, -0.0380, 0.0325},
    {'H', 0.83, 22.5, -0.0383, 0.0226},
    {'I', 0.74, 32.5, -0.0211, 0.0224},
    {'J', 0.8, 53, -0.0153, 0.0111},
    {'K', 0.95, 38, -0.0260, 0.0041},
    {'L', 0.45, 180, 0.0009, 0.0055},
    {'M', 0, 23, 0.0435, 0},
    {'N', 0.625, 150, -0.0026, 0.0062},
    {'O', 0.9, 65, -0.0146, 0.0048},
    {'P', 1, 55, -0.0182, 0},
    {'Q', 0.79, 22.3, -0.0354, 0.0275},
    {'R', 0.24, 25, 0.0292, 0.0274},
};

struct Rgb {
    double r, g, b;
};
using ColourRule = std::function<Rgb(double strength)>;

ColourRule fixedColour(double r, double g, double b) {
    return [=](double) { return Rgb{r, g, b}; };
}

enum class Layer { Strip, Triangles, Lines, Ring };

struct ExpectedLayer {
    Layer kind;
    ColourRule colour;
    double z;
    const char* points;  // "A, B, B'" for fills, "A-B, B'-C'" for lines, the centre for a ring
};

struct ShapeCase {
    int kind;
    double scaleFactor;  // S = factor * H
    const TablePoint* table;
    int tableSize;
    std::vector<ExpectedLayer> layers;
};

template <int N>
ShapeCase makeCase(int kind, double factor, const TablePoint (&table)[N], std::vector<ExpectedLayer> layers) {
    return ShapeCase{kind, factor, table, N, std::move(layers)};
}

const ColourRule kWing0 = fixedColour(1, 0.33, 0.15);
const ColourRule kBody0 = [](double l) { return Rgb{0.5 * (1 - l), 0.66, 0.5 * (1 - l)}; };
const ColourRule kLines1 = fixedColour(0.2, 0.6, 0.9);
const ColourRule kBody2 = fixedColour(0, 0.5, 0.5);

std::vector<ShapeCase> shapeCases() {
    return {
        makeCase(0, 0.5, kKind0Table,
                 {{Layer::Lines, kBody0, 0.01, "A-B, A-B', B-C, B'-C', C-D, C'-D', D-D'"},
                  {Layer::Lines, kWing0, 0.01, "E-F, F-G, G-H, H-I, E'-F', F'-G', G'-H', H'-I'"},
                  {Layer::Strip, kBody0, 0.01, "A, B, B', C, C', D, D'"},
                  {Layer::Strip, kWing0, 0.01, "E, F, G, I, H"},
                  {Layer::Strip, kWing0, 0.01, "E', F', G', I', H'"},
                  {Layer::Lines, fixedColour(1, 1, 0), 0.02, "J-K, L-M, M-J, N-O, J'-K', L'-M', M'-J', N'-O'"},
                  {Layer::Ring, fixedColour(1, 1, 0.5), 0.02, "*"}}),
        makeCase(1, 0.65, kKind1Table,
                 {{Layer::Strip, fixedColour(0, 0.4, 0.8), 0, "A, B, B', C, C', D, D', E, E'"},
                  {Layer::Strip, [](double l) { return Rgb{0.85, 0.5 + 0.2 * l, 0}; }, 0.01, "G, H, H', I, I'"},
                  {Layer::Lines, kLines1, 0.01, "A-B, A-B', B-C, B'-C', C-D, C'-D', D-E, D'-E', E-E'"},
                  {Layer::Lines, kLines1, 0.02,
                   "E-F, E'-F', F-F', K-G, H-C, H'-C', D-I, D'-I', I-E, I'-E', B-L, B'-L'"},
                  {Layer::Lines, fixedColour(1, 0.8, 0.5), 0.02, "G-H, G-H', H-I, H'-I', I-I', I-J, G-J, J-I'"}}),
        makeCase(2, 0.65, kKind2Table,
                 {{Layer::Strip, kBody2, 0, "G, F, H, I, E, J, C, J', C', I', E', H', F', G'"},
                  {Layer::Strip, kBody2, 0, "A, B, B', C, C'"},
                  {Layer::Strip, [](double l) { return Rgb{0.8, 0.9 - 0.7 * l, 0.9 - 0.7 * l}; }, 0.01,
                   "K, L, L', M, M'"},
                  {Layer::Triangles, fixedColour(0.8, 0.5, 0.5), 0.01, "O, O', P"},
                  {Layer::Lines, fixedColour(0.66, 0.66, 0.66), 0.02,
                   "A-B, A-B', B-C, B'-C', C-D, C'-D, C-E, C'-E', E-F, E'-F', F-G, F'-G', G-H, G'-H', H-I, "
                   "H'-I', I-J, I'-J', J-J'"},
                  {Layer::Lines, fixedColour(0.7, 0.7, 0.7), 0.02,
                   "K-N, M-M', M-L, M'-L', K-L', K-L, N-L, N-L', Q-R, Q'-R', O'-R', O-R"},
                  {Layer::Lines, fixedColour(0.3, 0.6, 0.9), 0.02, "O-O', O-P, O'-P"}}),
        makeCase(3, 0.75, kKind3Table,
                 {{Layer::Strip, fixedColour(0.25, 0.25, 0.25), 0,
                   "D, C, E, B, F, A, G, B', H, H', G', B', F', C', E', D'"},
                  {Layer::Triangles, [](double l) { return Rgb{0.5, 0.5 * l, 0.5 * l}; }, 0.01, "I, I', J"},
                  {Layer::Lines, fixedColour(0.45, 0.45, 0.45), 0.02,
                   "A-B, A-B', B-C, B'-C', C-D, C'-D', D-E, D'-E', E-F, E'-F', F-G, F'-G', H-H', G'-H', G-H"},
                  {Layer::Lines, fixedColour(1, 1, 1), 0.02, "I-I', I-J, I'-J, I-K, I'-K, J-K"},
                  {Layer::Lines, fixedColour(0.66, 0.66, 0.66), 0.02, "I-G, I'-G', L-M, L'-M', M-N, M'-N', G-G'"}}),
        makeCase(4, 0.85, kKind4Table,
                 {{Layer::Strip, fixedColour(0.9, 0.9, 0.9), 0,
                   "E, F, H, G, D, I, C, J, B, A, J, A', K, B', K', J', B', I', C', D', G', H', F', E'"},
                  {Layer::Triangles, [](double l) { return Rgb{1 - l, 0.4, l}; }, 0.01, "L, L', M"},
                  {Layer::Strip, fixedColour(0, 0.4, 1), 0.01, "N, N', O, O', P"},
                  {Layer::Lines, fixedColour(0.7, 0.7, 0.7), 0.02,
                   "A-A', A-B, A'-B', B-C, B'-C', C-D, C'-D', D-E, D'-E', E-F, E'-F', F-G, F'-G', G-H, G'-H', "
                   "H-I, H'-I', I-J, I'-J', J-K, J'-K', K-K'"},
                  {Layer::Lines, fixedColour(0, 0.33, 0.5), 0.02, "L-L', M-L', M-L, N-N', N-O, N'-O', P-O, P-O'"},
                  {Layer::Lines, fixedColour(1, 0, 0), 0.02, "Q-R, Q'-R'"}}),
    };
}

struct Pose {
    double x;
    double y;
    double heading;
    float strength;
};

double shapeScaleOf(const ShapeCase& c) {
    return c.scaleFactor * displayMode.height;
}

// The window position of "B" or "B'" (the mirror image at 2 pi - a) by the shape-point rule.
// "*" is kind 0's ring centre, S / 150 straight behind the origin.
WinPoint pointOf(const ShapeCase& c, const std::string& name, const Pose& pose) {
    double a = 1;
    double n = 150;
    if (name != "*") {
        bool found = false;
        for (int i = 0; i < c.tableSize; ++i) {
            if (c.table[i].letter == name[0]) {
                a = c.table[i].a;
                n = c.table[i].n;
                found = true;
            }
        }
        EXPECT_TRUE(found) << name;
        if (name.size() > 1) {
            a = 2 - a;
        }
    }
    const double d = shapeScaleOf(c) / n;
    return toWindow(pose.x + d * std::cos(pose.heading + a * kPi), pose.y - d * std::sin(pose.heading + a * kPi));
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        const auto first = part.find_first_not_of(' ');
        const auto last = part.find_last_not_of(' ');
        parts.push_back(first == std::string::npos ? "" : part.substr(first, last - first + 1));
    }
    return parts;
}

struct ExpectedVertex {
    WinPoint p;
    Rgb colour;
    double z;
};

struct ExpectedPrimitive {
    FbKind kind;
    std::vector<ExpectedVertex> v;
    bool ring = false;
    std::string what;
};

// The primitives a layer comes back as: a strip of k vertices as its k - 2 triangles (odd ones
// with the first two vertices swapped, as GL keeps the winding), lines one per segment.
std::vector<ExpectedPrimitive> expectedPrimitives(const ShapeCase& c, const Pose& pose) {
    std::vector<ExpectedPrimitive> out;
    for (const ExpectedLayer& layer : c.layers) {
        const Rgb colour = layer.colour(pose.strength);
        auto vertexOf = [&](const std::string& name) { return ExpectedVertex{pointOf(c, name, pose), colour, layer.z}; };
        if (layer.kind == Layer::Ring) {
            out.push_back(ExpectedPrimitive{FbKind::Line, {vertexOf("*")}, true, "ring"});
            continue;
        }
        if (layer.kind == Layer::Lines) {
            for (const std::string& segment : split(layer.points, ',')) {
                const auto ends = split(segment, '-');
                out.push_back(ExpectedPrimitive{FbKind::Line, {vertexOf(ends[0]), vertexOf(ends[1])}, false, segment});
            }
            continue;
        }
        const auto names = split(layer.points, ',');
        if (layer.kind == Layer::Triangles) {
            for (std::size_t i = 0; i + 2 < names.size(); i += 3) {
                out.push_back(ExpectedPrimitive{
                    FbKind::Polygon, {vertexOf(names[i]), vertexOf(names[i + 1]), vertexOf(names[i + 2])}, false,
                    names[i] + names[i + 1] + names[i + 2]});
            }
            continue;
        }
        for (std::size_t i = 0; i + 2 < names.size(); ++i) {
            const std::size_t first = i % 2 == 0 ? i : i + 1;
            const std::size_t second = i % 2 == 0 ? i + 1 : i;
            out.push_back(ExpectedPrimitive{
                FbKind::Polygon, {vertexOf(names[first]), vertexOf(names[second]), vertexOf(names[i + 2])}, false,
                "strip " + std::string(layer.points) + " triangle " + std::to_string(i)});
        }
    }
    return out;
}

void expectVertex(const FbVertex& got, const ExpectedVertex& want, const std::string& what) {
    EXPECT_NEAR(got.x, want.p.x, 2e-2) << what;
    EXPECT_NEAR(got.y, want.p.y, 2e-2) << what;
    EXPECT_NEAR(got.z, depthOf(want.z), 1e-5) << what;
    EXPECT_NEAR(got.r, std::clamp(want.colour.r, 0.0, 1.0), 1e-3) << what;
    EXPECT_NEAR(got.g, std::clamp(want.colour.g, 0.0, 1.0), 1e-3) << what;
    EXPECT_NEAR(got.b, std::clamp(want.colour.b, 0.0, 1.0), 1e-3) << what;
    EXPECT_NEAR(got.a, 1.0, 1e-6) << what;
}

// Kind 0's ring: a silhouette disk, its outer octagon then its inner one, around the centre.
void expectRing(const std::vector<FbPrimitive>& got, std::size_t& at, const ExpectedVertex& centre,
                double scale) {
    const double pixelsPerViewUnit = windowWidth() / 4.0;
    const double inner = (0.336 * scale * displayMode.xScale - 0.5) * pixelsPerViewUnit;
    const double outer = (0.339 * scale * displayMode.xScale - 0.5) * pixelsPerViewUnit;
    ASSERT_GE(got.size(), at + 16) << "ring";
    for (int k = 0; k < 16; ++k, ++at) {
        const FbPrimitive& line = got[at];
        ASSERT_EQ(line.kind, FbKind::Line) << "ring line " << k;
        for (const FbVertex& v : line.v) {
            const double r = std::hypot(v.x - centre.p.x, v.y - centre.p.y);
            EXPECT_NEAR(r, k < 8 ? outer : inner, 2e-2) << "ring line " << k;
            EXPECT_NEAR(v.z, depthOf(centre.z), 1e-5);
            EXPECT_NEAR(v.r, 1.0, 1e-3);
            EXPECT_NEAR(v.g, 1.0, 1e-3);
            EXPECT_NEAR(v.b, 0.5, 1e-3);
        }
    }
}

void expectShape(const std::vector<FbPrimitive>& got, const ShapeCase& c, const Pose& pose) {
    const auto want = expectedPrimitives(c, pose);
    std::size_t at = 0;
    for (const ExpectedPrimitive& e : want) {
        if (e.ring) {
            expectRing(got, at, e.v[0], shapeScaleOf(c));
            continue;
        }
        ASSERT_LT(at, got.size()) << "missing " << e.what;
        const FbPrimitive& g = got[at++];
        ASSERT_EQ(g.kind, e.kind) << e.what << ": got " << describe(g);
        ASSERT_EQ(g.v.size(), e.v.size()) << e.what;
        for (std::size_t k = 0; k < e.v.size(); ++k) {
            expectVertex(g.v[k], e.v[k], e.what + " vertex " + std::to_string(k));
        }
    }
    EXPECT_EQ(at, got.size()) << "extra primitives after the shape";
}

class EnemyShapeTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        if (!openRenderWindow()) {
            GTEST_SKIP() << "no X display";
        }
        clearScene();
    }

    static Enemy& place(int index, int kind, const Pose& pose) {
        Enemy& e = fleet.enemies[index];
        e.x = pose.x;
        e.y = pose.y;
        e.heading = pose.heading;
        e.strength = pose.strength;
        e.kind = static_cast<std::int8_t>(kind);
        return e;
    }
};

TEST_P(EnemyShapeTest, EmitsEveryLayerInOrderFromItsPointTable) {
    const ShapeCase c = shapeCases()[GetParam()];
    const Pose poses[] = {
        {400, 300, kPi / 2, 1.0f},   // pointing up, full strength
        {400, 300, kPi / 2, 0.5f},   // the strength colour moves, nothing else
        {350.5, 260.25, 2.5, 1.0f},  // any heading: catches a swapped sine or a lost mirror
    };
    for (const Pose& pose : poses) {
        SCOPED_TRACE(testing::Message() << "strength " << pose.strength << " heading " << pose.heading);
        clearScene();
        place(7, c.kind, pose);
        expectShape(captureFeedback(drawEnemies), c, pose);
    }
}

TEST_P(EnemyShapeTest, TableAnglesAndDivisorsAgreeWithTheirAheadAndLeftColumns) {
    const ShapeCase c = shapeCases()[GetParam()];
    for (int i = 0; i < c.tableSize; ++i) {
        const TablePoint& p = c.table[i];
        EXPECT_NEAR(std::cos(p.a * kPi) / p.n, p.ahead, 6e-5) << p.letter;
        EXPECT_NEAR(std::sin(p.a * kPi) / p.n, p.left, 6e-5) << p.letter;
    }
}

TEST_P(EnemyShapeTest, FarthestPointLiesBetweenAnEighteenthAndATwentiethOfTheScale) {
    const ShapeCase c = shapeCases()[GetParam()];
    double farthest = 0;
    for (int i = 0; i < c.tableSize; ++i) {
        farthest = std::max(farthest, 1.0 / c.table[i].n);
    }
    EXPECT_GE(farthest, 1.0 / 20 - 1e-12);
    EXPECT_LE(farthest, 1.0 / 18 + 1e-12);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, EnemyShapeTest, ::testing::Range(0, 5),
                         [](const testing::TestParamInfo<int>& info) { return "Kind" + std::to_string(info.param); });

class EnemyDrawingTest : public EnemyShapeTest {};

TEST_F(EnemyDrawingTest, OnlyLiveRecordsOfKnownKindsWithinCapacityAreDrawn) {
    const Pose pose{400, 300, kPi / 2, 1.0f};
    place(4, 2, pose);
    const auto alone = captureFeedback(drawEnemies);
    ASSERT_FALSE(alone.empty());

    place(0, 1, Pose{200, 200, 0, 0.0f});        // strength exactly 0: a free slot
    place(1, 1, Pose{200, 200, 0, kDeadStrength});  // killed
    place(2, 5, Pose{200, 200, 0, 1.0f});          // no such kind
    place(3, -1, Pose{200, 200, 0, 1.0f});
    place(kEnemyCapacity, 1, Pose{200, 200, 0, 1.0f});  // the ship's mirror record
    const auto withOthers = captureFeedback(drawEnemies);
    ASSERT_EQ(withOthers.size(), alone.size());
    for (std::size_t i = 0; i < alone.size(); ++i) {
        ASSERT_EQ(withOthers[i].v.size(), alone[i].v.size());
        EXPECT_EQ(std::memcmp(withOthers[i].v.data(), alone[i].v.data(), alone[i].v.size() * sizeof(FbVertex)), 0);
    }

    // A trace of strength is still an enemy, in almost its weakest colour.
    place(4, 2, Pose{400, 300, kPi / 2, 0.001f});
    const auto weak = captureFeedback(drawEnemies);
    ASSERT_EQ(weak.size(), alone.size());
    EXPECT_NEAR(weak[15].v[0].g, 0.9 - 0.7 * 0.001, 1e-3);  // the inner fill, after 12 + 3 triangles
}

TEST_F(EnemyDrawingTest, EnemiesAreDrawnInTableOrder) {
    place(9, 4, Pose{600, 300, 0, 1.0f});
    place(2, 3, Pose{200, 300, 0, 1.0f});
    const auto got = captureFeedback(drawEnemies);
    ASSERT_FALSE(got.empty());
    EXPECT_LT(got.front().v[0].x, 400);  // record 2's body first
    EXPECT_GT(got.back().v[0].x, 400);   // record 9's stripes last
}

TEST_F(EnemyDrawingTest, LeavesSmoothBlendedOnePixelLinesAndNoStipple) {
    place(0, 3, Pose{400, 300, 1.0, 1.0f});
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    glLineWidth(3.0f);
    drawEnemies();
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_STIPPLE));
    GLint src = 0;
    GLint dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
}

TEST_F(EnemyDrawingTest, KindOneReadsScaleAndRecordThroughTheFleetItIsGiven) {
    // The HUD hands in the fleet with a halved kind-1 scale: every point comes twice as close.
    const Pose pose{400, 300, kPi / 2, 1.0f};
    place(0, 4, pose);  // the record's own kind does not matter
    const auto full = captureFeedback([] { drawEnemyKind1(fleet, 0); });
    EnemyFleet halved = fleet;
    halved.shapeScale[1] *= 0.5;
    const auto half = captureFeedback([&] { drawEnemyKind1(halved, 0); });
    ASSERT_EQ(full.size(), half.size());
    const WinPoint origin = toWindow(pose.x, pose.y);
    for (std::size_t i = 0; i < full.size(); ++i) {
        for (std::size_t k = 0; k < full[i].v.size(); ++k) {
            EXPECT_NEAR(half[i].v[k].x - origin.x, 0.5 * (full[i].v[k].x - origin.x), 2e-2);
            EXPECT_NEAR(half[i].v[k].y - origin.y, 0.5 * (full[i].v[k].y - origin.y), 2e-2);
            EXPECT_EQ(half[i].v[k].g, full[i].v[k].g);
            EXPECT_EQ(half[i].v[k].z, full[i].v[k].z);
        }
    }
}

}  // namespace
