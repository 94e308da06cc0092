#pragma once
// The five enemy shapes as data: a point table per kind and the layers drawn from it, in order.
// One routine (enemy_drawing.cpp) turns a shape, a record and a scale into primitives.
#include "game/game_state.h"

#include <cstdint>

// A shape point in the enemy's own frame: `a` is the angle from the nose in multiples of pi,
// the point lies at S / n from the origin.
struct ShapePoint {
    double a;
    double n;
};

// Layers name their points by letter index (A = 0, B = 1, ...); the mirror image across the
// nose line, at angle 2 pi - a, is the same index with kMirror added (B' = B | kMirror).
constexpr std::uint8_t kMirror = 0x80;

enum class LayerKind : std::uint8_t {
    Strip,      // one triangle strip through the layer's points
    Triangles,  // independent triangles, three points each
    Lines,      // independent segments, two points each; consecutive line layers share one block
    Ring,       // an outlined disk around one point, radii as factors of S
};

// Each colour component is base + perStrength * strength, so the fixed colours have a zero
// slope and the one colour per shape that follows the enemy's strength has a non-zero one.
struct LayerColour {
    float base[3];
    float perStrength[3];
};

struct ShapeLayer {
    LayerKind kind;
    LayerColour colour;
    float z;
    std::uint8_t count;  // points this layer takes from the shape's point list
    bool stippled;       // filled through the fleet's noise mask (ProngEnemy's body)
};

// The ring layer's disk: radii are (factor * S * xScale - 0.5) view units.
struct ShapeRing {
    double innerFactor;
    double outerFactor;
    int slices;
};

struct EnemyShape {
    const ShapePoint* points;  // indexed by letter
    int pointCount;
    const ShapeLayer* layers;
    int layerCount;
    const std::uint8_t* refs;  // every layer's points, one layer after the other
    int refCount;
    ShapeRing ring;  // used by a Ring layer only
};

extern const EnemyShape kEnemyShapes[kEnemyKindCount];
