#include "skin/Suipopupmenu.h"
#include "support/QtApp.h"

#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QColor Pixel(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

// The window menu's items on a plain menu.
struct WindowMenuItems {
    QAction* minimize;
    QAction* maximize;
    QAction* separator;
    QAction* close;
};

WindowMenuItems AddWindowMenuItems(QMenu& menu)
{
    WindowMenuItems items{};
    items.minimize = menu.addAction(QStringLiteral("Mi&nimize"));
    items.maximize = menu.addAction(QStringLiteral("Ma&ximize/Restore"));
    items.separator = menu.addSeparator();
    items.close = menu.addAction(QStringLiteral("&Close"));
    return items;
}

TEST(PopupMenu, ProteinItemsSeparatorAndWidth)
{
    EnsureQtApp();
    TsuiPopupMenu menu;
    menu.setUIStyle(Protein);
    const WindowMenuItems items = AddWindowMenuItems(menu);

    EXPECT_EQ(menu.actionGeometry(items.minimize).height(), 21);
    EXPECT_EQ(menu.actionGeometry(items.maximize).height(), 21);
    EXPECT_EQ(menu.actionGeometry(items.separator).height(), 5);
    EXPECT_EQ(menu.actionGeometry(items.close).height(), 21);

    // Every item is as wide as the widest caption + side bar 26 + 40; a caption is measured as
    // written, its "&" included.
    const QFontMetrics fm(menu.Look().font);
    const int widest = qMax(fm.horizontalAdvance(QStringLiteral("Mi&nimize")),
                            qMax(fm.horizontalAdvance(QStringLiteral("Ma&ximize/Restore")),
                                 fm.horizontalAdvance(QStringLiteral("&Close"))));
    EXPECT_GT(widest, fm.horizontalAdvance(QStringLiteral("Maximize/Restore")));
    EXPECT_EQ(menu.actionGeometry(items.close).width(), widest + 66);
    EXPECT_EQ(menu.actionGeometry(items.minimize).topLeft(), QPoint(3, 3));
    EXPECT_EQ(menu.sizeHint(), QSize(widest + 66 + 6, 3 * 21 + 5 + 6));
}

struct StyleValues {
    TsuiUIStyle style;
    int itemHeight;
    int separatorHeight;
    TColor separatorColor;
    TColor selected;
    TColor selectedFont;
    TColor background;
    TColor bar;
};

TEST(PopupMenu, StyleSetsHeightsAndColours)
{
    EnsureQtApp();
    const StyleValues table[] = {
        {MacOS, 20, 12, 0x000000, 0xC47339, 0xFFFFFF, 0x000000, 0x000000},
        {WinXP, 21, 5, 0x848284, 0xEFD3C6, 0x000000, 0xFFFFFF, 0xCED3D6},
        {DeepBlue, 21, 5, 0x848284, 0xA04A44, 0xFFFFFF, 0xFFFFFF, 0xCED3D6},
        {Protein, 21, 5, 0x848284, 0xC4302D, 0xFFFFFF, 0xFFFFFF, 0xCED3D6},
        {BlueGlass, 21, 5, 0x848284, 0xEC5E5E, 0xFFFFFF, 0xE7E7E7, 0xCED3D6},
    };
    for (const StyleValues& v : table) {
        SCOPED_TRACE(int(v.style));
        TsuiPopupMenu menu;
        menu.setUIStyle(v.style);
        EXPECT_EQ(menu.MenuItemHeight(), v.itemHeight);
        EXPECT_EQ(menu.SeparatorHeight(), v.separatorHeight);
        EXPECT_EQ(menu.BarWidth(), 26);
        EXPECT_EQ(menu.SeparatorColor(), v.separatorColor);
        EXPECT_EQ(menu.SelectedColor(), v.selected);
        EXPECT_EQ(menu.SelectedFontColor(), v.selectedFont);
        EXPECT_EQ(menu.Color(), v.background);
        EXPECT_EQ(menu.BarColor(), v.bar);
        EXPECT_EQ(menu.BarToColor(), v.bar);
        EXPECT_EQ(menu.FontColor(), 0x000000u);
    }
}

TEST(PopupMenu, HeightIsFixedWhileMacOS)
{
    EnsureQtApp();
    TsuiPopupMenu menu;
    menu.setUIStyle(MacOS);
    menu.SetHeight(30);
    menu.SetSeparatorHeight(9);
    EXPECT_EQ(menu.MenuItemHeight(), 20);
    EXPECT_EQ(menu.SeparatorHeight(), 12);
    menu.setUIStyle(Protein);
    EXPECT_EQ(menu.MenuItemHeight(), 21);
    menu.SetHeight(30);
    QAction* item = menu.addAction(QStringLiteral("Item"));
    EXPECT_EQ(menu.actionGeometry(item).height(), 30);
}

TEST(PopupMenu, TallCaptionMakesTallItem)
{
    EnsureQtApp();
    TsuiPopupMenu menu;
    menu.setUIStyle(Protein);
    menu.setUseSystemFont(false);
    menu.setFontSize(28);
    QAction* item = menu.addAction(QStringLiteral("Big"));
    const int textHeight = QFontMetrics(menu.Look().font).height();
    ASSERT_GT(textHeight, 21);
    EXPECT_EQ(menu.actionGeometry(item).height(), textHeight);
}

TEST(PopupMenu, ShortCutWidensTheItem)
{
    EnsureQtApp();
    TsuiPopupMenu menu;
    menu.setUIStyle(Protein);
    QAction* plain = menu.addAction(QStringLiteral("Open"));
    const int without = menu.actionGeometry(plain).width();
    QAction* withKey = menu.addAction(QStringLiteral("Open"));
    withKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    withKey->setShortcutVisibleInContextMenu(true);
    EXPECT_GT(menu.actionGeometry(withKey).width(), without);
}

TEST(PopupMenu, ProteinSeparatorAndSideBarPixels)
{
    EnsureQtApp();
    TsuiPopupMenu menu;
    menu.setUIStyle(Protein);
    const WindowMenuItems items = AddWindowMenuItems(menu);
    menu.resize(menu.sizeHint());
    const QImage shot = menu.grab().toImage();
    const QRect sep = menu.actionGeometry(items.separator);
    const int right = sep.x() + sep.width();
    const QColor line = ToQColor(0x848284);
    const QColor bar = ToQColor(0xCED3D6);
    // The line runs from 30 pixels right of the item's left edge to 2 short of its right edge.
    EXPECT_EQ(Pixel(shot, sep.x() + 29, sep.y() + 2), Qt::white);
    EXPECT_EQ(Pixel(shot, sep.x() + 30, sep.y() + 2), line);
    EXPECT_EQ(Pixel(shot, right - 3, sep.y() + 2), line);
    EXPECT_EQ(Pixel(shot, right - 2, sep.y() + 2), Qt::white);
    EXPECT_EQ(Pixel(shot, sep.x() + 40, sep.y() + 1), Qt::white);
    EXPECT_EQ(Pixel(shot, sep.x() + 40, sep.y() + 3), Qt::white);
    // Side bar on the left of every item.
    const QRect close = menu.actionGeometry(items.close);
    EXPECT_EQ(Pixel(shot, close.x(), close.y() + 1), bar);
    EXPECT_EQ(Pixel(shot, close.x() + 25, close.y() + 1), bar);
    EXPECT_EQ(Pixel(shot, close.x() + 26, close.y() + 1), Qt::white);
}

struct DrawnItem {
    bool enabled;
    bool selected;
    TColor background;  // at a spot left of the text, right of the side bar
    TColor text;        // the colour the caption is drawn in
};

TEST(PopupMenu, SelectedAndDisabledItems)
{
    EnsureQtApp();
    TsuiPopupMenu menu;
    menu.setUIStyle(Protein);
    const SuiMenuLook look = menu.Look();
    const DrawnItem table[] = {
        {true, false, 0xFFFFFF, 0x000000},
        {true, true, 0xC4302D, 0xFFFFFF},
        // A disabled item stays grey on the normal background under the mouse.
        {false, true, 0xFFFFFF, 0x808080},
        {false, false, 0xFFFFFF, 0x808080},
    };
    for (const DrawnItem& t : table) {
        SCOPED_TRACE(testing::Message() << t.enabled << t.selected);
        QImage img(120, 21, QImage::Format_RGB32);
        img.fill(Qt::magenta);
        SuiMenuItem item;
        item.caption = QStringLiteral("MMMM");
        item.enabled = t.enabled;
        item.selected = t.selected;
        {
            QPainter p(&img);
            DrawMenuItem(p, img.rect(), look, item);
        }
        EXPECT_EQ(Pixel(img, 28, 2), ToQColor(t.background));
        bool hasText = false;
        for (int y = 0; y < 21 && !hasText; ++y)
            for (int x = 30; x < 80 && !hasText; ++x)
                hasText = Pixel(img, x, y) == ToQColor(t.text);
        EXPECT_TRUE(hasText);
        if (t.enabled && t.selected) {
            EXPECT_EQ(Pixel(img, 0, 0), ToQColor(0xC4302D));
            EXPECT_EQ(Pixel(img, 5, 5), ToQColor(0xC4302D));
        } else {
            EXPECT_EQ(Pixel(img, 5, 5), ToQColor(0xCED3D6));
        }
    }
}

TEST(PopupMenu, CheckedItemShowsCheckPicture)
{
    EnsureQtApp();
    ASSERT_FALSE(MenuCheckedPicture().isNull());
    TsuiPopupMenu menu;
    menu.setUIStyle(Protein);
    SuiMenuItem item;
    item.caption = QStringLiteral("Check");
    item.checked = true;
    QImage plain(120, 21, QImage::Format_RGB32);
    QImage checked(120, 21, QImage::Format_RGB32);
    {
        QPainter p(&checked);
        DrawMenuItem(p, checked.rect(), menu.Look(), item);
        item.checked = false;
        QPainter q(&plain);
        DrawMenuItem(q, plain.rect(), menu.Look(), item);
    }
    // The picture lies at (4, 3), 16 x 16; nothing else changes.
    int changed = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 120; ++x)
            if (plain.pixel(x, y) != checked.pixel(x, y)) {
                ++changed;
                EXPECT_TRUE(QRect(4, 3, 16, 16).contains(x, y)) << x << "," << y;
            }
    EXPECT_GT(changed, 0);
}

TEST(PopupMenu, OwnerDrawAlwaysOnAndFlatBorder)
{
    EnsureQtApp();
    TsuiPopupMenu menu;
    EXPECT_TRUE(menu.property("OwnerDraw").toBool());
    menu.setUIStyle(Protein);
    menu.setFlatMenu(true);
    menu.addAction(QStringLiteral("Item"));
    menu.resize(menu.sizeHint());
    const QImage shot = menu.grab().toImage();
    const int w = shot.width();
    const int h = shot.height();
    const QColor form = ToQColor(0xFBFBFB);
    EXPECT_EQ(Pixel(shot, 5, 0), form);           // top row
    EXPECT_EQ(Pixel(shot, w - 1, 5), form);       // right column
    EXPECT_EQ(Pixel(shot, 5, h - 1), form);       // bottom row
    EXPECT_EQ(Pixel(shot, 0, 5), Qt::black);      // black frame, left
    EXPECT_EQ(Pixel(shot, 5, 1), Qt::black);      // black frame, one row below the top
    EXPECT_EQ(Pixel(shot, w - 2, 5), Qt::black);  // black frame, right
    EXPECT_EQ(Pixel(shot, 1, 5), Qt::white);      // white frame inside it
}

}  // namespace
