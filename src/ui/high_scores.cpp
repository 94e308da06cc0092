#include "ui/high_scores.h"

// Placeholder: replaced by the real table and name entry.
HighScoreEntry highScores[3] = {{"Pelvor", 0}, {"Morvasta", 0}, {"Zintok", 0}};
char nameBuffer[9] = {};
std::int8_t nameLength = 0;
bool scoreQualifies(float) { return false; }
void insertHighScore(const char*, float) {}
void nameEntryDisplay() {}
void nameEntryIdle() {}
