#include "skin/Suithemes.h"

#include "skin/SkinPictures.h"
#include "skin/Suipublic.h"

#include <cstddef>

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

// One row of the built-in table: the element it describes, the kind of its value, and the value for
// each of the styles MacOS, WinXP, DeepBlue, Protein, BlueGlass.
struct ThemeRow {
    int element;
    SuiItemKind kind;
    std::array<ThemeValue, kStyleCount> values;
};

// Rows are elements 1..SUI_THEME_ELEMENT_COUNT in order. Elements that serve controls this program
// does not have carry no picture.
constexpr std::array<ThemeRow, SUI_THEME_ELEMENT_COUNT> kInsideTheme = {{
    {SUI_THEME_BUTTON_STRIP,
     SUI_KIND_PICTURE,
     {{P("MACOS_BUTTON"), P("WINXP_BUTTON"), P("DEEPBLUE_BUTTON"), P("PROTEIN_BUTTON"), P("BLUEGLASS_BUTTON")}}},
    {SUI_THEME_BUTTON_TRANSPARENT, SUI_KIND_BOOL, {{N(1), N(0), N(0), N(0), N(1)}}},
    {SUI_THEME_CHECKBOX_PICTURE, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_RADIOBUTTON_PICTURE, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_TITLE_BUTTON_STRIP,
     SUI_KIND_PICTURE,
     {{P("MACOS_TITLEBTN"), P("WINXP_TITLEBTN"), P("DEEPBLUE_TITLEBTN"), P("PROTEIN_TITLEBTN"),
       P("BLUEGLASS_TITLEBTN")}}},
    {SUI_THEME_TITLE_BUTTON_TRANSPARENT, SUI_KIND_BOOL, {{N(0), N(0), N(0), N(1), N(1)}}},
    {SUI_THEME_TITLE_LEFT_BUTTON_OFFSET, SUI_KIND_INT, {{N(3), N(2), N(0), N(0), N(4)}}},
    {SUI_THEME_TITLE_RIGHT_BUTTON_OFFSET, SUI_KIND_INT, {{N(-2), N(-2), N(0), N(0), N(-3)}}},
    {SUI_THEME_TITLE_BUTTON_TOP, SUI_KIND_INT, {{N(4), N(5), N(2), N(2), N(6)}}},
    {SUI_THEME_TITLE_LEFT_PICTURE,
     SUI_KIND_PICTURE,
     {{P("MACOS_TITLE_LEFT"), P("WINXP_TITLE_LEFT"), P("DEEPBLUE_TITLE_LEFT"), P("PROTEIN_TITLE_LEFT"),
       P("BLUEGLASS_TITLE_LEFT")}}},
    {SUI_THEME_TITLE_CLIENT_PICTURE,
     SUI_KIND_PICTURE,
     {{P("MACOS_TITLE_CLIENT"), P("WINXP_TITLE_CLIENT"), P("DEEPBLUE_TITLE_CLIENT"), P("PROTEIN_TITLE_CLIENT"),
       P("BLUEGLASS_TITLE_CLIENT")}}},
    {SUI_THEME_TITLE_RIGHT_PICTURE,
     SUI_KIND_PICTURE,
     {{P("MACOS_TITLE_RIGHT"), P("WINXP_TITLE_RIGHT"), P("DEEPBLUE_TITLE_RIGHT"), P("PROTEIN_TITLE_RIGHT"),
       P("BLUEGLASS_TITLE_RIGHT")}}},
    {SUI_THEME_FORM_MIN_WIDTH, SUI_KIND_INT, {{N(130), N(150), N(130), N(130), N(270)}}},
    {SUI_THEME_ROUND_CORNER_SIZE, SUI_KIND_INT, {{N(0), N(13), N(0), N(0), N(11)}}},
    {SUI_THEME_FORM_COLOR, SUI_KIND_COLOR, {{N(0xE7E7E7), N(0xDEEBEF), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)}}},
    {SUI_THEME_FORM_BORDER_COLOR, SUI_KIND_COLOR, {{N(0x7F7F7F), N(0xC82C00), N(0x000000), N(0x000000), N(0x000000)}}},
    {SUI_THEME_FORM_BORDER_WIDTH, SUI_KIND_INT, {{N(1), N(3), N(1), N(1), N(1)}}},
    {SUI_THEME_MENU_SELECTED_BORDER_COLOR,
     SUI_KIND_COLOR,
     {{N(0xC47339), N(0xC66931), N(0xA04A44), N(0xC4302D), N(0xEC5E5E)}}},
    {SUI_THEME_MENU_SELECTED_COLOR,
     SUI_KIND_COLOR,
     {{N(0xC47339), N(0xEFD3C6), N(0xA04A44), N(0xC4302D), N(0xEC5E5E)}}},
    {SUI_THEME_MENU_SELECTED_FONT_COLOR,
     SUI_KIND_COLOR,
     {{N(0xFFFFFF), N(0x000000), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF)}}},
    {SUI_THEME_MENU_BACKGROUND_COLOR,
     SUI_KIND_COLOR,
     {{N(0x000000), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF), N(0xE7E7E7)}}},
    {SUI_THEME_MENU_FONT_COLOR, SUI_KIND_COLOR, {{N(0x000000), N(0x000000), N(0x000000), N(0x000000), N(0x000000)}}},
    {SUI_THEME_MENU_LEFTBAR_COLOR, SUI_KIND_COLOR, {{N(0x000000), N(0xCED3D6), N(0xCED3D6), N(0xCED3D6), N(0xCED3D6)}}},
    {SUI_THEME_PROGRESSBAR_PICTURE, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_CONTROL_BORDER_COLOR,
     SUI_KIND_COLOR,
     {{N(0x7F7F7F), N(0x686868), N(0x000000), N(0x000000), N(0x000000)}}},
    {SUI_THEME_PAGE_COLOR, SUI_KIND_COLOR, {{N(0xE7E7E7), N(0xDEEBEF), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)}}},
    {SUI_THEME_GROUPBOX_FONT_COLOR,
     SUI_KIND_COLOR,
     {{N(0x000000), N(0xCF4602), N(0x000000), N(0x000000), N(0x000000)}}},
    {SUI_THEME_TRACKBAR_BAR, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_TRACKBAR_SLIDER, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_TRACKBAR_SLIDER_V, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_SCROLLBAR_COLOR, SUI_KIND_COLOR, {{N(0xE7E7E7), N(0xDEEBEF), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)}}},
    {SUI_THEME_SCROLLBAR_BUTTON, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_SCROLLBAR_SLIDER, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_CHECKLIST_PICTURE, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_TOOLBAR_BORDER_COLOR,
     SUI_KIND_COLOR,
     {{N(0x7F7F7F), N(0xC66931), N(0xA04A44), N(0xC4302D), N(0xEC5E5E)}}},
    {SUI_THEME_TOOLBAR_DOWN_COLOR, SUI_KIND_COLOR, {{N(0xC47339), N(0xE2B598), N(0xA04A44), N(0xC4302D), N(0xEC5E5E)}}},
    {SUI_THEME_TOOLBAR_OVER_COLOR, SUI_KIND_COLOR, {{N(0xE7E7E7), N(0xEFD3C6), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)}}},
    {SUI_THEME_TAB_SCROLL_BUTTON_STRIP,
     SUI_KIND_PICTURE,
     {{P("MACOS_SCROLLBUTTON"), P("WINXP_SCROLLBUTTON"), P("MORE_SCROLLBUTTON"), P("MORE_SCROLLBUTTON"),
       P("MORE_SCROLLBUTTON")}}},
    {SUI_THEME_TAB_STRIP,
     SUI_KIND_PICTURE,
     {{P("MACOS_TAB"), P("WINXP_TAB"), P("DEEPBLUE_TAB"), P("PROTEIN_TAB"), P("BLUEGLASS_TAB")}}},
    {SUI_THEME_TAB_LINE,
     SUI_KIND_PICTURE,
     {{P("MACOS_TAB_LINE"), P("WINXP_TAB_LINE"), P("DEEPBLUE_TAB_LINE"), P("PROTEIN_TAB_LINE"),
       P("BLUEGLASS_TAB_LINE")}}},
    {SUI_THEME_SIDEBAR_PICTURE, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_SIDEBAR_BUTTON, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_RESERVED_PICTURE_1, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_RESERVED_COLOR_1, SUI_KIND_COLOR, {{N(0x000000), N(0x000000), N(0x000000), N(0x000000), N(0x000000)}}},
    {SUI_THEME_RESERVED_PICTURE_2, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_RESERVED_PICTURE_3, SUI_KIND_PICTURE, {{kNoPicture, kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_RESERVED_COLOR_2, SUI_KIND_COLOR, {{N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF)}}},
    {SUI_THEME_RESERVED_INT, SUI_KIND_INT, {{N(0), N(0), N(0), N(0), N(0)}}},
    // Title bar, frame and menus.
    {SUI_THEME_TITLE_FONT_COLOR, SUI_KIND_COLOR, {{N(0x000000), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF), N(0xFFFFFF)}}},
    {SUI_THEME_TITLE_CAPTION_TOP, SUI_KIND_INT, {{N(0), N(0), N(0), N(3), N(0)}}},
    {SUI_THEME_FORM_BACKGROUND_PICTURE,
     SUI_KIND_PICTURE,
     {{P("MACOS_FORM_BACKGROUND"), kNoPicture, kNoPicture, P("PROTEIN_FORM_BACKGROUND"), kNoPicture}}},
    {SUI_THEME_MENU_ITEM_HEIGHT, SUI_KIND_INT, {{N(20), N(21), N(21), N(21), N(21)}}},
    {SUI_THEME_MENU_SEPARATOR_HEIGHT, SUI_KIND_INT, {{N(12), N(5), N(5), N(5), N(5)}}},
    {SUI_THEME_MENU_SEPARATOR_COLOR,
     SUI_KIND_COLOR,
     {{N(0x000000), N(0x848284), N(0x848284), N(0x848284), N(0x848284)}}},
    {SUI_THEME_MENU_ITEM_PICTURE,
     SUI_KIND_PICTURE,
     {{P("MACOS_MENU_BAR"), kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_MENU_SELECTED_PICTURE,
     SUI_KIND_PICTURE,
     {{P("MACOS_MENU_SELECT"), kNoPicture, kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_MENU_FIXED_HEIGHTS, SUI_KIND_BOOL, {{N(1), N(0), N(0), N(0), N(0)}}},
    // Button and combo box
    {SUI_THEME_BUTTON_FOCUS_BOLD, SUI_KIND_BOOL, {{N(1), N(0), N(0), N(0), N(1)}}},
    {SUI_THEME_COMBOBOX_BUTTON,
     SUI_KIND_PICTURE,
     {{P("MACOS_COMBOBOX_BUTTON"), P("WINXP_COMBOBOX_BUTTON"), kNoPicture, kNoPicture, kNoPicture}}},
    {SUI_THEME_COMBOBOX_BUTTON_ARROW, SUI_KIND_BOOL, {{N(0), N(1), N(0), N(0), N(0)}}},
    // Tab control
    {SUI_THEME_TAB_PAGE_AREA_COLOR,
     SUI_KIND_COLOR,
     {{N(0xE7E7E7), N(0xFFFFFF), N(0xE8E8E8), N(0xFBFBFB), N(0xE7E7E7)}}},
}};

// A forgotten row leaves a zero row at the end and shifts the others; an extra one does not compile.
constexpr bool RowsInElementOrder()
{
    for (std::size_t i = 0; i < kInsideTheme.size(); ++i)
        if (kInsideTheme[i].element != int(i) + 1) return false;
    return true;
}
static_assert(RowsInElementOrder(), "one row per theme element, in element order");

// Every value is of its row's kind: a picture row holds names (empty for none), the others numbers.
constexpr bool ValuesOfTheirKind()
{
    for (const ThemeRow& row : kInsideTheme)
        for (const ThemeValue& v : row.values)
            if ((v.picture != nullptr) != (row.kind == SUI_KIND_PICTURE)) return false;
    return true;
}
static_assert(ValuesOfTheirKind(), "a picture row holds names, the others numbers");

constexpr std::array<int, SUI_THEME_ELEMENT_COUNT> KindsOf()
{
    std::array<int, SUI_THEME_ELEMENT_COUNT> kinds{};
    for (std::size_t i = 0; i < kInsideTheme.size(); ++i)
        kinds[i] = kInsideTheme[i].kind;
    return kinds;
}

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
    const ThemeRow& row = kInsideTheme[std::size_t(element - 1)];
    return {row.kind, row.values[std::size_t(style - MacOS)]};
}

}  // namespace

const std::array<int, SUI_THEME_ELEMENT_COUNT> SUI_ITEM_TYPE = KindsOf();

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
