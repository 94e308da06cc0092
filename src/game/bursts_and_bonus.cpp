#include "game/bursts_and_bonus.h"

#include "sound/sound.h"

#include <cmath>
#include <limits>

namespace {

constexpr int kInnerParticles = 178;
constexpr double kCatchUpThreshold = 1.07;
constexpr std::uint16_t kLastStepAge = 35;  // a burst stepped at an age above this ends
constexpr double kParticleTravel = 1.5;
constexpr double kBonusLifetimeMs = 10000;
constexpr int kDropChance = 17;
constexpr std::int32_t kShieldBonus = 40;
constexpr double kUpgradeFactor = 1.1;
constexpr double kUpgradeLimit = 0.5;  // StrutEnemy damage at which upgrades stop
constexpr float kPickupScore = 50;

// A particle flies in a straight line, so the cosine and sine of its direction are computed
// once. The direction they belong to is kept beside them: should anything else rewrite a
// particle, the step recomputes rather than use a stale pair.
struct ParticleDirections {
    double direction[kBurstCount][kParticlesPerBurst];
    double cosD[kBurstCount][kParticlesPerBurst];
    double sinD[kBurstCount][kParticlesPerBurst];
};

ParticleDirections makeParticleDirections() {
    ParticleDirections d{};
    for (auto& row : d.direction) {
        for (double& v : row) {
            v = std::numeric_limits<double>::quiet_NaN();
        }
    }
    return d;
}

ParticleDirections particleDirections = makeParticleDirections();

int usedParticles(const Burst& b) {
    return b.small ? kSmallBurstParticles : kParticlesPerBurst;
}

void moveParticles(int index, Burst& b) {
    const double scale = burstPool.particleScale[b.small ? 1 : 0];
    double* dir = particleDirections.direction[index];
    double* c = particleDirections.cosD[index];
    double* s = particleDirections.sinD[index];
    const int n = usedParticles(b);
    for (int p = 0; p < n; ++p) {
        Particle& q = b.particles[p];
        if (dir[p] != q.direction) {
            dir[p] = q.direction;
            c[p] = std::cos(q.direction);
            s[p] = std::sin(q.direction);
        }
        const double f = kParticleTravel * scale * q.speed;
        q.x += c[p] * f;
        q.y += s[p] * f;
    }
}

}  // namespace

void startBurst(double x, double y, bool small) {
    int index = -1;
    for (int i = 0; i < kBurstCount; ++i) {
        if (burstPool.bursts[i].age == 0) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        return;
    }
    Burst& b = burstPool.bursts[index];
    b.stepFactor = 0;
    b.age = 1;
    b.small = small ? 1 : 0;
    for (int p = 0; p < kParticlesPerBurst; ++p) {
        Particle& q = b.particles[p];
        if (small && p >= kSmallBurstParticles) {
            q.x = -1;
            q.y = -1;
            continue;
        }
        q.x = x;
        q.y = y;
        q.direction = random(314159265) * 1e-8;
        if (random(2) != 0) {
            q.direction = -q.direction;
        }
        q.speed = p < kInnerParticles ? random(300) / 300.0 : 0.6 + random(1000) / 7000.0;
        particleDirections.direction[index][p] = q.direction;
        particleDirections.cosD[index][p] = std::cos(q.direction);
        particleDirections.sinD[index][p] = std::sin(q.direction);
    }
    requestSound(small ? SmallBurst : BigBurst, x);
}

void stepBursts() {
    const double now = game.now;
    if (now - burstPool.lastStepTime < burstPool.stepMs) {
        return;
    }
    const float factor = static_cast<float>((now - burstPool.lastStepTime) / burstPool.stepMs);
    for (int i = 0; i < kBurstCount; ++i) {
        burstPool.bursts[i].stepFactor = factor;
    }
    for (int i = 0; i < kBurstCount; ++i) {
        Burst& b = burstPool.bursts[i];
        if (b.age == 0) {
            continue;
        }
        // A slow frame is made up for with extra steps, one per whole step interval missed.
        for (;;) {
            const bool last = b.age > kLastStepAge;
            b.age = last ? 0 : static_cast<std::uint16_t>(b.age + 1);
            moveParticles(i, b);
            if (!(b.stepFactor > kCatchUpThreshold) || b.age == 0) {
                break;
            }
            b.stepFactor -= 1;
        }
    }
    burstPool.lastStepTime = now;
}

void placeBonusItem(float kind, double x, double y) {
    bonus.expiresAt = game.now + kBonusLifetimeMs;
    bonus.kind = kind;
    bonus.x = x;
    bonus.y = y;
    bonus.radius = bonusRadius(bonus.fieldWidth);
    bonus.radiusSquared = bonus.radius * bonus.radius;
}

void updateBonusItem(double shipX, double shipY, double shipHeading, double shipHitRadius,
                     std::int32_t& shield) {
    (void)shipHeading;  // the pickup is a plain overlap test
    if (fleet.dropKind != kNoItem) {
        if (random(kDropChance) == 1) {
            placeBonusItem(static_cast<float>(fleet.dropKind), fleet.killX, fleet.killY);
            requestSound(BonusAppears);
        }
        fleet.dropKind = kNoItem;
    }
    if (bonus.kind == kNoItem) {
        return;
    }
    if (game.now > bonus.expiresAt) {
        bonus.kind = kNoItem;
    }
    const double dx = shipX - bonus.x;
    const double dy = shipY - bonus.y;
    if (dx * dx + dy * dy <= shipHitRadius * shipHitRadius + bonus.radiusSquared) {
        if (bonus.kind >= kShieldItem) {
            shield += kShieldBonus;
        } else if (game.damage[StrutEnemy] < kUpgradeLimit) {
            scaleDamage(kUpgradeFactor);
        }
        requestSound(BonusTaken);
        bonus.kind = kNoItem;
        game.score += kPickupScore;
    }
}
