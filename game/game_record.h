// When a game counts in the record of games: played from its first release, counted once, when it
// is won, lost or left for another game or by closing the window.
#pragma once

#include "data/statistics.h"
#include "game/platform.h"

struct LevelRecord;

extern thread_local LevelKey PlayedLevelKey;  // the level of the game in play, as its record stood at the new game
extern thread_local int PlayedMode;          // kOrdinaryMode or kNoGuessMode, as the game in play was set up

// A new game of the level's record: nothing of it is counted yet.
void NoteNewGame(const LevelRecord& record);

// The board just played is played again: a game of its own, of the same level and mode.
void NoteSameBoardAgain();

// The game in play ends: when it was played and is not counted yet, the platform records it.
void EndPlayedGame(PlatformWindow window, GameEnd end);
