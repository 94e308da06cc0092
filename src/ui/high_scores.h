#pragma once
// The high-score table of kHighScoreCount entries and the name entry.
#include "settings/settings.h"

#include <cstdint>

extern HighScoreEntry highScores[kHighScoreCount];
extern char nameBuffer[9];
extern std::int8_t nameLength;

// The game's score beats at least one entry.
bool scoreQualifies(float score);
// Sorts the table by descending score (stable) and places the name with the score.
void insertHighScore(const char* name, float score);

// Starts the name entry with an empty name.
void openNameEntry();
void nameEntryDisplay();
// The name entry, drawn and flushed (not shown).
void drawNameEntry();
void nameEntryIdle();

// The high-score screen: the entries on rows 0 to kHighScoreCount - 1, then, after a blank row,
// "Back", the one row the highlight visits.
constexpr std::uint8_t kHighScoresBackRow = kHighScoreCount + 1;

void drawHighScoresScreen();
void highScoresEnter(int row);
