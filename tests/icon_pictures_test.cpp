// The icon pictures in res/icons, read as text: the cell triangles against their row-span
// formulas and edges, the mine and flag against their pixel tables, the button face's frame,
// and how neighbouring cells overlap on the board.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Picture {
    int size = 0;
    std::vector<std::string> pixels;  // colour name of each pixel, row by row from the top

    const std::string& At(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
    bool Opaque(int x, int y) const { return x >= 0 && y >= 0 && x < size && y < size && At(x, y) != "transparent"; }
};

// The legend maps each character to a colour name; a blank line ends it.
Picture ReadPicture(const std::string& name)
{
    std::ifstream file(std::string(ICON_SOURCE_DIR) + "/" + name + ".txt");
    EXPECT_TRUE(file) << name;
    std::map<char, std::string> legend;
    std::string line;
    while (std::getline(file, line) && !line.empty())
        if (line[0] != '#')
            legend[line[0]] = line.substr(2);
    Picture picture;
    while (std::getline(file, line) && !line.empty()) {
        for (char c : line)
            picture.pixels.push_back(legend.count(c) ? legend[c] : "?");
        ++picture.size;
    }
    EXPECT_EQ(picture.pixels.size(), static_cast<std::size_t>(picture.size * picture.size)) << name;
    return picture;
}

const std::map<int, std::string> CellFiles = {
    {105, "covered_up"},   {106, "covered_down"}, {107, "pressed_up"},
    {108, "pressed_down"}, {111, "uncovered_up"}, {112, "uncovered_down"},
};

const int UpPictures[] = {105, 107, 111};
const int DownPictures[] = {106, 108, 112};

int Ceil2(int y)
{
    return (y + 1) / 2;
}
int Floor2(int y)
{
    return y / 2;
}

struct Span {
    int first = 0;
    int last = -1;  // first > last: the row is transparent
};

Span ExpectedSpan(int group, int y)
{
    switch (group) {
    case 105:
        if (y <= 23)
            return {12 - Ceil2(y), 13 + Ceil2(y)};
        return y == 24 ? Span{1, 24} : Span{};
    case 106:
        if (y <= 1)
            return {0, 24};
        return y <= 23 ? Span{Floor2(y + 1), 24 - Floor2(y - 1)} : Span{};
    case 107:
        if (y <= 23)
            return {12 - Ceil2(y), 13 + Ceil2(y)};
        return y == 24 ? Span{0, 26} : Span{};
    case 111:
        if (y <= 23)
            return {12 - Ceil2(y), 14 + Ceil2(y)};
        return y == 24 ? Span{0, 26} : Span{};
    default:  // 108 and 112
        return y <= 24 ? Span{Floor2(y), 25 - Floor2(y)} : Span{};
    }
}

std::map<int, Picture> ReadCells()
{
    std::map<int, Picture> cells;
    for (const auto& [group, file] : CellFiles)
        cells[group] = ReadPicture(file);
    return cells;
}

TEST(CellPictures, OpaqueRowsMatchTheSpanFormulas)
{
    for (const auto& [group, picture] : ReadCells()) {
        ASSERT_EQ(picture.size, 32) << group;
        for (int y = 0; y < 32; ++y) {
            Span span = ExpectedSpan(group, y);
            for (int x = 0; x < 32; ++x)
                EXPECT_EQ(picture.Opaque(x, y), x >= span.first && x <= span.last)
                    << "icon " << group << " pixel (" << x << ", " << y << ")";
        }
    }
}

std::string RowColours(const Picture& picture, int y, int first, int last)
{
    std::string colours;
    for (int x = first; x <= last; ++x)
        colours += (x > first ? " " : "") + picture.At(x, y);
    return colours;
}

std::string Repeat(const std::string& colour, int count)
{
    std::string colours;
    for (int i = 0; i < count; ++i)
        colours += (i > 0 ? " " : "") + colour;
    return colours;
}

TEST(CellPictures, RaisedUpTriangleIsLitFromTheTopLeft)
{
    Picture up = ReadPicture("covered_up");
    EXPECT_EQ(RowColours(up, 0, 12, 13), "silver black");
    for (int y = 1; y <= 22; ++y) {
        Span span = ExpectedSpan(105, y);
        int white = up.At(span.first, y) == "white" ? span.first : span.first + 1;
        EXPECT_EQ(up.At(white, y), "white") << "row " << y;
        if (white > span.first) {
            EXPECT_EQ(up.At(span.first, y), "silver") << "row " << y;
        }
        EXPECT_EQ(RowColours(up, y, white + 1, span.last - 2), Repeat("silver", span.last - 2 - white)) << "row " << y;
        EXPECT_EQ(RowColours(up, y, span.last - 1, span.last), "grey black") << "row " << y;
    }
    EXPECT_EQ(RowColours(up, 23, 0, 2), "silver white silver");
    EXPECT_EQ(RowColours(up, 23, 3, 22), Repeat("grey", 20));
    EXPECT_EQ(RowColours(up, 23, 23, 25), Repeat("black", 3));
    EXPECT_EQ(RowColours(up, 24, 1, 24), Repeat("black", 24));
}

TEST(CellPictures, RaisedDownTriangleIsLitFromTheTopLeft)
{
    Picture down = ReadPicture("covered_down");
    EXPECT_EQ(RowColours(down, 0, 0, 1), "grey grey");
    EXPECT_EQ(RowColours(down, 0, 2, 22), Repeat("white", 21));
    EXPECT_EQ(RowColours(down, 0, 23, 24), "silver grey");
    EXPECT_EQ(RowColours(down, 1, 0, 2), "grey white white");
    EXPECT_EQ(down.At(22, 1), "white");
    for (int y = 1; y <= 22; ++y) {
        Span span = ExpectedSpan(106, y);
        if (y >= 2) {
            EXPECT_EQ(down.At(span.first, y), "white") << "row " << y;
            EXPECT_EQ(RowColours(down, y, span.first + 1, span.last - 2), Repeat("silver", span.last - span.first - 2))
                << "row " << y;
        }
        EXPECT_EQ(RowColours(down, y, span.last - 1, span.last), "grey black") << "row " << y;
    }
    EXPECT_EQ(RowColours(down, 23, 12, 13), "silver black");
}

// The leftmost black pixel of a row of a pressed picture.
int FirstBlack(const Picture& picture, int y)
{
    for (int x = 0; x < picture.size; ++x)
        if (picture.At(x, y) == "black")
            return x;
    return -1;
}

TEST(CellPictures, PressedUpTriangleIsOutlinedInBlack)
{
    Picture up = ReadPicture("pressed_up");
    for (int y = 1; y <= 23; ++y) {
        Span span = ExpectedSpan(107, y);
        bool stepsOut = span.first < ExpectedSpan(107, y - 1).first;
        EXPECT_EQ(up.At(span.first, y), stepsOut ? "grey" : "black") << "row " << y;
        EXPECT_EQ(FirstBlack(up, y), stepsOut ? span.first + 1 : span.first) << "row " << y;
        if (y >= 2) {
            EXPECT_EQ(up.At(FirstBlack(up, y) + 1, y), "white") << "row " << y;
        }
        bool stepsOutRight = span.last > ExpectedSpan(107, y - 1).last;
        EXPECT_EQ(up.At(span.last, y), stepsOutRight ? "grey" : "black") << "row " << y;
        int rightBlack = stepsOutRight ? span.last - 1 : span.last;
        EXPECT_EQ(up.At(rightBlack, y), "black") << "row " << y;
        if (y >= 2 && y <= 22) {
            int inside = FirstBlack(up, y) + 2;
            EXPECT_EQ(RowColours(up, y, inside, rightBlack - 1), Repeat("silver", rightBlack - inside)) << "row " << y;
        }
    }
    EXPECT_EQ(RowColours(up, 23, 4, 23), Repeat("grey", 20));
    EXPECT_EQ(RowColours(up, 24, 0, 26), "grey " + Repeat("black", 25) + " grey");
}

TEST(CellPictures, PressedDownTriangleIsOutlinedInBlack)
{
    Picture down = ReadPicture("pressed_down");
    EXPECT_EQ(RowColours(down, 0, 2, 25), Repeat("black", 24));
    EXPECT_EQ(RowColours(down, 1, 4, 22), Repeat("white", 19));
    for (int y = 1; y <= 22; ++y) {
        Span span = ExpectedSpan(108, y);
        EXPECT_EQ(down.At(FirstBlack(down, y) + 1, y), "white") << "row " << y;
        EXPECT_LE(FirstBlack(down, y), span.first + 1) << "row " << y;
        if (y >= 2) {
            int inside = FirstBlack(down, y) + 2;
            EXPECT_EQ(RowColours(down, y, inside, span.last - 2), Repeat("silver", span.last - 1 - inside))
                << "row " << y;
        }
        EXPECT_EQ(RowColours(down, y, span.last - 1, span.last), "grey black") << "row " << y;
    }
    for (int y = 23; y <= 24; ++y) {
        Span span = ExpectedSpan(108, y);
        for (int x = span.first; x <= span.last; ++x)
            EXPECT_TRUE(down.At(x, y) == "black" || down.At(x, y) == "grey") << x << ", " << y;
    }
}

TEST(CellPictures, FlatTrianglesAreSilverWithGreySeams)
{
    Picture up = ReadPicture("uncovered_up");
    Picture down = ReadPicture("uncovered_down");
    for (int y = 0; y <= 24; ++y) {
        Span upSpan = ExpectedSpan(111, y);
        EXPECT_EQ(up.At(upSpan.first, y), "grey") << "row " << y;
        EXPECT_EQ(up.At(upSpan.last, y), "grey") << "row " << y;
        EXPECT_EQ(RowColours(up, y, upSpan.first + 1, upSpan.last - 1),
                  Repeat("silver", upSpan.last - upSpan.first - 1))
            << "row " << y;
        Span downSpan = ExpectedSpan(112, y);
        EXPECT_EQ(down.At(downSpan.first, y), "grey") << "row " << y;
        EXPECT_EQ(RowColours(down, y, downSpan.first + 1, downSpan.last),
                  Repeat("silver", downSpan.last - downSpan.first))
            << "row " << y;
    }
}

TEST(CellPictures, PressedAndFlatPicturesCoverTheRaisedOne)
{
    std::map<int, Picture> cells = ReadCells();
    const int covers[][2] = {{107, 105}, {111, 105}, {108, 106}, {112, 106}};
    for (const auto& [over, raised] : covers)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (cells[raised].Opaque(x, y)) {
                    EXPECT_TRUE(cells[over].Opaque(x, y)) << over << " over " << raised << " at " << x << ", " << y;
                }
}

// Pixels that two pictures drawn dx, dy apart both paint, as seen from the first.
std::vector<std::pair<int, int>> SharedPixels(const Picture& first, const Picture& second, int dx, int dy)
{
    std::vector<std::pair<int, int>> shared;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (first.Opaque(x, y) && second.Opaque(x - dx, y - dy))
                shared.push_back({x, y});
    return shared;
}

TEST(CellPictures, OnlyAFlatUpTriangleMeetsItsRightNeighbourOnGrey)
{
    std::map<int, Picture> cells = ReadCells();
    for (int down : DownPictures) {
        auto shared = SharedPixels(cells[111], cells[down], 15, 0);
        EXPECT_FALSE(shared.empty()) << down;
        for (auto [x, y] : shared) {
            EXPECT_EQ(cells[111].At(x, y), "grey") << "111 at " << x << ", " << y;
            EXPECT_EQ(cells[down].At(x - 15, y), "grey") << down << " at " << x - 15 << ", " << y;
        }
    }
    EXPECT_EQ(SharedPixels(cells[111], cells[106], 15, 0).size(), 1u);
}

TEST(CellPictures, NoOtherNeighboursShareAPixel)
{
    std::map<int, Picture> cells = ReadCells();
    for (int up : UpPictures) {
        for (int down : DownPictures) {
            if (up != 111) {
                EXPECT_TRUE(SharedPixels(cells[up], cells[down], 15, 0).empty()) << up << ", " << down;
            }
            EXPECT_TRUE(SharedPixels(cells[down], cells[up], 15, 0).empty()) << down << ", " << up;
        }
    }
    for (const auto& [first, firstPicture] : cells) {
        for (const auto& [second, secondPicture] : cells) {
            EXPECT_TRUE(SharedPixels(firstPicture, secondPicture, 30, 0).empty()) << first << ", " << second;
            for (int dx = -15; dx <= 15; dx += 15)
                EXPECT_TRUE(SharedPixels(firstPicture, secondPicture, dx, 26).empty()) << first << ", " << second;
        }
    }
}

// Row -> runs of (colour, first x, last x); every other pixel is transparent.
using PixelTable = std::map<int, std::vector<std::tuple<std::string, int, int>>>;

void ExpectTable(const std::string& name, const PixelTable& table)
{
    Picture picture = ReadPicture(name);
    ASSERT_EQ(picture.size, 32);
    std::vector<std::string> expected(32 * 32, "transparent");
    for (const auto& [y, runs] : table)
        for (const auto& [colour, first, last] : runs)
            for (int x = first; x <= last; ++x)
                expected[static_cast<std::size_t>(y * 32 + x)] = colour;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(picture.At(x, y), expected[static_cast<std::size_t>(y * 32 + x)])
                << name << " pixel (" << x << ", " << y << ")";
}

TEST(IconPictures, MineMatchesItsTable)
{
    ExpectTable("mine", {
                            {0, {{"black", 5, 5}}},
                            {1, {{"black", 1, 1}, {"black", 5, 5}, {"black", 9, 9}}},
                            {2, {{"black", 2, 8}}},
                            {3, {{"black", 3, 3}, {"white", 4, 4}, {"silver", 5, 5}, {"black", 6, 7}}},
                            {4, {{"black", 2, 2}, {"white", 3, 3}, {"black", 4, 8}}},
                            {5, {{"black", 0, 2}, {"silver", 3, 3}, {"black", 4, 10}}},
                            {6, {{"black", 2, 8}}},
                            {7, {{"black", 3, 7}}},
                            {8, {{"black", 2, 8}}},
                            {9, {{"black", 1, 1}, {"black", 5, 5}, {"black", 9, 9}}},
                            {10, {{"black", 5, 5}}},
                        });
}

TEST(IconPictures, FlagMatchesItsTable)
{
    PixelTable flag = {{0, {{"white", 4, 4}}}};
    for (int y = 1; y <= 4; ++y)
        flag[y] = {{"black", 4, 4}, {"red", 5, 9}};
    for (int y = 5; y <= 7; ++y)
        flag[y] = {{"black", 4, 4}};
    flag[8] = {{"grey", 3, 3}, {"black", 4, 4}, {"grey", 5, 5}};
    flag[9] = {{"grey", 2, 2}, {"black", 3, 5}, {"grey", 6, 6}};
    flag[10] = {{"grey", 0, 0}, {"black", 1, 7}, {"grey", 8, 8}};
    ExpectTable("flag", flag);
}

TEST(IconPictures, ButtonFaceIsARaisedSquareWithASmile)
{
    Picture face = ReadPicture("new_game_button");
    ASSERT_EQ(face.size, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(face.Opaque(x, y), x <= 28 && y <= 28) << x << ", " << y;
    for (int i = 0; i <= 28; ++i) {
        EXPECT_EQ(face.At(i, 0), "black") << i;
        EXPECT_EQ(face.At(0, i), "black") << i;
        if (i >= 2 && i <= 27) {
            EXPECT_EQ(face.At(i, 1), "white") << i;
        }
        if (i >= 2 && i <= 27) {
            EXPECT_EQ(face.At(1, i), "white") << i;
        }
        if (i >= 3) {
            EXPECT_EQ(face.At(28, i), "grey") << i;
        }
        if (i >= 3) {
            EXPECT_EQ(face.At(i, 28), "grey") << i;
        }
    }
    EXPECT_EQ(face.At(28, 1), "olive");
    EXPECT_EQ(face.At(1, 28), "olive");
    EXPECT_EQ(face.At(4, 14), "silver");
    for (auto [x, y] : {std::pair{5, 14}, {24, 15}, {14, 5}, {15, 24}})
        EXPECT_EQ(face.At(x, y), "black");
    EXPECT_EQ(face.At(14, 10), "yellow");
    for (int eye : {11, 18}) {
        for (auto [dx, dy] : {std::pair{0, -1}, {-1, 0}, {0, 0}, {1, 0}, {0, 1}})
            EXPECT_EQ(face.At(eye + dx, 13 + dy), "black") << eye;
    }
    for (int y = 13; y <= 15; ++y) {
        EXPECT_EQ(face.At(13, y), "silver");
        EXPECT_EQ(face.At(16, y), "silver");
    }
    EXPECT_EQ(face.At(9, 17), "black");
    EXPECT_EQ(face.At(20, 17), "black");
    EXPECT_EQ(RowColours(face, 20, 13, 16), Repeat("black", 4));
}

TEST(IconPictures, ApplicationIconIsAFramedBoard)
{
    Picture large = ReadPicture("application_32");
    ASSERT_EQ(large.size, 32);
    for (int x = 2; x <= 29; ++x) {
        EXPECT_EQ(large.At(x, 2), "aqua");
        EXPECT_EQ(large.At(x, 26), "aqua");
    }
    for (int y = 2; y <= 26; ++y) {
        EXPECT_EQ(large.At(2, y), "aqua");
        EXPECT_EQ(large.At(29, y), "aqua");
        EXPECT_FALSE(large.Opaque(1, y) || large.Opaque(30, y));
    }
    EXPECT_EQ(RowColours(large, 14, 3, 28), Repeat("black", 26));
    EXPECT_EQ(large.At(14, 10), "red");

    Picture small = ReadPicture("application_16");
    ASSERT_EQ(small.size, 16);
    EXPECT_EQ(RowColours(small, 1, 0, 15), Repeat("black", 16));
    EXPECT_EQ(RowColours(small, 12, 0, 15), Repeat("black", 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (small.At(x, y) == "red") {
                EXPECT_TRUE(x >= 9 && x <= 13 && y >= 6 && y <= 11) << x << ", " << y;
            }
    EXPECT_EQ(RowColours(small, 8, 9, 13), Repeat("red", 5));
}

}  // namespace
