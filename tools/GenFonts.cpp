// The three bitmap fonts of the game: the menu font, the in-race display's font
// and the developer statistics overlay's font, baked from DejaVu Sans (the
// two game fonts from its condensed bold cut, which the menus' tight columns
// and right-aligned labels were laid out for).
#include <cstdio>

#include "tools/DataTree.h"
#include "tools/FontBaker.h"

namespace
{

const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kCondensedBold = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";

// The in-race display follows each rival's gap with a metre sign stored
// under this byte.
const uint8_t kMetreCode = 0xEC;

void BakeInto(DataTree& tree, const char* folder, FontBakeSettings settings)
{
    BakedFont font;
    std::string error;
    if (!BakeFont(settings, font, &error))
    {
        std::fprintf(stderr, "datagen: font %s not made: %s\n", folder, error.c_str());
        return;
    }
    AddFontFolder(tree, folder, font);
}

void GenerateFonts(DataTree& tree)
{
    // Menu text is drawn at scales 0.25 to 0.8; rows of the score list are
    // 17.5 units apart at scale 0.4, which a 40-pixel cell fits.
    FontBakeSettings menu;
    menu.ttfPath = kCondensedBold;
    menu.cellHeight = 40;
    menu.padding = 2;
    menu.characters = AsciiFontCharacters();
    BakeInto(tree, "Data/Interface/Fonts/Menu 01", menu);

    // The in-race display draws with a negative letter spacing (an eighth of
    // the widest glyph), so its cells carry wider blank margins.
    FontBakeSettings game = menu;
    game.padding = 3;
    game.characters.push_back(FontCharacter{kMetreCode, 'm'});
    BakeInto(tree, "Data/Interface/Fonts/Game 01", game);

    // Thirteen overlay lines at scale 0.525 fit its 160-unit panel.
    FontBakeSettings overlay;
    overlay.ttfPath = kSans;
    overlay.cellHeight = 22;
    overlay.padding = 1;
    overlay.characters = AsciiFontCharacters();
    BakeInto(tree, "Data/Interface/Fonts/Arial.18", overlay);
}

}   // namespace

REGISTER_GENERATOR("fonts", GenerateFonts);
