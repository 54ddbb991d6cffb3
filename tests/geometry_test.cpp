#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "game/board.h"
#include "ui/geometry.h"

namespace {

constexpr std::uint32_t kUntouched = 0xDEADBEEF;

// The board of level 0, 7 rows of 13 columns, while a game is not over.
class BeginnerBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        Rows = 7;
        Columns = 13;
        GameState = Running;
    }
};

struct HitExample {
    std::uint32_t x;
    std::uint32_t y;
    std::uint8_t result;
    std::uint32_t column;  // kUntouched where the out-values must keep what the caller had
    std::uint32_t row;
};

TEST_F(BeginnerBoard, HitTestWorkedExamples)
{
    const HitExample examples[] = {
        {30, 42, kUpCell, 0, 0},
        {32, 42, kNoCell, kUntouched, kUntouched},
        {34, 42, kNoCell, kUntouched, kUntouched},
        {35, 42, kDownCell, 1, 0},
        {59, 42, kDownCell, 1, 0},
        {60, 42, kUpCell, 2, 0},
        {18, 66, kNoCell, kUntouched, kUntouched},
        {19, 66, kUpCell, 0, 0},
        {44, 66, kNoCell, kUntouched, kUntouched},
        {100, 67, kNoCell, kUntouched, kUntouched},
        {100, 68, kDownCell, 4, 1},
        {203, 92, kUpCell, 11, 1},
        {220, 50, kNoCell, 13, 0},
        {30, 41, kNoCell, kUntouched, kUntouched},
        {30, 224, kNoCell, kUntouched, kUntouched},
    };
    for (const HitExample& example : examples) {
        SCOPED_TRACE(::testing::Message() << "pointer (" << example.x << ", " << example.y << ")");
        std::uint32_t column = kUntouched;
        std::uint32_t row = kUntouched;
        EXPECT_EQ(HitTest(example.x, example.y, column, row), example.result);
        EXPECT_EQ(column, example.column);
        EXPECT_EQ(row, example.row);
    }
}

TEST_F(BeginnerBoard, HitTestFindsNothingOnceTheGameIsOver)
{
    GameState = Over;
    for (std::uint32_t y = 0; y < 272; ++y) {
        for (std::uint32_t x = 0; x < 241; ++x) {
            std::uint32_t column = kUntouched;
            std::uint32_t row = kUntouched;
            ASSERT_EQ(HitTest(x, y, column, row), kNoCell) << x << ", " << y;
            ASSERT_EQ(column, kUntouched);
            ASSERT_EQ(row, kUntouched);
        }
    }
}

// Every hit lies inside the picture of the cell it names, agrees with the orientation rule, and
// the lowest line of each row is dead; every cell of the board can be hit.
TEST_F(BeginnerBoard, EveryHitLiesOnItsOwnCell)
{
    std::set<std::pair<std::uint32_t, std::uint32_t>> cellsHit;
    for (std::uint32_t y = 0; y < 300; ++y) {
        for (std::uint32_t x = 0; x < 300; ++x) {
            std::uint32_t column = kUntouched;
            std::uint32_t row = kUntouched;
            const std::uint8_t result = HitTest(x, y, column, row);
            if (result == kNoCell)
                continue;
            const PixelPoint anchor = CellAnchor(column, row);
            ASSERT_LT(column, Columns);
            ASSERT_LT(row, Rows);
            ASSERT_EQ(result, (column + row) % 2 == 0 ? kUpCell : kDownCell) << x << ", " << y;
            ASSERT_GE(static_cast<std::int32_t>(x), anchor.x);
            ASSERT_LT(static_cast<std::int32_t>(x), anchor.x + kCellPictureSize);
            ASSERT_NE(static_cast<std::int32_t>(y) - anchor.y, 25) << "dead line at " << x << ", " << y;
            ASSERT_LT(static_cast<std::int32_t>(y) - anchor.y, 25);
            cellsHit.insert({column, row});
        }
    }
    EXPECT_EQ(cellsHit.size(), std::size_t{Rows * Columns});
}

TEST_F(BeginnerBoard, NewGameButtonRectangleIncludesItsBounds)
{
    EXPECT_TRUE(IsOnNewGameButton(105, 7));
    EXPECT_TRUE(IsOnNewGameButton(130, 33));
    EXPECT_FALSE(IsOnNewGameButton(104, 20));
    EXPECT_FALSE(IsOnNewGameButton(131, 20));
    EXPECT_FALSE(IsOnNewGameButton(120, 6));
    EXPECT_FALSE(IsOnNewGameButton(120, 34));

    GameState = Over;
    EXPECT_TRUE(IsOnNewGameButton(120, 20));

    std::uint32_t column = kUntouched;
    std::uint32_t row = kUntouched;
    GameState = Idle;
    EXPECT_EQ(HitTest(120, 20, column, row), kNoCell);
}

TEST(Geometry, WindowSizeAndButtonOfEveryLevel)
{
    struct Level {
        std::uint32_t rows, columns;
        std::int32_t width, height, b;
    };
    const Level levels[] = {
        {7, 13, 241, 272, 97},   {12, 25, 421, 402, 187}, {14, 36, 586, 454, 270}, {9, 17, 301, 324, 127},
        {13, 27, 451, 428, 202}, {14, 29, 481, 454, 217}, {14, 25, 421, 454, 187}, {12, 17, 301, 402, 127},
    };
    for (const Level& level : levels) {
        SCOPED_TRACE(::testing::Message() << level.rows << " x " << level.columns);
        const WindowSize size = WindowSizeFor(level.rows, level.columns);
        EXPECT_EQ(size.width, level.width);
        EXPECT_EQ(size.height, level.height);
        EXPECT_EQ(NewGameButtonBase(level.columns), level.b);
        const PixelPoint position = CentredWindowPosition(640, 480, size);
        EXPECT_GE(position.x, 0);
        EXPECT_GE(position.y, 0);
        EXPECT_LE(position.x + size.width, 640);
        EXPECT_LE(position.y + size.height, 480);
    }
    const WindowSize empty = WindowSizeFor(0, 0);
    EXPECT_EQ(empty.width, 46);
    EXPECT_EQ(empty.height, 90);
}

TEST(Geometry, WindowIsCentredOrKeptOnTheScreen)
{
    const PixelPoint beginner = CentredWindowPosition(800, 600, WindowSize{241, 272});
    EXPECT_EQ(beginner.x, 279);  // remainder dropped
    EXPECT_EQ(beginner.y, 164);
    const PixelPoint tooWide = CentredWindowPosition(500, 600, WindowSize{586, 454});
    EXPECT_EQ(tooWide.x, 0);
    EXPECT_EQ(tooWide.y, 73);
    const PixelPoint tooTall = CentredWindowPosition(800, 400, WindowSize{586, 454});
    EXPECT_EQ(tooTall.x, 107);
    EXPECT_EQ(tooTall.y, 0);
    const PixelPoint exact = CentredWindowPosition(241, 272, WindowSize{241, 272});
    EXPECT_EQ(exact.x, 0);
    EXPECT_EQ(exact.y, 0);
}

TEST(Geometry, AnchorsAndHeaderOfABeginnerBoard)
{
    EXPECT_EQ(CellAnchor(0, 0).x, 18);
    EXPECT_EQ(CellAnchor(0, 0).y, 42);
    EXPECT_EQ(CellAnchor(12, 6).x, 198);
    EXPECT_EQ(CellAnchor(12, 6).y, 198);

    const HeaderLayout header = LayoutHeader(13);  // c = 195, B = 97
    EXPECT_EQ(header.panel.left, 27);
    EXPECT_EQ(header.panel.top, 4);
    EXPECT_EQ(header.panel.right, 209);
    EXPECT_EQ(header.panel.bottom, 37);
    EXPECT_EQ(header.mineCounterBox[2].x, 86);
    EXPECT_EQ(header.mineCounterBox[2].y, 32);
    EXPECT_EQ(header.clockBox[0].x, 204);
    EXPECT_EQ(header.clockBox[2].x, 148);
    EXPECT_EQ(header.clockBox[3].y, 7);
    EXPECT_EQ(header.mineCounterCentre, 58);
    EXPECT_EQ(header.clockCentre, 177);
    EXPECT_EQ(header.counterTextTop, 12);
    EXPECT_EQ(header.button.x, 103);
    EXPECT_EQ(header.button.y, 5);
    EXPECT_EQ(header.pressedButton.x, 104);
    EXPECT_EQ(header.pressedButton.y, 6);
    EXPECT_EQ(header.buttonActive.left, 105);
    EXPECT_EQ(header.buttonActive.right, 130);

    EXPECT_EQ(CentredTextLeft(58, 15), 51);
    EXPECT_EQ(CentredTextLeft(177, 0), 177);
}

}  // namespace

namespace {

// Boards narrower than the header: the counters, the button and the board each keep their own
// room inside the window, the board under the button, and the hit test finds every cell.
TEST(Geometry, NarrowBoardsHaveAWholeHeader)
{
    for (std::uint32_t columns : {1u, 2u, 3u, 5u, 8u, 9u, 10u, 11u, 12u, 13u}) {
        SCOPED_TRACE(::testing::Message() << columns << " columns");
        Rows = 2;
        Columns = columns;
        GameState = Running;
        const WindowSize client = ClientSizeFor(Rows, columns);
        const HeaderLayout header = LayoutHeader(columns);
        const std::int32_t buttonLeft = header.button.x;
        const std::int32_t buttonRight = header.pressedButton.x + 28;
        EXPECT_GE(header.panel.left, 0);
        EXPECT_LT(header.panel.right, client.width);
        EXPECT_GT(header.mineCounterBox[0].x, header.panel.left);
        EXPECT_LT(header.mineCounterBox[1].x, buttonLeft);
        EXPECT_LT(header.buttonActive.right, header.clockBox[2].x);
        EXPECT_LT(buttonRight, header.clockBox[2].x);
        EXPECT_LT(header.clockBox[0].x, header.panel.right);
        EXPECT_GT(header.mineCounterCentre, header.mineCounterBox[0].x);
        EXPECT_LT(header.clockCentre, header.clockBox[0].x);

        const std::int32_t boardLeft = CellAnchor(0, 0).x;
        const std::int32_t boardRight = CellAnchor(columns - 1, 0).x + 26;
        EXPECT_GE(boardLeft, header.panel.left - 10);
        EXPECT_LT(boardRight, client.width);
        EXPECT_LE(std::abs((boardLeft + boardRight) / 2 - (buttonLeft + 14)), 8) << "board under the button";
        for (std::uint32_t column = 0; column < columns; ++column) {
            const PixelPoint anchor = CellAnchor(column, 0);
            const bool up = column % 2 == 0;
            std::uint32_t hitColumn = kUntouched;
            std::uint32_t hitRow = kUntouched;
            EXPECT_EQ(HitTest(static_cast<std::uint32_t>(anchor.x + 13 + (up ? 0 : 1)),
                              static_cast<std::uint32_t>(anchor.y + (up ? 16 : 8)), hitColumn, hitRow),
                      up ? kUpCell : kDownCell)
                << column;
            EXPECT_EQ(hitColumn, column);
        }
        std::uint32_t hitColumn = kUntouched;
        std::uint32_t hitRow = kUntouched;
        EXPECT_EQ(HitTest(static_cast<std::uint32_t>(boardLeft - 2), 58, hitColumn, hitRow), kNoCell);
    }
}

}  // namespace
