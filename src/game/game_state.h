#pragma once
// The running game's records. Every one is a global that lives for the whole process;
// the tables have fixed sizes and mark a free slot by a value in one of its fields.
#include "platform/rand.h"

#include <cstdint>

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

constexpr int kPlayerShotSlots = 9;
constexpr int kEnemyCapacity = 120;

// The kinds of enemy, 0 to 4: an enemy's kind picks its row of kEnemyKinds, and of every table
// the fleet keeps per kind.
using EnemyKind = std::int8_t;
constexpr int kEnemyKindCount = 5;

// The kinds by the look of their shapes (render/enemy_shapes.cpp), in their order in the tables.
enum EnemyKindName : EnemyKind {
    DartEnemy = 0,      // green arrowhead between swept wings; the fastest
    AntennaEnemy = 1,   // blue blunt arrowhead with two antennas; picks its drop at random
    CrescentEnemy = 2,  // teal arrowhead inside a C-shaped wing
    ProngEnemy = 3,     // long speckled body with two front prongs
    StrutEnemy = 4,     // grey fuselage between wing bars on struts; the toughest, so its damage
                        // measures the player's firepower
};
static_assert(StrutEnemy + 1 == kEnemyKindCount, "every kind has a name");

// Everything that tells the kinds apart.
struct EnemyKindTraits {
    float value;           // score for a kill
    float turnRate;        // radians per turn step
    double dropKind;       // bonus a kill may leave: 1 weapon upgrade, 2 shield (AntennaEnemy picks at random)
    float damage;          // strength one of the player's shots takes at the start of a game
    double moveStepMs;     // between two moves
    double turnStepMs;     // between two turn steps
    double radiusTimesH;   // hit radius: radiusTimesH * H / radiusDivisor
    double radiusDivisor;
    double shapeTimesH;    // the shape's scale
};
extern const EnemyKindTraits kEnemyKinds[kEnemyKindCount];
constexpr int kTotalShotSlots = kPlayerShotSlots + kEnemyCapacity;  // 129
constexpr int kBurstRequestCount = 20;
constexpr int kBurstCount = 50;
constexpr int kParticlesPerBurst = 250;
constexpr int kSmallBurstParticles = 7;
constexpr double kFreeShotAngle = 200.0;
constexpr float kDeadStrength = -10.0f;
constexpr int kLastWave = 201;
// The seconds counted down before a game's first wave and between two waves.
constexpr std::int32_t kCountdownStart = 4;

struct Shot {
    double x;
    double y;
    double angle;  // kFreeShotAngle marks a free slot
};

struct BurstRequest {
    double x;
    double y;
    double angle;  // 0 marks an empty request; -2*pi or less asks for small explosions
};

struct GameSession {
    double now;
    float score;
    std::uint8_t waveNumber;
    std::int32_t countdown;
    float nextCountdownTick;
    double endTime;  // 0 running, > 0 time the end message appears, -1 shown
    std::uint8_t won;
    std::uint8_t hudVisible;
    std::uint8_t frameLimiter;
    char lastFunctionKey;  // the shared one-byte key latch of the game, menus and name entry
    double volumeShownUntil;
    double rateWindowStart;
    double rateFrames;
    double frameRate;
    float damage[kEnemyKindCount];
    float shieldPerHit;
    BurstRequest burstRequests[kBurstRequestCount];
    Shot enemyShotRequest;
};

struct PlayerShip {
    double hitRadius;
    double shipScale;
    std::int32_t shield;
    std::uint32_t fieldWidth;
    std::uint32_t fieldHeight;
    std::int32_t lives;
    double x;
    double y;
    double heading;
    double muzzleX;
    double muzzleY;
    double muzzleAngle;
    double lastMoveTime;
    double lastTurnTime;
    double moveStepMs;
    double turnStepMs;
};

struct ShotPool {
    std::uint8_t playerSlots;
    std::uint8_t totalSlots;
    std::uint32_t fieldWidth;
    std::uint32_t fieldHeight;
    Shot shots[kTotalShotSlots];
    double lastStepTime;
    double lastFireTime;
    double stepMs;
    double fireRepeatMs;
};

struct Enemy {
    double x;
    double y;
    double heading;
    double lastMoveTime;
    double lastTurnTime;
    double lastDecisionTime;
    double lastFireTime;
    double turnRemaining;
    double fireDelay;
    float strength;  // > 0 alive; 0 or less marks a free slot
    float value;
    float speed;
    float turnRate;
    EnemyKind kind;
    std::uint8_t turnMode;  // 0 clockwise, 1 counter-clockwise, 2 hold course
    std::uint8_t blocked;
};

struct EnemyFleet {
    std::uint8_t noise[128];
    double spawnX;
    double spawnY;
    std::uint8_t spawning;
    std::uint8_t frozen;
    std::uint8_t aliveCount;
    std::uint8_t spawnedThisWave;
    std::uint32_t fieldHeight;
    std::uint32_t fieldWidth;
    std::uint32_t capacity;
    double hitRadius[kEnemyKindCount];
    double shapeScale[kEnemyKindCount];
    double moveStepMs[kEnemyKindCount];
    double turnStepMs[kEnemyKindCount];
    double decisionDelayMs[kEnemyKindCount];
    double fireDelayRange;
    double lastSpawnTime;
    double spawnStepMs;
    double lastSpawnMoveTime;
    double spawnMoveMs;
    double nextBonusScore;
    double killX;
    double killY;
    double dropKind;  // 0 nothing pending, 1 weapon upgrade, 2 shield
    Enemy* enemies;   // kEnemyCapacity + 1 records; the last one mirrors the ship
};

struct Particle {
    double x;
    double y;
    double direction;
    double speed;
};

struct Burst {
    Particle particles[kParticlesPerBurst];
    float stepFactor;
    std::uint16_t age;  // 0 marks a free burst
    std::uint8_t small;
};

struct BurstPool {
    std::uint32_t burstCount;
    double particleScale[2];  // [0] large bursts, [1] small bursts
    double lastStepTime;
    double stepMs;
    Burst* bursts;  // kBurstCount bursts
};

// The bonus item's kinds, as its `kind` and a fleet's `dropKind` hold them.
constexpr int kNoItem = 0;
constexpr int kUpgradeItem = 1;
constexpr int kShieldItem = 2;

struct BonusItem {
    float kind;  // 0 none, 1 weapon upgrade, 2 shield
    double x;
    double y;
    double radius;
    double radiusSquared;
    double expiresAt;
    double fieldWidth;
    double fieldHeight;
};

struct Star {
    double x;
    double y;
    double brightness;
};

struct StarField {
    std::uint32_t count;
    Star* stars;
};

// The field's W and H: every size of the game is computed from them (prepareGame with newGame
// false), and the HUD and the menus place themselves by them.
struct Layout {
    double keptWidth;
    double keptHeight;
};

extern GameSession game;
extern PlayerShip ship;
extern ShotPool shotPool;
extern EnemyFleet fleet;
extern BurstPool burstPool;
extern BonusItem bonus;
extern StarField stars;
extern Layout layout;

// Owned by the main menu, read by the game: a "New Game" game is running or paused,
// and the running game is a system test.
extern std::uint8_t gameInProgress;
extern std::uint8_t systemTest;

// The resolution the next preparation of the sizes is for; the window's owner sets it.
void setFieldSize(std::uint32_t width, std::uint32_t height);
// (false, false): the first preparation; (false, true): sizes follow a new field size;
// (true, false): a new game.
void prepareGame(bool newGame, bool keepState);
// The ship at the field's centre, pointing up: where a game starts and a lost life respawns.
void centreShip();
void resetFleet(std::uint32_t capacity);
void resetDamage();
// Multiplies every kind's damage by the factor, each rounded back to float: the one rule by which
// a lost life lowers and an upgrade raises the player's firepower.
void scaleDamage(double factor);
void createStarField(std::uint32_t width, std::uint32_t height);
void setStepConstants();

// The process-start set-up of the shot, burst and enemy tables (seeds the generator from the
// calendar time and resets the fleet).
void initialiseGameTables();
