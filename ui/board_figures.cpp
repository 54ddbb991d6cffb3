#include "ui/board_figures.h"

#include <atomic>

#include "ui/shell.h"

namespace {

std::atomic<std::uint32_t> LatestRequest{0};  // the request whose figures are wanted; older ones stop

struct Request {
    HWND window;
    LevelRecord record;
    int level;
    bool noGuess;
    std::uint32_t number;
};

bool StillWanted(const Request& request)
{
    return LatestRequest.load() == request.number;
}

// The thread plays a game of its own (the game's state is per thread) and shows nothing of it.
DWORD WINAPI WorkOutFigures(LPVOID parameter)
{
    PlaysUnseen = true;
    const Request* request = static_cast<Request*>(parameter);
    const BoardsDone goOn = [request](std::uint32_t) { return StillWanted(*request); };
    auto* half = new HalfOfFigures{request->noGuess, false, {}};
    std::uint32_t seed = 0;
    const FiguresEnd end = PlayLevelBoards(request->record, request->level, 0, kFigureBoards, request->noGuess, nullptr,
                                           goOn, half->figures, seed);
    half->played = end == FiguresEnd::Done;
    if (end == FiguresEnd::Stopped || !StillWanted(*request) ||
        !PostMessageA(request->window, kFiguresReady, request->number, reinterpret_cast<LPARAM>(half)))
        delete half;
    delete request;
    return 0;
}

void StartThread(Request* request)
{
    const HANDLE thread = CreateThread(nullptr, 0, WorkOutFigures, request, 0, nullptr);
    if (thread == nullptr)
        delete request;
    else
        CloseHandle(thread);
}

}  // namespace

std::uint32_t StartFigures(HWND window, const LevelRecord& record, int level)
{
    const std::uint32_t number = ++LatestRequest;
    StartThread(new Request{window, record, level, false, number});
    StartThread(new Request{window, record, level, true, number});
    return number;
}

void StopFigures()
{
    ++LatestRequest;
}
