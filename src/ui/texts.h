#pragma once
// Every text of the user interface as a (Bulgarian, English) pair of Windows-1251 byte strings,
// so that the fonts built with the Cyrillic character set draw them as they are.
#include "settings/settings.h"

struct TextPair {
    const char* bulgarian;
    const char* english;
};

// The member for the current language (0 Bulgarian, anything else English).
inline const char* pick(const TextPair& text) {
    return settings.language == 0 ? text.bulgarian : text.english;
}

// The English "New Game" carries a Cyrillic small ie (0xE5) as its second letter on purpose:
// the Cyrillic font draws it like a Latin e.
inline constexpr TextPair kTitle{"Drennovar", "Drennovar"};
inline constexpr TextPair kSystemTest{"\xD2\xE5\xF1\xF2 \xED\xE0 \xF1\xE8\xF1\xF2\xE5\xEC\xE0\xF2\xE0", "System Test"};
inline constexpr TextPair kContinue{"\xCF\xF0\xEE\xE4\xFA\xEB\xE6\xE8", "Continue"};
inline constexpr TextPair kNewGame{"\xCD\xEE\xE2\xE0 \xE8\xE3\xF0\xE0", "N\xE5w Game"};
inline constexpr TextPair kEndGame{"\xCA\xF0\xE0\xE9 \xED\xE0 \xE8\xE3\xF0\xE0\xF2\xE0", "End Game"};
inline constexpr TextPair kOptions{"\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8", "Options"};
inline constexpr TextPair kHighScores{"\xD0\xE5\xEA\xEE\xF0\xE4\xE8", "High Scores"};
inline constexpr TextPair kExit{"\xC8\xE7\xF5\xEE\xE4", "Exit"};
inline constexpr TextPair kBack{"\xCD\xE0\xE7\xE0\xE4", "Back"};
inline constexpr TextPair kGameOver{"\xCA\xF0\xE0\xE9 \xED\xE0 \xE8\xE3\xF0\xE0\xF2\xE0", "Game Over"};
inline constexpr TextPair kYouWin{"\xCF\xE5\xF7\xE5\xEB\xE8\xF8!", "You win!"};
inline constexpr TextPair kResolution{"\xD0\xE5\xE7\xEE\xEB\xFE\xF6\xE8\xFF:", "Resolution:"};
inline constexpr TextPair kColourDepth{"\xD6\xE2\xE5\xF2\xEE\xE2\xE5:", "Colour Depth:"};
inline constexpr TextPair kRefreshRate{"\xD7\xE5\xF1\xF2\xEE\xF2\xE0:", "Refresh Rate:"};
inline constexpr TextPair kFullScreen{"\xD6\xFF\xEB \xE5\xEA\xF0\xE0\xED:", "Full Screen:"};
inline constexpr TextPair kSound{"\xC7\xE2\xF3\xEA", "Sound"};
inline constexpr TextPair kControls{"\xCA\xEE\xEF\xF7\xE5\xF2\xE0", "Controls"};
inline constexpr TextPair kLanguage{"\xC5\xE7\xE8\xEA:", "Language:"};
inline constexpr TextPair kLanguageName{"\xC1\xFA\xEB\xE3\xE0\xF0\xF1\xEA\xE8", "English"};
inline constexpr TextPair kVolume{"\xD1\xE8\xEB\xE0: ", "Volume: "};
inline constexpr TextPair kSoundHint{"\xCC\xEE\xE6\xE5 \xE4\xE0 \xEF\xEE\xEB\xE7\xE2\xE0\xF2\xE5 \xF1\xFA\xF9\xEE \xE8 F7 \xE8 F8 \xEF\xEE \xE2\xF0\xE5\xEC\xE5 \xED\xE0 \xE8\xE3\xF0\xE0.", "You can also use F7 and F8 while playing."};
inline constexpr TextPair kForward{"\xCD\xE0\xEF\xF0\xE5\xE4:", "Forward:"};
inline constexpr TextPair kRight{"\xCD\xE0\xE4\xFF\xF1\xED\xEE:", "Right:"};
inline constexpr TextPair kLeft{"\xCD\xE0\xEB\xFF\xE2\xEE:", "Left:"};
inline constexpr TextPair kShoot{"\xD1\xF2\xF0\xE5\xEB\xE1\xE0:", "Shoot:"};
inline constexpr TextPair kDefaultKeys{"\xD1\xF2\xE0\xED\xE4\xE0\xF0\xF2\xED\xE8 (F5)", "Deafult (F5)"};
inline constexpr TextPair kControlsHint{"\xCD\xE0\xE7\xE0\xE4: ESC, \xC8\xE7\xF5\xEE\xE4: F12", "Back: ESC, Exit: F12"};
inline constexpr TextPair kHighScoreSet{"\xCF\xEE\xF1\xF2\xE0\xE2\xE8 \xED\xEE\xE2 \xF0\xE5\xEA\xEE\xF0\xE4 !", "You set a high score !"};
inline constexpr TextPair kEnterName{"\xC2\xFA\xE2\xE5\xE4\xE8 \xE8\xEC\xE5\xF2\xEE \xF1\xE8:", "Enter your name:"};
inline constexpr TextPair kYes{"\xC4\xE0", "Yes"};
inline constexpr TextPair kNo{"\xCD\xE5", "No"};

// The hint line reads the same in both languages.
inline constexpr const char* kLanguageHint = "\xC5\xE7\xE8\xEA: / Language: [ F8 ]";
inline constexpr const char* kCreditLine = "vector arcade";
