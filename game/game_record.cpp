#include "game/game_record.h"

#include "data/best_times.h"
#include "data/data_check.h"
#include "game/board.h"

thread_local LevelKey PlayedLevelKey;
thread_local int PlayedMode = kOrdinaryMode;

static thread_local bool GameCounted;  // the game in play has been recorded

void NoteNewGame(const LevelRecord& record)
{
    PlayedLevelKey = KeyOfLevel(record);
    PlayedMode = NoGuessing ? kNoGuessMode : kOrdinaryMode;
    GameCounted = false;
}

void NoteSameBoardAgain()
{
    GameCounted = false;
}

void EndPlayedGame(PlatformWindow window, GameEnd end)
{
    // Idle: nothing was released on the board yet. Over and left: it was counted as it ended.
    if (GameCounted || GameState == Idle || (end == GameEnd::Left && GameState == Over))
        return;
    GameCounted = true;
    FinishedGame game;
    game.end = end;
    game.mode = PlayedMode;
    game.seconds = RecordedSeconds(ElapsedSeconds);
    game.hintUsed = HintUsed;
    game.playedAgain = BoardPlayedAgain;
    RecordPlayedGame(window, PlayedLevelKey, game);
}
