#pragma once
// Hides a console window that belongs to the game alone (one opened for it by the system);
// a terminal the player started the game from stays. A no-op where the game has none.
void hideConsoleWindow();
