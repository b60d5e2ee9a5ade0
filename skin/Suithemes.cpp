#include "skin/Suithemes.h"

#include "skin/SkinPictures.h"
#include "skin/Suipublic.h"

namespace {

// One cell of the built-in table: a number (integer, colour or boolean 0/1) or a
// picture's resource name.
struct ThemeValue {
    int number = 0;
    const char* picture = nullptr;
};

constexpr ThemeValue N(int n) { return {n, nullptr}; }
constexpr ThemeValue P(const char* name) { return {0, name}; }
constexpr ThemeValue kNoPicture = {0, ""};

constexpr int kStyleCount = 5;  // MacOS .. BlueGlass

// Rows are elements 1..SUI_THEME_ELEMENT_COUNT, columns the styles MacOS, WinXP, DeepBlue, Protein, BlueGlass.
// Elements that serve controls this program does not have carry no picture.
constexpr ThemeValue kInsideTheme[SUI_THEME_ELEMENT_COUNT][kStyleCount] = {
    /*  1 button strip */
    {P("MACOS_BUTTON"), P("WINXP_BUTTON"), P("DEEPBLUE_BUTTON"), P("PROTEIN_BUTTON"), P("BLUEGLASS_BUTTON")},
    /*  2 button transparent */ {N(1), N(0), N(0), N(0), N(1)},
    /*  3 check box */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /*  4 radio button */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /*  5 title-button strip */
    {P("MACOS_TITLEBTN"), P("WINXP_TITLEBTN"), P("DEEPBLUE_TITLEBTN"), P("PROTEIN_TITLEBTN"), P("BLUEGLASS_TITLEBTN")},
    /*  6 title-button transparent */ {N(0), N(0), N(0), N(1), N(1)},
    /*  7 title left button offset */ {N(3), N(2), N(0), N(0), N(4)},
    /*  8 title right button offset */ {N(-2), N(-2), N(0), N(0), N(-3)},
    /*  9 title button top */ {N(4), N(5), N(2), N(2), N(6)},
    /* 10 title left picture */
    {P("MACOS_TITLE_LEFT"), P("WINXP_TITLE_LEFT"), P("DEEPBLUE_TITLE_LEFT"), P("PROTEIN_TITLE_LEFT"),
     P("BLUEGLASS_TITLE_LEFT")},
    /* 11 title middle picture */
    {P("MACOS_TITLE_CLIENT"), P("WINXP_TITLE_CLIENT"), P("DEEPBLUE_TITLE_CLIENT"), P("PROTEIN_TITLE_CLIENT"),
     P("BLUEGLASS_TITLE_CLIENT")},
    /* 12 title right picture */
    {P("MACOS_TITLE_RIGHT"), P("WINXP_TITLE_RIGHT"), P("DEEPBLUE_TITLE_RIGHT"), P("PROTEIN_TITLE_RIGHT"),
     P("BLUEGLASS_TITLE_RIGHT")},
    /* 13 form minimum width */ {N(130), N(150), N(130), N(130), N(270)},
    /* 14 round corner size */ {N(0), N(13), N(0), N(0), N(11)},
    /* 15 form colour */ {N(0xE7E7E7), N(0xDEEBEF), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)},
    /* 16 form border colour */ {N(0x7F7F7F), N(0xC82C00), N(0x000000), N(0x000000), N(0x000000)},
    /* 17 form border width */ {N(1), N(3), N(1), N(1), N(1)},
    /* 18 menu selected border */ {N(0xC47339), N(0xC66931), N(0xA04A44), N(0xC4302D), N(0xEC5E5E)},
    /* 19 menu selected fill */ {N(0xC47339), N(0xEFD3C6), N(0xA04A44), N(0xC4302D), N(0xEC5E5E)},
    /* 20 menu selected text */ {N(0xFFFFFF), N(0x000000), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF)},
    /* 21 menu item background */ {N(0x000000), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF), N(0xE7E7E7)},
    /* 22 menu item text */ {N(0x000000), N(0x000000), N(0x000000), N(0x000000), N(0x000000)},
    /* 23 menu side bar */ {N(0x000000), N(0xCED3D6), N(0xCED3D6), N(0xCED3D6), N(0xCED3D6)},
    /* 24 progress bar */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 25 control border colour */ {N(0x7F7F7F), N(0x686868), N(0x000000), N(0x000000), N(0x000000)},
    /* 26 page colour */ {N(0xE7E7E7), N(0xDEEBEF), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)},
    /* 27 group box font colour */ {N(0x000000), N(0xCF4602), N(0x000000), N(0x000000), N(0x000000)},
    /* 28 track bar */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 29 track bar slider */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 30 vertical track bar slider */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 31 scroll bar colour */ {N(0xE7E7E7), N(0xDEEBEF), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)},
    /* 32 scroll bar buttons */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 33 scroll bar slider */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 34 check list */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 35 tool bar button border */ {N(0x7F7F7F), N(0xC66931), N(0xA04A44), N(0xC4302D), N(0xEC5E5E)},
    /* 36 tool bar button down */ {N(0xC47339), N(0xE2B598), N(0xA04A44), N(0xC4302D), N(0xEC5E5E)},
    /* 37 tool bar button over */ {N(0xE7E7E7), N(0xEFD3C6), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)},
    /* 38 tab scroll buttons */
    {P("MACOS_SCROLLBUTTON"), P("WINXP_SCROLLBUTTON"), P("MORE_SCROLLBUTTON"), P("MORE_SCROLLBUTTON"),
     P("MORE_SCROLLBUTTON")},
    /* 39 tab strip */ {P("MACOS_TAB"), P("WINXP_TAB"), P("DEEPBLUE_TAB"), P("PROTEIN_TAB"), P("BLUEGLASS_TAB")},
    /* 40 tab line */
    {P("MACOS_TAB_LINE"), P("WINXP_TAB_LINE"), P("DEEPBLUE_TAB_LINE"), P("PROTEIN_TAB_LINE"), P("BLUEGLASS_TAB_LINE")},
    /* 41 side bar */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 42 side bar buttons */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 43 */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 44 */ {N(0x000000), N(0x000000), N(0x000000), N(0x000000), N(0x000000)},
    /* 45 */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 46 */ {kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 47 */ {N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF)},
    /* 48 */ {N(0), N(0), N(0), N(0), N(0)},
    // Title bar, frame and menus.
    /* 49 title caption */ {N(0x000000), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF)},
    /* 50 caption below button top */ {N(0), N(0), N(0), N(3), N(0)},
    /* 51 form background */
    {P("MACOS_FORM_BACKGROUND"), kNoPicture, kNoPicture, P("PROTEIN_FORM_BACKGROUND"), kNoPicture},
    /* 52 menu item height */ {N(20), N(21), N(21), N(21), N(21)},
    /* 53 menu separator height */ {N(12), N(5), N(5), N(5), N(5)},
    /* 54 menu separator colour */ {N(0x000000), N(0x848284), N(0x848284), N(0x848284), N(0x848284)},
    /* 55 menu item picture */ {P("MACOS_MENU_BAR"), kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 56 menu selected picture */ {P("MACOS_MENU_SELECT"), kNoPicture, kNoPicture, kNoPicture, kNoPicture},
    /* 57 menu heights fixed */ {N(1), N(0), N(0), N(0), N(0)},
    // Button and combo box
    /* 58 button focus bold */ {N(1), N(0), N(0), N(0), N(1)},
    /* 59 combo box button */
    {P("MACOS_COMBOBOX_BUTTON"), P("WINXP_COMBOBOX_BUTTON"), kNoPicture, kNoPicture, kNoPicture},
    /* 60 combo box button arrow */ {N(0), N(1), N(0), N(0), N(0)},
    // Tab control
    /* 61 page area: white for WinXP, else the page colour */
    {N(0xE7E7E7), N(0xFFFFFF), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)},
};

bool IsElement(int element) { return element >= 1 && element <= SUI_THEME_ELEMENT_COUNT; }

// The kind and value of an element for a style; FromThemeFile (or anything outside
// the table) reads as the integer -1.
struct Lookup {
    int kind;
    ThemeValue value;
};

Lookup Find(TsuiUIStyle style, int element)
{
    if (!IsBuiltInStyle(style) || !IsElement(element)) return {SUI_KIND_INT, N(-1)};
    return {SUI_ITEM_TYPE[element - 1], kInsideTheme[element - 1][style - MacOS]};
}

}  // namespace

const int SUI_ITEM_TYPE[SUI_THEME_ELEMENT_COUNT] = {
    2, 3, 2, 2, 2, 3, 0, 0, 0, 2,  // 1..10
    2, 2, 0, 0, 1, 1, 0, 1, 1, 1,  // 11..20
    1, 1, 1, 2, 1, 1, 1, 2, 2, 2,  // 21..30
    1, 2, 2, 2, 1, 1, 1, 2, 2, 2,  // 31..40
    2, 2, 2, 1, 2, 2, 1, 0,        // 41..48
    1, 0, 2, 0, 0, 1, 2, 2, 3,     // 49..57: title bar, frame and menus
    3, 2, 3,                       // 58..60: button and combo box
    1,                             // 61: tab control
};

QColor ToQColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

TColor ToTColor(QRgb rgb) { return TColor(qRed(rgb)) | TColor(qGreen(rgb)) << 8 | TColor(qBlue(rgb)) << 16; }

TColor ToTColor(const QColor& c) { return ToTColor(c.rgb()); }

bool IsBuiltInStyle(TsuiUIStyle style) { return style >= MacOS && style <= BlueGlass; }

QString GetInsideThemePictureName(TsuiUIStyle style, int element)
{
    const Lookup found = Find(style, element);
    if (found.kind != SUI_KIND_PICTURE) return {};
    return QString::fromLatin1(found.value.picture);
}

QImage LoadSkinBitmap(const QString& name, qreal devicePixelRatio) { return SkinPicture(name, devicePixelRatio); }

void GetInsideThemeBitmap(TsuiUIStyle style, int element, QImage* dest, int count, int index, qreal devicePixelRatio)
{
    if (!dest) return;
    const QString name = GetInsideThemePictureName(style, element);
    if (count <= 0) {
        if (!name.isEmpty()) *dest = LoadSkinBitmap(name, devicePixelRatio);
        return;
    }
    SpitBitmap(LoadSkinBitmap(name, devicePixelRatio), dest, count, index);
}

TColor GetInsideThemeColor(TsuiUIStyle style, int element)
{
    const Lookup found = Find(style, element);
    return found.kind == SUI_KIND_COLOR ? TColor(found.value.number) : 0;
}

int GetInsideThemeInt(TsuiUIStyle style, int element)
{
    const Lookup found = Find(style, element);
    return found.kind == SUI_KIND_INT ? found.value.number : -1;
}

bool GetInsideThemeBool(TsuiUIStyle style, int element)
{
    const Lookup found = Find(style, element);
    return found.kind == SUI_KIND_BOOL && found.value.number != 0;
}
