#pragma once
// The drawing tests' window, quiet records and scenes.
#include "app/startup.h"
#include "app/window.h"
#include "game/game_state.h"
#include "platform/port.h"
#include "render/display_mode.h"
#include "render/draw.h"
#include "render/text.h"
#include "settings/settings.h"
#include "support/gl_test_support.h"

#include <gtest/gtest.h>

#include <tuple>

// The game window at 800 x 600 (one game unit a pixel) with the fonts, and the
// records in a quiet state: no enemies, shots, bursts, item, stars, countdown or end text.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool open = openTestWindow(800, 600);
        if (!open) {
            GTEST_SKIP() << "no X display";
        }
        static const bool prepared = (prepareGameForDisplay(true), connectLayers(), createFonts(), true);
        (void)prepared;  // the sizes for this window
        startDrawing(windowDrawBackend()), reshapeWindow(800, 600);  // a test before may have drawn elsewhere
        quiet();
    }
    static void quiet() {
        initialiseGameTables();  // no bursts
        prepareGame(true, false);  // no enemies, shots or end; the ship whole at the centre
        for (int i = 0; i < 128; ++i) {  // the stipple's noise, drawn from the calendar by the game
            fleet.noise[i] = static_cast<std::uint8_t>(i * 37 + 11);
        }
        bonus.kind = stars.count = game.countdown = game.won = game.hudVisible = settings.language = 0;
        game.now = 0, game.volumeShownUntil = -1;
    }
};

inline void place(int index, int kind, double x, double y, double heading, float strength = 1) {
    Enemy& e = fleet.enemies[index];
    std::tie(e.x, e.y, e.heading, e.strength, e.kind) = std::tuple(x, y, heading, strength, EnemyKind(kind));
}

// Two enemies, two shots, two bursts, the weapon item, a star field at fixed points, a countdown
// and the HUD with the volume shown.
inline void setFrameScene() {
    place(3, 2, 200, 150, 2.0), place(7, 4, 650, 480, 5.5, 0.5f);
    shotPool.shots[0] = Shot{300, 250, -0.8}, shotPool.shots[40] = Shot{500, 100, -4.0};
    for (int b = 0; b < 2; ++b) {
        Burst& burst = burstPool.bursts[b];
        burst.age = static_cast<std::uint16_t>(5 + 10 * b);
        for (int k = 0; k < kParticlesPerBurst; ++k) {
            burst.particles[k] = Particle{100.0 + k % 50 + 300 * b, 400.0 + k / 5, 0.1 * k, 1};
        }
    }
    bonus = BonusItem{1, 600, 200, 9, 81, 1e9, 800, 600};
    ship.shield = 60, game.hudVisible = 1, game.countdown = 2;
    game.volumeShownUntil = 1e9, game.score = 1234, game.frameRate = 65;
    prepareGameForDisplay(true);  // a star field, placed here at fixed points
    for (std::uint32_t i = 0; i < stars.count; ++i) {
        stars.stars[i] = Star{i * 7.0, i * 5.0 + 30, 0.3 + i % 7 * 0.1};
    }
}

