#pragma once
// For tests only, never for the game: stops replaceFileContents at any of its steps, as a crash,
// a full disk or a failing device would.

// Called before each step that creates, changes, moves or flushes a file, with the step's name.
// True fails that step as a full disk would, without making it; a failing write first puts down
// half of its bytes, as a disk that fills part way does. nullptr lets every step run.
using FileStepHook = bool (*)(const char* step);
void setFileStepHook(FileStepHook hook);
