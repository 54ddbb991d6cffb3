#include "ui/hint_key.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "game/board.h"
#include "game/cell_cursor.h"
#include "solver/hint.h"
#include "ui/input.h"
#include "ui/keyboard.h"

namespace {

// A chance as the player reads it: "1 in N", N being 1 / chance rounded to the nearest whole
// number, or above one half "P in 100"; "about" unless it is exactly that.
std::string ChanceInWords(double chance, bool approximate)
{
    std::string words;
    bool exact = !approximate;
    if (chance <= 0.5) {
        const double odds = 1.0 / chance;
        const long n = std::lround(odds);
        exact = exact && std::fabs(odds - static_cast<double>(n)) < 1e-6;
        words = "1 in " + std::to_string(n);
    } else {
        const long percent = std::min(std::lround(chance * 100.0), 99L);
        exact = exact && std::fabs(chance * 100.0 - static_cast<double>(percent)) < 1e-6;
        words = std::to_string(percent) + " in 100";
    }
    return exact ? words : "about " + words;
}

// What the message says of the hint; nothing for a cell that is certainly safe.
std::string HintMessage(const Hint& hint)
{
    switch (hint.kind) {
    case HintKind::FirstRelease:
        return "Nothing is uncovered yet, so every triangle is as likely as any other to hide a mine. The cursor "
               "is on one with the fewest neighbours, the likeliest to open a region.";
    case HintKind::WrongFlag:
        return "The flag under the cursor cannot be right: that triangle is certainly safe.";
    case HintKind::LeastLikely:
        return "No triangle is certainly safe. The cursor is on the one least likely to hide a mine: " +
               ChanceInWords(hint.chance, hint.approximate) + ".";
    default:
        return "";
    }
}

}  // namespace

void HandleHintKey(HWND window, LPARAM flags)
{
    const bool repeated = (flags & (LPARAM{1} << 30)) != 0;
    if (repeated || GameState == Over || IsPlayKeyHeld())
        return;
    // No board is dealt yet, so nothing is given away.
    if (AwaitingDeal) {
        MessageBoxA(window,
                    "No guessing is on: the board is dealt at your first release, with that triangle free and its "
                    "neighbours too wherever the level leaves room, so any first release is safe.",
                    "Skarvel", MB_OK | MB_ICONINFORMATION);
        return;
    }
    CellPosition nearTo = CursorCell();
    const bool hasNear = IsCursorShown() || CellUnderPointer(window, nearTo);
    const Hint hint = HintOnBoard(nearTo, hasNear).hint;
    if (hint.kind == HintKind::None)
        return;
    HintUsed = true;
    const HDC outer = AcquireMessageDC(window);
    ShowCursorOn(hint.cell);
    ReleaseMessageDC(window, outer);
    const std::string message = HintMessage(hint);
    if (!message.empty())
        MessageBoxA(window, message.c_str(), "Skarvel", MB_OK | MB_ICONINFORMATION);
}
