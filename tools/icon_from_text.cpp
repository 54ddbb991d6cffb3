// icon_from_text: turns pictures kept as text into one .ico file of 16-colour images.
//
//   icon_from_text OUTPUT.ico PICTURE.txt [PICTURE.txt ...]
//
// A picture file starts with its palette legend, one entry a line ("K black"), optionally
// preceded by '#' comment lines; a blank line ends the legend. Then come the pixel rows, one
// character per pixel, as many rows as characters in a row (16 or 32). The colour "transparent"
// becomes mask bit 1 over colour black. Each file gives one image, in the order given.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct PaletteColour {
    const char* name;
    std::uint8_t red, green, blue;
};

// The standard 16-colour palette in its usual index order.
const PaletteColour StandardPalette[16] = {
    {"black", 0x00, 0x00, 0x00}, {"maroon", 0x80, 0x00, 0x00},  {"green", 0x00, 0x80, 0x00},
    {"olive", 0x80, 0x80, 0x00}, {"navy", 0x00, 0x00, 0x80},    {"purple", 0x80, 0x00, 0x80},
    {"teal", 0x00, 0x80, 0x80},  {"silver", 0xC0, 0xC0, 0xC0},  {"grey", 0x80, 0x80, 0x80},
    {"red", 0xFF, 0x00, 0x00},   {"lime", 0x00, 0xFF, 0x00},    {"yellow", 0xFF, 0xFF, 0x00},
    {"blue", 0x00, 0x00, 0xFF},  {"fuchsia", 0xFF, 0x00, 0xFF}, {"aqua", 0x00, 0xFF, 0xFF},
    {"white", 0xFF, 0xFF, 0xFF},
};

const int Transparent = -1;  // legend value of the colour "transparent"
const int Unused = -2;       // legend value of a character the legend does not name

struct Picture {
    int size = 0;             // width and height in pixels
    std::vector<int> pixels;  // palette index or Transparent, row by row from the top
};

int ColourIndex(const std::string& name)
{
    if (name == "transparent")
        return Transparent;
    for (int i = 0; i < 16; ++i)
        if (name == StandardPalette[i].name)
            return i;
    return Unused;
}

std::string Where(const std::string& path, int line)
{
    return path + ":" + std::to_string(line) + ": ";
}

bool ReadLegendEntry(const std::string& text, const std::string& where, int legend[256], std::string& error)
{
    unsigned char key = static_cast<unsigned char>(text[0]);
    if (text.size() < 3 || text[1] != ' ' || key == ' ' || key == '#') {
        error = where + "a legend line is one character, a blank and a colour name";
        return false;
    }
    int colour = ColourIndex(text.substr(2));
    if (colour == Unused) {
        error = where + "unknown colour '" + text.substr(2) + "'";
        return false;
    }
    if (legend[key] != Unused) {
        error = where + "'" + text.substr(0, 1) + "' is in the legend twice";
        return false;
    }
    legend[key] = colour;
    return true;
}

bool ReadPixelRow(const std::string& text, const std::string& where, const int legend[256], Picture& picture,
                  std::string& error)
{
    for (char c : text) {
        int colour = legend[static_cast<unsigned char>(c)];
        if (colour == Unused) {
            error = where + "'" + std::string(1, c) + "' is not in the palette legend";
            return false;
        }
        picture.pixels.push_back(colour);
    }
    return true;
}

struct Source {
    std::ifstream file;
    std::string path;
    int lineNumber = 0;
};

bool NextLine(Source& source, std::string& text)
{
    if (!std::getline(source.file, text))
        return false;
    ++source.lineNumber;
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return true;
}

bool ReadLegend(Source& source, int legend[256], std::string& error)
{
    for (int i = 0; i < 256; ++i)
        legend[i] = Unused;
    std::string text;
    while (NextLine(source, text) && !text.empty()) {
        if (text[0] != '#' && !ReadLegendEntry(text, Where(source.path, source.lineNumber), legend, error))
            return false;
    }
    return true;
}

struct Row {
    int line;
    std::size_t length;
};

// A row's length can only be judged once the number of rows is known.
bool CheckRowLengths(const Source& source, const std::vector<Row>& rows, std::string& error)
{
    if (rows.size() != 16 && rows.size() != 32) {
        error = source.path + ": " + std::to_string(rows.size()) + " pixel rows; a picture has 16 or 32";
        return false;
    }
    for (const Row& row : rows) {
        if (row.length != rows.size()) {
            error = Where(source.path, row.line) + std::to_string(row.length) + " characters, expected " +
                    std::to_string(rows.size()) + " as the picture has " + std::to_string(rows.size()) + " rows";
            return false;
        }
    }
    return true;
}

bool ReadRows(Source& source, const int legend[256], Picture& picture, std::string& error)
{
    std::vector<Row> rows;
    std::string text;
    while (NextLine(source, text) && !text.empty()) {
        if (!ReadPixelRow(text, Where(source.path, source.lineNumber), legend, picture, error))
            return false;
        rows.push_back({source.lineNumber, text.size()});
    }
    picture.size = static_cast<int>(rows.size());
    return CheckRowLengths(source, rows, error);
}

// Only blank lines may follow the blank line after the last row.
bool ReadEnd(Source& source, std::string& error)
{
    std::string text;
    while (NextLine(source, text)) {
        if (!text.empty()) {
            error = Where(source.path, source.lineNumber) + "text after the blank line that ends the picture";
            return false;
        }
    }
    return true;
}

bool ReadPicture(const std::string& path, Picture& picture, std::string& error)
{
    Source source;
    source.path = path;
    source.file.open(path);
    if (!source.file) {
        error = path + ": cannot be opened";
        return false;
    }
    int legend[256];
    return ReadLegend(source, legend, error) && ReadRows(source, legend, picture, error) && ReadEnd(source, error);
}

void PutWord(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutDword(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

// Bitmap rows are padded to whole 32-bit words.
std::uint32_t RowBytes(int size, int bitsPerPixel)
{
    return static_cast<std::uint32_t>((size * bitsPerPixel + 31) / 32 * 4);
}

std::uint32_t ImageBytes(int size)
{
    std::uint32_t bitmaps = (RowBytes(size, 4) + RowBytes(size, 1)) * static_cast<std::uint32_t>(size);
    return 40 + 16 * 4 + bitmaps;
}

void PutBitmapHeader(std::vector<std::uint8_t>& out, int size)
{
    std::uint32_t side = static_cast<std::uint32_t>(size);
    PutDword(out, 40);
    PutDword(out, side);
    PutDword(out, 2 * side);  // colour bitmap and mask, one above the other
    PutWord(out, 1);
    PutWord(out, 4);
    PutDword(out, 0);
    PutDword(out, (RowBytes(size, 4) + RowBytes(size, 1)) * side);
    for (int i = 0; i < 4; ++i)
        PutDword(out, 0);
}

void PutPalette(std::vector<std::uint8_t>& out)
{
    for (const PaletteColour& colour : StandardPalette) {
        out.push_back(colour.blue);
        out.push_back(colour.green);
        out.push_back(colour.red);
        out.push_back(0);
    }
}

// Both bitmaps are stored bottom row first.
void PutColourBitmap(std::vector<std::uint8_t>& out, const Picture& picture)
{
    for (int y = picture.size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(RowBytes(picture.size, 4), 0);
        for (int x = 0; x < picture.size; ++x) {
            int colour = picture.pixels[static_cast<std::size_t>(y * picture.size + x)];
            unsigned index = colour == Transparent ? 0u : static_cast<unsigned>(colour);
            row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

void PutMask(std::vector<std::uint8_t>& out, const Picture& picture)
{
    for (int y = picture.size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(RowBytes(picture.size, 1), 0);
        for (int x = 0; x < picture.size; ++x) {
            if (picture.pixels[static_cast<std::size_t>(y * picture.size + x)] == Transparent)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

std::vector<std::uint8_t> EncodeIcon(const std::vector<Picture>& pictures)
{
    std::vector<std::uint8_t> out;
    PutWord(out, 0);
    PutWord(out, 1);  // resource type: icon
    PutWord(out, static_cast<std::uint32_t>(pictures.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(pictures.size());
    for (const Picture& picture : pictures) {
        out.push_back(static_cast<std::uint8_t>(picture.size));
        out.push_back(static_cast<std::uint8_t>(picture.size));
        out.push_back(16);  // colours
        out.push_back(0);
        PutWord(out, 1);  // planes
        PutWord(out, 4);  // bits per pixel
        PutDword(out, ImageBytes(picture.size));
        PutDword(out, offset);
        offset += ImageBytes(picture.size);
    }
    for (const Picture& picture : pictures) {
        PutBitmapHeader(out, picture.size);
        PutPalette(out);
        PutColourBitmap(out, picture);
        PutMask(out, picture);
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: icon_from_text OUTPUT.ico PICTURE.txt [PICTURE.txt ...]\n");
        return 2;
    }
    std::vector<Picture> pictures;
    for (int i = 2; i < argc; ++i) {
        Picture picture;
        std::string error;
        if (!ReadPicture(argv[i], picture, error)) {
            std::fprintf(stderr, "icon_from_text: %s\n", error.c_str());
            return 1;
        }
        pictures.push_back(picture);
    }
    if (!WriteFile(argv[1], EncodeIcon(pictures))) {
        std::fprintf(stderr, "icon_from_text: %s: cannot be written\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
