#include "render/enemy_drawing.h"

#include "render/display_mode.h"
#include "render/enemy_shapes.h"
#include "render/scene.h"
#include "render/screen_mapping.h"

#include "render/draw.h"
#include <cmath>

namespace {

constexpr int kMaxShapePoints = 20;

// The unit direction of every shape point relative to the nose, worked out once: a shape then
// costs one sine and cosine of the heading per enemy instead of two per point.
struct PointDirections {
    double cosA[kEnemyKindCount][kMaxShapePoints];
    double sinA[kEnemyKindCount][kMaxShapePoints];
};

const PointDirections& pointDirections() {
    static const PointDirections table = [] {
        PointDirections t{};
        for (int k = 0; k < kEnemyKindCount; ++k) {
            const EnemyShape& shape = kEnemyShapes[k];
            for (int i = 0; i < shape.pointCount && i < kMaxShapePoints; ++i) {
                t.cosA[k][i] = std::cos(shape.points[i].a * kPi);
                t.sinA[k][i] = std::sin(shape.points[i].a * kPi);
            }
        }
        return t;
    }();
    return table;
}

void setLayerColour(const LayerColour& colour, float strength) {
    setColour(colour.base[0] + colour.perStrength[0] * strength,
              colour.base[1] + colour.perStrength[1] * strength,
              colour.base[2] + colour.perStrength[2] * strength);
}

}  // namespace

void drawEnemyShape(int kind, const Enemy& enemy, double scale) {
    if (kind < 0 || kind >= kEnemyKindCount) {
        return;
    }
    const EnemyShape& shape = kEnemyShapes[kind];
    const PointDirections& dirs = pointDirections();

    // View positions of every point ([0]) and of its mirror image ([1]).
    float vx[2][kMaxShapePoints];
    float vy[2][kMaxShapePoints];
    const double ch = std::cos(enemy.heading);
    const double sh = std::sin(enemy.heading);
    for (int i = 0; i < shape.pointCount && i < kMaxShapePoints; ++i) {
        const double d = scale / shape.points[i].n;
        const double ca = dirs.cosA[kind][i];
        const double sa = dirs.sinA[kind][i];
        // cos and sin of (heading + a), and of (heading + 2 pi - a) for the mirror image.
        const double c0 = ch * ca - sh * sa;
        const double s0 = sh * ca + ch * sa;
        const double c1 = ch * ca + sh * sa;
        const double s1 = sh * ca - ch * sa;
        vx[0][i] = static_cast<float>(mapX(enemy.x + d * c0));
        vy[0][i] = static_cast<float>(mapY(enemy.y - d * s0));
        vx[1][i] = static_cast<float>(mapX(enemy.x + d * c1));
        vy[1][i] = static_cast<float>(mapY(enemy.y - d * s1));
    }

    const float strength = enemy.strength;
    const std::uint8_t* ref = shape.refs;
    bool linesOpen = false;
    for (int l = 0; l < shape.layerCount; ++l) {
        const ShapeLayer& layer = shape.layers[l];
        const std::uint8_t* end = ref + layer.count;
        if (layer.kind == LayerKind::Lines) {
            if (!linesOpen) {
                beginShape(Shape::Lines);
                linesOpen = true;
            }
            setLayerColour(layer.colour, strength);
            for (; ref != end; ++ref) {
                const int m = (*ref & kMirror) ? 1 : 0;
                const int i = *ref & ~kMirror;
                shapeVertex(vx[m][i], vy[m][i], layer.z);
            }
            continue;
        }
        if (linesOpen) {
            endShape();
            linesOpen = false;
        }
        setLayerColour(layer.colour, strength);
        if (layer.kind == LayerKind::Ring) {
            const int m = (*ref & kMirror) ? 1 : 0;
            const int i = *ref & ~kMirror;
            const double s = scale * displayMode.xScale;
            // The radii go through the same "- 0.5" as mapX: a dot-sized mark, as the game has it.
            drawRing(vx[m][i], vy[m][i], layer.z, shape.ring.innerFactor * s - 0.5, shape.ring.outerFactor * s - 0.5,
                     shape.ring.slices);
            ref = end;
            continue;
        }
        if (layer.stippled) {
            setStipple(fleet.noise);
        }
        beginShape(layer.kind == LayerKind::Strip ? Shape::TriangleStrip : Shape::Triangles);
        for (; ref != end; ++ref) {
            const int m = (*ref & kMirror) ? 1 : 0;
            const int i = *ref & ~kMirror;
            shapeVertex(vx[m][i], vy[m][i], layer.z);
        }
        endShape();
        if (layer.stippled) {
            // Nothing after this fill may be speckled.
            setStipple(nullptr);
        }
    }
    if (linesOpen) {
        endShape();
    }
}

namespace {

void drawGameEnemy(int kind, std::uint32_t index) {
    if (fleet.enemies == nullptr || index > kEnemyCapacity) {
        return;
    }
    drawEnemyShape(kind, fleet.enemies[index], fleet.shapeScale[kind]);
}

}  // namespace

void drawEnemyKind0(std::uint32_t index) {
    drawGameEnemy(DartEnemy, index);
}

void drawEnemyKind1(std::uint32_t index) {
    drawGameEnemy(AntennaEnemy, index);
}

void drawEnemyKind2(std::uint32_t index) {
    drawGameEnemy(CrescentEnemy, index);
}

void drawEnemyKind3(std::uint32_t index) {
    drawGameEnemy(ProngEnemy, index);
}

void drawEnemyKind4(std::uint32_t index) {
    drawGameEnemy(StrutEnemy, index);
}

void drawEnemies() {
    setLineSmooth(true);
    setBlend(true);
    setLineWidth(1.0f);
    if (fleet.enemies == nullptr) {
        return;
    }
    // The record past capacity mirrors the ship and is never drawn.
    const std::uint32_t count = fleet.capacity < kEnemyCapacity ? fleet.capacity : kEnemyCapacity;
    beginDrawingGroup();
    for (std::uint32_t index = 0; index < count; ++index) {
        const Enemy& enemy = fleet.enemies[index];
        if (!(enemy.strength > 0)) {
            continue;
        }
        beginGroupItem();
        switch (enemy.kind) {
        case DartEnemy:
            drawEnemyKind0(index);
            break;
        case AntennaEnemy:
            drawEnemyKind1(index);
            break;
        case CrescentEnemy:
            drawEnemyKind2(index);
            break;
        case ProngEnemy:
            drawEnemyKind3(index);
            break;
        case StrutEnemy:
            drawEnemyKind4(index);
            break;
        default:
            break;
        }
        endGroupItem();
    }
    endDrawingGroup();
}
