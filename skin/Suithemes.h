// Styles of the skinned controls and the built-in theme table.
#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QString>

#include <array>

namespace Sui {
Q_NAMESPACE

// The look of a skinned control. One byte; the order is fixed.
enum TsuiUIStyle : quint8 { FromThemeFile, MacOS, WinXP, DeepBlue, Protein, BlueGlass };
Q_ENUM_NS(TsuiUIStyle)

}  // namespace Sui

// Controls and windows use the style names unqualified (Protein, DeepBlue, ...).
using Sui::TsuiUIStyle;
using enum Sui::TsuiUIStyle;

// A 24-bit colour written 0xBBGGRR (red in the low byte).
using TColor = quint32;

// The transparent colour of skin bitmaps.
inline constexpr TColor kSuiTransparentColor = 0xFF00FF;

QColor ToQColor(TColor c);
TColor ToTColor(QRgb rgb);
TColor ToTColor(const QColor& c);

// Element numbers of the built-in theme table (1..SUI_THEME_ELEMENT_COUNT).
enum SuiThemeElement : int {
    SUI_THEME_BUTTON_STRIP = 1,                 // picture, 3 pieces
    SUI_THEME_BUTTON_TRANSPARENT = 2,           // boolean
    SUI_THEME_CHECKBOX_PICTURE = 3,             // picture
    SUI_THEME_RADIOBUTTON_PICTURE = 4,          // picture
    SUI_THEME_TITLE_BUTTON_STRIP = 5,           // picture, 18 pieces
    SUI_THEME_TITLE_BUTTON_TRANSPARENT = 6,     // boolean
    SUI_THEME_TITLE_LEFT_BUTTON_OFFSET = 7,     // integer
    SUI_THEME_TITLE_RIGHT_BUTTON_OFFSET = 8,    // integer
    SUI_THEME_TITLE_BUTTON_TOP = 9,             // integer
    SUI_THEME_TITLE_LEFT_PICTURE = 10,          // picture
    SUI_THEME_TITLE_CLIENT_PICTURE = 11,        // picture
    SUI_THEME_TITLE_RIGHT_PICTURE = 12,         // picture
    SUI_THEME_FORM_MIN_WIDTH = 13,              // integer
    SUI_THEME_ROUND_CORNER_SIZE = 14,           // integer
    SUI_THEME_FORM_COLOR = 15,                  // colour
    SUI_THEME_FORM_BORDER_COLOR = 16,           // colour
    SUI_THEME_FORM_BORDER_WIDTH = 17,           // integer
    SUI_THEME_MENU_SELECTED_BORDER_COLOR = 18,  // colour
    SUI_THEME_MENU_SELECTED_COLOR = 19,         // colour
    SUI_THEME_MENU_SELECTED_FONT_COLOR = 20,    // colour
    SUI_THEME_MENU_BACKGROUND_COLOR = 21,       // colour
    SUI_THEME_MENU_FONT_COLOR = 22,             // colour
    SUI_THEME_MENU_LEFTBAR_COLOR = 23,          // colour
    SUI_THEME_PROGRESSBAR_PICTURE = 24,         // picture
    SUI_THEME_CONTROL_BORDER_COLOR = 25,        // colour
    SUI_THEME_PAGE_COLOR = 26,                  // colour
    SUI_THEME_GROUPBOX_FONT_COLOR = 27,         // colour
    SUI_THEME_TRACKBAR_BAR = 28,                // picture
    SUI_THEME_TRACKBAR_SLIDER = 29,             // picture
    SUI_THEME_TRACKBAR_SLIDER_V = 30,           // picture
    SUI_THEME_SCROLLBAR_COLOR = 31,             // colour
    SUI_THEME_SCROLLBAR_BUTTON = 32,            // picture
    SUI_THEME_SCROLLBAR_SLIDER = 33,            // picture
    SUI_THEME_CHECKLIST_PICTURE = 34,           // picture
    SUI_THEME_TOOLBAR_BORDER_COLOR = 35,        // colour
    SUI_THEME_TOOLBAR_DOWN_COLOR = 36,          // colour
    SUI_THEME_TOOLBAR_OVER_COLOR = 37,          // colour
    SUI_THEME_TAB_SCROLL_BUTTON_STRIP = 38,     // picture, 4 pieces
    SUI_THEME_TAB_STRIP = 39,                   // picture, 2 pieces
    SUI_THEME_TAB_LINE = 40,                    // picture
    SUI_THEME_SIDEBAR_PICTURE = 41,             // picture
    SUI_THEME_SIDEBAR_BUTTON = 42,              // picture
    SUI_THEME_RESERVED_PICTURE_1 = 43,          // picture, empty
    SUI_THEME_RESERVED_COLOR_1 = 44,            // colour
    SUI_THEME_RESERVED_PICTURE_2 = 45,          // picture, empty
    SUI_THEME_RESERVED_PICTURE_3 = 46,          // picture, empty
    SUI_THEME_RESERVED_COLOR_2 = 47,            // colour
    SUI_THEME_RESERVED_INT = 48,                // integer
    // Title bar, frame and menus.
    SUI_THEME_TITLE_FONT_COLOR = 49,         // colour of the caption while the window is active
    SUI_THEME_TITLE_CAPTION_TOP = 50,        // integer, caption's y below the button top
    SUI_THEME_FORM_BACKGROUND_PICTURE = 51,  // picture, 8 x 8 pattern; none: filled with the form colour
    SUI_THEME_MENU_ITEM_HEIGHT = 52,         // integer
    SUI_THEME_MENU_SEPARATOR_HEIGHT = 53,    // integer
    SUI_THEME_MENU_SEPARATOR_COLOR = 54,     // colour
    SUI_THEME_MENU_ITEM_PICTURE = 55,        // picture stretched behind items; none: drawn in colours
    SUI_THEME_MENU_SELECTED_PICTURE = 56,    // picture stretched behind the selected item
    SUI_THEME_MENU_FIXED_HEIGHTS = 57,       // boolean, item and separator heights cannot be changed
    // Button and combo box
    SUI_THEME_BUTTON_FOCUS_BOLD = 58,      // boolean: focus shown by a bold caption, no frame
    SUI_THEME_COMBOBOX_BUTTON = 59,        // picture: the drop-down button's face, none for a plain one
    SUI_THEME_COMBOBOX_BUTTON_ARROW = 60,  // boolean: that face carries its own arrow
    // Tab control
    SUI_THEME_TAB_PAGE_AREA_COLOR = 61,  // colour: the page area under the tab row
};

inline constexpr int SUI_THEME_ELEMENT_COUNT = 61;

// Kind of each element's value.
enum SuiItemKind : int { SUI_KIND_INT = 0, SUI_KIND_COLOR = 1, SUI_KIND_PICTURE = 2, SUI_KIND_BOOL = 3 };

// SUI_ITEM_TYPE[element - 1] is the kind of that element.
extern const std::array<int, SUI_THEME_ELEMENT_COUNT> SUI_ITEM_TYPE;

// The resource name of a picture element for a built-in style; empty when the
// element is not a picture, has no picture, or the style is FromThemeFile.
QString GetInsideThemePictureName(TsuiUIStyle style, int element);

// A bitmap resource by its name ("PROTEIN_BUTTON", "SpinUp"); a null image when missing. Decoded once
// and shared (SkinPicture); above a device pixel ratio of 1 the twice-size picture when there is one.
QImage LoadSkinBitmap(const QString& name, qreal devicePixelRatio = 1.0);

// count 0: dest gets the whole picture. count n > 0: dest gets piece index (1-based) of n.
// An element that is not a picture leaves dest as it is with count 0 and empties it with n > 0.
void GetInsideThemeBitmap(TsuiUIStyle style, int element, QImage* dest, int count = 0, int index = 0,
                          qreal devicePixelRatio = 1.0);
TColor GetInsideThemeColor(TsuiUIStyle style, int element);  // 0 when not a colour
int GetInsideThemeInt(TsuiUIStyle style, int element);       // -1 when not an integer
bool GetInsideThemeBool(TsuiUIStyle style, int element);     // false when not a boolean

// A face's state, in the order button and title-button strips hold their pieces.
enum class SuiFaceState : int { Normal, MouseOn, MouseDown };

// True for the five styles the table has a column for; false for FromThemeFile.
bool IsBuiltInStyle(TsuiUIStyle style);
