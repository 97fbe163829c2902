#pragma once
// Bakes a TrueType font into the game's bitmap-font folder: "/Main.dat" (the
// character list, one byte per glyph in mask order), "/Main.dds" (the glyph
// picture: white, coverage in alpha) and "/Mask.dat" (an N x N byte map laid
// over the picture in which 0xFF separates glyph cells).
#include <cstdint>
#include <string>
#include <vector>

class DataTree;

struct FontCharacter
{
    uint8_t code;         // byte the game prints (and stores in the character list)
    uint32_t codepoint;   // Unicode character drawn for it
};

struct FontBakeSettings
{
    std::string ttfPath;
    int cellHeight = 32;                     // H: pixel rows of every glyph cell
    float pixelHeight = 0;                   // font size in pixels (ascent - descent); 0 = cellHeight
    int padding = 1;                         // blank columns on each side of a glyph inside its cell
    std::vector<FontCharacter> characters;   // at most 255, distinct, no code 0
};

struct BakedGlyph
{
    uint8_t code;
    int column;   // first mask column of the cell
    int row;      // first mask row of the cell
    int width;    // cell width in columns (the run length in the mask)
};

struct BakedFont
{
    int size = 0;                     // N: mask and picture are N x N
    int cellHeight = 0;               // H
    std::string characters;           // "/Main.dat" bytes
    std::vector<uint8_t> mask;        // N x N, "/Mask.dat"
    std::vector<uint8_t> bgra;        // N x N x 4, B, G, R, A, top row first
    std::vector<BakedGlyph> glyphs;   // in character-list (and mask) order
};

// Printable ASCII, space to tilde, each drawn as itself.
std::vector<FontCharacter> AsciiFontCharacters();

// Rasterises the characters into cells of height H packed row by row into the
// smallest power-of-two square (64 to 1024) that holds them. Row 0 and column
// 0 of the mask are separators, glyph rows start at 1 and every H + 1 rows,
// glyphs of one row are one separator column apart and the first glyph of
// every row starts at column 1. False with *error on an unreadable font, a
// character missing from it, a bad character list or a font that does not fit.
bool BakeFont(const FontBakeSettings& settings, BakedFont& out, std::string* error = nullptr);

// Adds folder + "/Main.dat", "/Main.dds" and "/Mask.dat" to the tree.
void AddFontFolder(DataTree& tree, const std::string& folder, const BakedFont& font);
