#include "render/enemy_shapes.h"

namespace {

// Point letters and their mirror images, as the layer lists name them.
enum : std::uint8_t { A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R };
enum : std::uint8_t {
    Ap = kMirror, Bp, Cp, Dp, Ep, Fp, Gp, Hp, Ip, Jp, Kp, Lp, Mp, Np, Op, Pp, Qp, Rp
};

constexpr LayerColour fixed(float r, float g, float b) {
    return LayerColour{{r, g, b}, {0, 0, 0}};
}

constexpr ShapeLayer fill(LayerColour colour, float z, std::uint8_t count) {
    return ShapeLayer{LayerKind::Strip, colour, z, count, false};
}

constexpr ShapeLayer triangles(LayerColour colour, float z, std::uint8_t count) {
    return ShapeLayer{LayerKind::Triangles, colour, z, count, false};
}

constexpr ShapeLayer lines(LayerColour colour, float z, std::uint8_t segments) {
    return ShapeLayer{LayerKind::Lines, colour, z, static_cast<std::uint8_t>(2 * segments), false};
}

template <int PointCount, int LayerCount, int RefCount>
constexpr EnemyShape shape(const ShapePoint (&points)[PointCount], const ShapeLayer (&layers)[LayerCount],
                           const std::uint8_t (&refs)[RefCount], ShapeRing ring = ShapeRing{0, 0, 0}) {
    return EnemyShape{points, PointCount, layers, LayerCount, refs, RefCount, ring};
}

template <int LayerCount>
constexpr int totalRefs(const ShapeLayer (&layers)[LayerCount]) {
    int sum = 0;
    for (const ShapeLayer& layer : layers) {
        sum += layer.count;
    }
    return sum;
}

// Every point a layer list names must be in its table.
template <int RefCount>
constexpr bool refsWithin(const std::uint8_t (&refs)[RefCount], int pointCount) {
    for (std::uint8_t ref : refs) {
        if ((ref & ~kMirror) >= pointCount) {
            return false;
        }
    }
    return true;
}

// ---- Kind 0, DartEnemy: green arrowhead between two orange swept wings, a dot-sized ring behind the centre.

constexpr ShapePoint kKind0Points[] = {
    {0, 34},       // A nose tip
    {0.625, 50},   // B body side
    {0.85, 40},    // C body waist
    {0.91, 25},    // D body rear corner
    {0.5, 75},     // E wing root
    {0.2, 18.75},  // F wing front tip
    {0.6, 20.7},   // G wing outer corner
    {0.84, 18.2},  // H wing rear tip
    {0.89, 30},    // I wing inner rear corner
    {0.62, 26.1},  // J..O wing details
    {0.79, 24},
    {0.31, 27.3},
    {0.55, 50},
    {0.5, 30},
    {0.75, 33.3},
    {1, 150},  // P the ring's centre, just behind the origin
};

// Body colour: green at full strength, paler as it falls.
constexpr LayerColour kKind0Body{{0.5f, 0.66f, 0.5f}, {-0.5f, 0, -0.5f}};
constexpr LayerColour kKind0Wing = fixed(1, 0.33f, 0.15f);

constexpr ShapeLayer kKind0Layers[] = {
    lines(kKind0Body, 0.01f, 7),
    lines(kKind0Wing, 0.01f, 8),
    fill(kKind0Body, 0.01f, 7),
    fill(kKind0Wing, 0.01f, 5),
    fill(kKind0Wing, 0.01f, 5),
    lines(fixed(1, 1, 0), 0.02f, 8),
    ShapeLayer{LayerKind::Ring, fixed(1, 1, 0.5f), 0.02f, 1, false},
};

constexpr std::uint8_t kKind0Refs[] = {
    A, B, A, Bp, B, C, Bp, Cp, C, D, Cp, Dp, D, Dp,            // body outline
    E, F, F, G, G, H, H, I, Ep, Fp, Fp, Gp, Gp, Hp, Hp, Ip,    // wing outlines, open at I-E
    A, B, Bp, C, Cp, D, Dp,                                    // body
    E, F, G, I, H,                                             // left wing
    Ep, Fp, Gp, Ip, Hp,                                        // right wing: a separate strip
    J, K, L, M, M, J, N, O, Jp, Kp, Lp, Mp, Mp, Jp, Np, Op,    // wing details
    P,                                                         // ring
};

// ---- Kind 1, AntennaEnemy: blue blunt arrowhead, amber cockpit, tail plate outline, two antennas.

constexpr ShapePoint kKind1Points[] = {
    {0, 20},     // A nose tip
    {0.3, 40},   // B nose flank
    {0.55, 23},  // C shoulder
    {0.7, 20},   // D outer rear corner
    {0.87, 19},  // E back corner
    {0.91, 18},  // F tail plate corner
    {0, 55},     // G cockpit front
    {0.5, 60},   // H cockpit side
    {0.83, 34},  // I cockpit rear corner
    {1, 150},    // J cockpit centre
    {0, 23},     // K front end of the nose line
    {0.15, 24},  // L antenna tip
};

constexpr LayerColour kKind1Lines = fixed(0.2f, 0.6f, 0.9f);

constexpr ShapeLayer kKind1Layers[] = {
    fill(fixed(0, 0.4f, 0.8f), 0, 9),
    fill(LayerColour{{0.85f, 0.5f, 0}, {0, 0.2f, 0}}, 0.01f, 5),
    lines(kKind1Lines, 0.01f, 9),
    lines(kKind1Lines, 0.02f, 12),
    lines(fixed(1, 0.8f, 0.5f), 0.02f, 8),
};

constexpr std::uint8_t kKind1Refs[] = {
    A, B, Bp, C, Cp, D, Dp, E, Ep,                                  // hull
    G, H, Hp, I, Ip,                                                // cockpit
    A, B, A, Bp, B, C, Bp, Cp, C, D, Cp, Dp, D, E, Dp, Ep, E, Ep,   // hull outline
    E, F, Ep, Fp, F, Fp,                                            // tail plate
    K, G,                                                           // nose line
    H, C, Hp, Cp, D, I, Dp, Ip, I, E, Ip, Ep,                       // panel lines
    B, L, Bp, Lp,                                                   // antennas
    G, H, G, Hp, H, I, Hp, Ip, I, Ip,                               // cockpit outline
    I, J, G, J, J, Ip,                                              // cockpit inner lines
};

// ---- Kind 2, CrescentEnemy: teal arrowhead inside a C-shaped wing, red inner shape, pink rear triangle.

constexpr ShapePoint kKind2Points[] = {
    {0, 20},       // A nose tip
    {0.65, 55},    // B body side
    {0.81, 35},    // C body rear corner, where the wing joins
    {1, 65},       // D notch in the body's back
    {0.63, 30},    // E wing, inner edge
    {0.53, 32},    // F wing front end, inner corner
    {0.52, 22.5},  // G wing front end, outer corner
    {0.63, 20.5},  // H wing outer edge
    {0.77, 20.5},  // I wing outer edge
    {0.9, 21},     // J wing back
    {0, 30},       // K inner shape tip
    {0.7, 75},     // L inner shape side
    {0.875, 60},   // M inner shape rear corner
    {1, 300},      // N inner shape centre
    {0.875, 25},   // O rear triangle corner
    {1, 41},       // P rear triangle tip
    {0.56, 26},    // Q wing detail line, front end
    {0.65, 23.5},  // R wing detail line, bend
};

constexpr LayerColour kKind2Body = fixed(0, 0.5f, 0.5f);

constexpr ShapeLayer kKind2Layers[] = {
    fill(kKind2Body, 0, 14),
    fill(kKind2Body, 0, 5),
    fill(LayerColour{{0.8f, 0.9f, 0.9f}, {0, -0.7f, -0.7f}}, 0.01f, 5),
    triangles(fixed(0.8f, 0.5f, 0.5f), 0.01f, 3),
    lines(fixed(0.66f, 0.66f, 0.66f), 0.02f, 19),
    lines(fixed(0.7f, 0.7f, 0.7f), 0.02f, 12),
    lines(fixed(0.3f, 0.6f, 0.9f), 0.02f, 3),
};

constexpr std::uint8_t kKind2Refs[] = {
    G, F, H, I, E, J, C, Jp, Cp, Ip, Ep, Hp, Fp, Gp,          // wing, round the back
    A, B, Bp, C, Cp,                                          // body
    K, L, Lp, M, Mp,                                          // inner shape
    O, Op, P,                                                 // rear triangle
    A, B, A, Bp, B, C, Bp, Cp, C, D, Cp, D,                   // body outline with the notch
    C, E, Cp, Ep, E, F, Ep, Fp, F, G, Fp, Gp, G, H, Gp, Hp,   // wing outline
    H, I, Hp, Ip, I, J, Ip, Jp, J, Jp,
    K, N, M, Mp, M, L, Mp, Lp, K, Lp, K, L, N, L, N, Lp,      // inner shape in four triangles
    Q, R, Qp, Rp, Op, Rp, O, R,                               // bent detail lines
    O, Op, O, P, Op, P,                                       // rear triangle outline
};

// ---- Kind 3, ProngEnemy: long speckled body with two front prongs, white-outlined rear triangle.

constexpr ShapePoint kKind3Points[] = {
    {0, 300},      // A bottom of the front notch
    {0.15, 100},   // B notch side
    {0.05, 20},    // C prong tip
    {0.12, 23.5},  // D prong outer corner
    {0.45, 40},    // E body side
    {0.8, 24.25},  // F body rear side
    {0.89, 22.25}, // G rear corner
    {0.98, 20.5},  // H tail
    {0.92, 27},    // I rear triangle corner
    {1, 80},       // J rear triangle tip
    {1, 37},       // K inner point of the rear triangle
    {0.09, 25},    // L body line, front end
    {0.81, 28.5},  // M body line, bend
    {0.93, 42},    // N body line, rear end
};

constexpr ShapeLayer kKind3Layers[] = {
    ShapeLayer{LayerKind::Strip, fixed(0.25f, 0.25f, 0.25f), 0, 16, true},
    triangles(LayerColour{{0.5f, 0, 0}, {0, 0.5f, 0.5f}}, 0.01f, 3),
    lines(fixed(0.45f, 0.45f, 0.45f), 0.02f, 15),
    lines(fixed(1, 1, 1), 0.02f, 6),
    lines(fixed(0.66f, 0.66f, 0.66f), 0.02f, 7),
};

constexpr std::uint8_t kKind3Refs[] = {
    D, C, E, B, F, A, G, Bp, H, Hp, Gp, Bp, Fp, Cp, Ep, Dp,   // body; B' is sent twice
    I, Ip, J,                                                 // rear triangle
    A, B, A, Bp, B, C, Bp, Cp, C, D, Cp, Dp, D, E, Dp, Ep,    // outline through the notch
    E, F, Ep, Fp, F, G, Fp, Gp, H, Hp, Gp, Hp, G, H,
    I, Ip, I, J, Ip, J, I, K, Ip, K, J, K,                    // rear triangle in three
    I, G, Ip, Gp, L, M, Lp, Mp, M, N, Mp, Np, G, Gp,          // body lines
};

// ---- Kind 4, StrutEnemy: grey fuselage between two wing bars on struts, red stripes, cockpit and canopy.

constexpr ShapePoint kKind4Points[] = {
    {0.02, 21},    // A nose corner
    {0.7, 70},     // B fuselage side, at the strut
    {0.675, 45},   // C strut, front edge
    {0.6, 42},     // D strut meets the wing bar
    {0.19, 25.5},  // E wing bar, inner front corner
    {0.25, 22},    // F wing bar, outer front corner
    {0.775, 20},   // G wing bar, outer rear corner
    {0.83, 22.5},  // H wing bar, inner rear corner
    {0.74, 32.5},  // I strut, rear edge at the bar
    {0.8, 53},     // J fuselage side, behind the strut
    {0.95, 38},    // K tail corner
    {0.45, 180},   // L cockpit rear corner
    {0, 23},       // M cockpit tip
    {0.625, 150},  // N canopy front corner
    {0.9, 65},     // O canopy rear corner
    {1, 55},       // P canopy tail
    {0.79, 22.3},  // Q stripe, rear end
    {0.24, 25},    // R stripe, front end
};

constexpr ShapeLayer kKind4Layers[] = {
    fill(fixed(0.9f, 0.9f, 0.9f), 0, 24),
    triangles(LayerColour{{1, 0.4f, 0}, {-1, 0, 1}}, 0.01f, 3),
    fill(fixed(0, 0.4f, 1), 0.01f, 5),
    lines(fixed(0.7f, 0.7f, 0.7f), 0.02f, 22),
    lines(fixed(0, 0.33f, 0.5f), 0.02f, 8),
    lines(fixed(1, 0, 0), 0.02f, 2),
};

constexpr std::uint8_t kKind4Refs[] = {
    E, F, H, G, D, I, C, J, B, A, J, Ap, K, Bp, Kp, Jp, Bp, Ip, Cp, Dp, Gp, Hp, Fp, Ep,  // body
    L, Lp, M,                                                 // cockpit
    N, Np, O, Op, P,                                          // canopy
    A, Ap, A, B, Ap, Bp, B, C, Bp, Cp, C, D, Cp, Dp, D, E,    // outline
    Dp, Ep, E, F, Ep, Fp, F, G, Fp, Gp, G, H, Gp, Hp, H, I,
    Hp, Ip, I, J, Ip, Jp, J, K, Jp, Kp, K, Kp,
    L, Lp, M, Lp, M, L,                                       // cockpit lines
    N, Np, N, O, Np, Op, P, O, P, Op,                         // canopy lines
    Q, R, Qp, Rp,                                             // stripes
};

static_assert(totalRefs(kKind0Layers) == sizeof kKind0Refs);
static_assert(totalRefs(kKind1Layers) == sizeof kKind1Refs);
static_assert(totalRefs(kKind2Layers) == sizeof kKind2Refs);
static_assert(totalRefs(kKind3Layers) == sizeof kKind3Refs);
static_assert(totalRefs(kKind4Layers) == sizeof kKind4Refs);
static_assert(refsWithin(kKind0Refs, 16) && refsWithin(kKind1Refs, 12) && refsWithin(kKind2Refs, 18) &&
              refsWithin(kKind3Refs, 14) && refsWithin(kKind4Refs, 18));

}  // namespace

const EnemyShape kEnemyShapes[kEnemyKindCount] = {
    shape(kKind0Points, kKind0Layers, kKind0Refs, ShapeRing{0.336, 0.339, 8}),
    shape(kKind1Points, kKind1Layers, kKind1Refs),
    shape(kKind2Points, kKind2Layers, kKind2Refs),
    shape(kKind3Points, kKind3Layers, kKind3Refs),
    shape(kKind4Points, kKind4Layers, kKind4Refs),
};
