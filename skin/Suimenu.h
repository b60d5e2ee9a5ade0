// Measuring and drawing of skinned menu items, shared by every skinned menu.
#pragma once

#include "skin/Suithemes.h"

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// The look of a menu: what its style and properties decide.
struct SuiMenuLook {
    TsuiUIStyle style = DeepBlue;
    int itemHeight = 21;
    int separatorHeight = 5;
    int barWidth = 26;
    TColor barColor = 0xD6D3CE;
    TColor barToColor = 0xD6D3CE;
    TColor color = 0xFFFFFF;
    TColor separatorColor = 0x848284;
    TColor selectedBorderColor = 0xC4302D;
    TColor selectedColor = 0xC4302D;
    TColor selectedFontColor = 0xFFFFFF;
    TColor fontColor = 0x000000;
    QFont font;
    bool rightToLeft = false;
};

// One item as it is to be measured or drawn.
struct SuiMenuItem {
    QString caption;   // "&" marks the access key; "-" is a separator
    QString shortcut;  // the short-cut text, empty when none
    QIcon image;       // the item's image, null when none
    bool separator = false;
    bool enabled = true;
    bool checked = false;
    bool isDefault = false;
    bool selected = false;
};

// Text colour of a disabled item.
inline constexpr TColor kSuiMenuDisabledFontColor = 0x808080;

// The font an item is drawn in (a default item is bold).
QFont SuiMenuItemFont(const SuiMenuLook& look, const SuiMenuItem& item);

// Width and height of an item: a separator is separatorHeight high; any other item the
// larger of itemHeight and its text height, and caption (as written, "&" included) + short cut +
// barWidth + 40 wide.
QSize MeasureMenuItem(const SuiMenuLook& look, const SuiMenuItem& item);

// Draws the item into r.
void DrawMenuItem(QPainter& canvas, const QRect& r, const SuiMenuLook& look, const SuiMenuItem& item);

// The flat border over the whole menu window w: a black frame one row below the top,
// a white frame inside it, then the form colour along the bottom row, the right column
// and the top row.
void DrawFlatMenuBorder(QPainter& canvas, const QRect& w, TColor formColor);

// The check mark of checked items without an image (16 x 16, white is transparent);
// loaded once and shared by all menus.
const QImage& MenuCheckedPicture();
