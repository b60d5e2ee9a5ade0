// The image panel (picture modes, transparency, caption layout, auto-size) and the
// group box (frame and caption geometry, colours, style hand-down), by their pixels.
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"
#include "skin/Suigroupbox.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suipagecontrol.h"
#include "skin/Suipublic.h"
#include "support/QtApp.h"

#include <QFont>
#include <QFontMetrics>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

QRgb Pixel(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }

// Each pixel names its own position.
QImage Coded(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 8, y * 8, 0x40));
    return img;
}

QFont Font11()
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    return f;
}

// The bounding box of the pixels that differ from the background colour.
QRect Ink(const QImage& img, QRgb background)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Pixel(img, x, y) != background) box |= QRect(x, y, 1, 1);
    return box;
}

// A coloured parent for the control under test, shown.
struct Stage {
    std::unique_ptr<TsuiImagePanel> parent = std::make_unique<TsuiImagePanel>();

    Stage()
    {
        parent->setColor(0x00A000);
        parent->resize(360, 140);
        parent->setFont(Font11());
    }
    void Show()
    {
        parent->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
    }
    QImage Grab() const { return parent->grab().toImage(); }
};

}  // namespace

TEST(ImagePanel, PictureModes)
{
    EnsureQtApp();
    const QImage pic = Coded(3, 2);
    TsuiImagePanel panel;
    panel.resize(10, 7);
    panel.setColor(0x0000FF);
    panel.setPicture(pic);

    panel.setDrawStyle(TsuiImagePanel::suiTile);
    QImage img = panel.grab().toImage();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(Pixel(img, x, y), pic.pixel(x % 3, y % 2) & 0xFFFFFF) << "tile " << x << "," << y;

    // Unscaled from the top-left corner; the rest shows Color.
    panel.setDrawStyle(TsuiImagePanel::suiNormal);
    img = panel.grab().toImage();
    EXPECT_EQ(Pixel(img, 2, 1), pic.pixel(2, 1) & 0xFFFFFF);
    EXPECT_EQ(Pixel(img, 3, 0), Rgb(0x0000FF));
    EXPECT_EQ(Pixel(img, 0, 2), Rgb(0x0000FF));

    panel.setDrawStyle(TsuiImagePanel::suiStretch);
    panel.setPicture(Coded(2, 2));
    panel.resize(40, 30);
    img = panel.grab().toImage();
    EXPECT_EQ(Pixel(img, 0, 0), Coded(2, 2).pixel(0, 0) & 0xFFFFFF);
    EXPECT_EQ(Pixel(img, 39, 0), Coded(2, 2).pixel(1, 0) & 0xFFFFFF);
    EXPECT_EQ(Pixel(img, 0, 29), Coded(2, 2).pixel(0, 1) & 0xFFFFFF);
    EXPECT_EQ(Pixel(img, 39, 29), Coded(2, 2).pixel(1, 1) & 0xFFFFFF);
}

// A transparent panel shows its parent, and its picture leaves out the colour of the
// picture's bottom-left pixel.
TEST(ImagePanel, TransparentShowsTheParent)
{
    EnsureQtApp();
    Stage stage;
    auto* panel = new TsuiImagePanel(stage.parent.get());
    panel->setGeometry(10, 10, 20, 20);
    panel->setColor(0x0000FF);
    QImage pic(4, 4, QImage::Format_RGB32);
    pic.fill(qRgb(255, 255, 0));
    pic.setPixel(1, 1, qRgb(255, 0, 0));
    pic.setPixel(0, 3, qRgb(255, 255, 0));
    panel->setPicture(pic);
    panel->setTransparent(true);
    stage.Show();
    QImage img = stage.Grab();
    EXPECT_EQ(Pixel(img, 25, 25), Rgb(0x00A000)) << "outside the picture";
    EXPECT_EQ(Pixel(img, 10, 10), Rgb(0x00A000)) << "the picture's transparent colour";
    EXPECT_EQ(Pixel(img, 11, 11), 0xFF0000u) << "the picture's other pixels";

    panel->setTransparent(false);
    img = stage.Grab();
    EXPECT_EQ(Pixel(img, 25, 25), Rgb(0x0000FF));
    EXPECT_EQ(Pixel(img, 10, 10), 0xFFFF00u);
}

TEST(ImagePanel, CaptionLayout)
{
    EnsureQtApp();
    TsuiImagePanel panel;
    panel.resize(200, 28);
    panel.setColor(0xFFFFFF);
    panel.setFont(Font11());
    const QFontMetrics fm(panel.font());
    const auto ink = [&](const QString& caption) {
        panel.setCaption(caption);
        return Ink(panel.grab().toImage(), 0xFFFFFF);
    };

    EXPECT_TRUE(ink(QStringLiteral("    ")).isEmpty()) << "blanks only write nothing";

    const QRect centred = ink(QStringLiteral("Read"));
    ASSERT_FALSE(centred.isEmpty());
    const int expectedLeft = (200 - fm.horizontalAdvance(QStringLiteral("Read"))) / 2;
    EXPECT_NEAR(centred.x(), expectedLeft, 2);
    // Centred vertically on one line.
    EXPECT_NEAR(centred.y() + centred.height() / 2.0, 14, 3);

    // Blanks around the text are part of it and shift a centred text.
    const int shift = fm.horizontalAdvance(QStringLiteral("    ")) / 2;
    EXPECT_NEAR(ink(QStringLiteral("    Read")).x(), centred.x() + shift, 1);
    EXPECT_NEAR(ink(QStringLiteral("Read    ")).x(), centred.x() - shift, 1);

    panel.setAlignment(TsuiImagePanel::taLeftJustify);
    EXPECT_LE(ink(QStringLiteral("Read")).x(), 2);
    panel.setAlignment(TsuiImagePanel::taRightJustify);
    EXPECT_GE(RectRight(ink(QStringLiteral("Read"))), 197);

    // One position alone does not place the text: Alignment still does.
    panel.setAlignment(TsuiImagePanel::taCenter);
    panel.setCaptionPosX(20);
    EXPECT_EQ(ink(QStringLiteral("Read")), centred);
    panel.setCaptionPosY(3);
    const QRect placed = ink(QStringLiteral("Read"));
    EXPECT_NEAR(placed.x(), 20, 2);
    EXPECT_NEAR(placed.y(), 3 + fm.ascent() - fm.capHeight(), 2);
}

// The status line: the gradient stretched over the panel, the text centred over it.
TEST(ImagePanel, StatusLine)
{
    EnsureQtApp();
    QImage gradient(8, 37, QImage::Format_RGB32);
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 8; ++x)
            gradient.setPixel(x, y, qRgb(200, 200, 100 + 4 * y));
    TsuiImagePanel panel;
    panel.resize(411, 28);
    panel.setFont(Font11());
    panel.setDrawStyle(TsuiImagePanel::suiStretch);
    panel.setPicture(gradient);
    const QString status = QStringLiteral("   Open Com Succeed:COM3,9600,No     Read channel...");
    panel.setCaption(status);
    const QImage img = panel.grab().toImage();
    EXPECT_EQ(Pixel(img, 0, 0), gradient.pixel(0, 0) & 0xFFFFFF);
    EXPECT_EQ(Pixel(img, 410, 27), gradient.pixel(0, 36) & 0xFFFFFF);
    // The text is darker than any gradient pixel; it is centred both ways, its
    // leading blanks counted.
    QRect text;
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 411; ++x)
            if (qRed(img.pixel(x, y)) < 150) text |= QRect(x, y, 1, 1);
    ASSERT_FALSE(text.isEmpty());
    const QFontMetrics fm(panel.font());
    EXPECT_NEAR(text.x(), (411 - fm.horizontalAdvance(status)) / 2 + fm.horizontalAdvance(QStringLiteral("   ")), 2);
    EXPECT_NEAR(text.y() + text.height() / 2.0, 14, 3);
}

TEST(ImagePanel, AutoSizeFollowsTheAlignment)
{
    EnsureQtApp();
    struct Case {
        TsuiImagePanel::TAlign align;
        QSize expected;
    };
    const Case cases[] = {
        {TsuiImagePanel::alNone, QSize(30, 20)},    {TsuiImagePanel::alTop, QSize(100, 20)},
        {TsuiImagePanel::alBottom, QSize(100, 20)}, {TsuiImagePanel::alLeft, QSize(30, 80)},
        {TsuiImagePanel::alClient, QSize(100, 80)},
    };
    for (const Case& c : cases) {
        QWidget parent;
        parent.resize(100, 80);
        auto* panel = new TsuiImagePanel(&parent);
        panel->setGeometry(0, 0, 50, 50);
        panel->setAlign(c.align);
        panel->setAutoSize(true);
        panel->setPicture(Coded(30, 20));
        EXPECT_EQ(panel->size(), c.expected) << int(c.align);
    }
}

// Frame line at y = 6 for an 11-pixel font; the top edge is open from x = 3 to
// x = 6 + caption width; the caption starts at x = 5.
TEST(GroupBox, FrameAndCaptionGeometry)
{
    EnsureQtApp();
    struct Case {
        QString caption;
        bool rightToLeft;
    };
    const Case cases[] = {{QStringLiteral("RF and Rate"), false},
                          {QString(), false},
                          {QStringLiteral("RF and Rate"), true},
                          {QString(), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "caption '" << c.caption.toStdString() << "' rtl " << c.rightToLeft);
        TsuiGroupBox box;
        box.setFont(Font11());
        box.resize(120, 49);
        box.setColor(0xFFFFFF);
        box.setBorderColor(0x0000C0);
        box.setCaption(c.caption);
        if (c.rightToLeft) box.setLayoutDirection(Qt::RightToLeft);
        const QImage img = box.grab().toImage();
        const int w = 120;
        const int h = 49;
        const int cw = c.caption.isEmpty() ? 0 : QFontMetrics(box.font()).horizontalAdvance(c.caption);
        const QRgb border = Rgb(0x0000C0);
        const int left = c.rightToLeft ? 1 : 0;  // the mirrored frame runs its left side at x = 1
        for (int y = 7; y < h; ++y) {
            ASSERT_EQ(Pixel(img, left, y), border) << y;
            ASSERT_EQ(Pixel(img, w - 1, y), border) << y;
        }
        for (int x = left; x < w; ++x)
            ASSERT_EQ(Pixel(img, x, h - 1), border) << x;
        for (int y = 0; y < 6; ++y)
            EXPECT_NE(Pixel(img, left, y), border) << y;

        // The top edge at y = 6: which columns carry the line.
        int gapFrom = w;
        int gapTo = w - 1;
        if (!c.caption.isEmpty()) {
            gapFrom = c.rightToLeft ? w - cw - 7 : 3;
            gapTo = c.rightToLeft ? w - 4 : 6 + cw;
        }
        for (int x = left; x < w; ++x) {
            const bool inGap = x >= gapFrom && x <= gapTo;
            ASSERT_EQ(Pixel(img, x, 6) == border, !inGap) << "x " << x;
        }
        if (!c.caption.isEmpty()) {
            const QRect text = Ink(img.copy(0, 0, w, 6), 0xFFFFFF);
            ASSERT_FALSE(text.isEmpty());
            EXPECT_NEAR(text.x(), c.rightToLeft ? w - cw - 6 : 5, 1);
        }
    }
}

TEST(GroupBox, ChildrenKeepClearOfTheFrameAndCaption)
{
    EnsureQtApp();
    TsuiGroupBox box;
    box.setFont(Font11());
    EXPECT_EQ(box.contentsMargins(), QMargins(3, 16, 3, 3));
    QFont bigger = Font11();
    bigger.setPixelSize(20);
    box.setFont(bigger);
    EXPECT_EQ(box.contentsMargins(), QMargins(3, 25, 3, 3));

    auto* child = new TsuiImagePanel(&box);
    child->setAlign(TsuiImagePanel::alClient);
    box.resize(185, 105);
    EXPECT_EQ(child->geometry(), QRect(3, 25, 179, 77));
}

TEST(GroupBox, DisabledCaptionIsGreyFrameKeepsItsColour)
{
    EnsureQtApp();
    TsuiGroupBox box;
    box.setFont(Font11());
    box.resize(150, 49);
    box.setColor(0xFFFFFF);
    box.setBorderColor(0x0000C0);
    box.setCaption(QStringLiteral("Launch  Power"));
    box.setEnabled(false);
    const QImage img = box.grab().toImage();
    EXPECT_EQ(Pixel(img, 0, 20), Rgb(0x0000C0));
    int grey = 0;
    int black = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 5; x < 80; ++x) {
            grey += Pixel(img, x, y) == 0x808080;
            black += Pixel(img, x, y) == 0x000000;
        }
    EXPECT_GT(grey, 0);
    EXPECT_EQ(black, 0);
}

TEST(GroupBox, TransparentShowsTheParentOpaqueShowsItsColour)
{
    EnsureQtApp();
    Stage stage;
    auto* box = new TsuiGroupBox(stage.parent.get());
    box->setGeometry(10, 10, 200, 60);
    box->setBorderColor(0x0000C0);
    box->setTransparent(true);
    stage.Show();
    EXPECT_EQ(Pixel(stage.Grab(), 60, 40), Rgb(0x00A000));

    // Opaque: ParentColor is on, so the fill is the parent's Color until set.
    box->setTransparent(false);
    stage.parent->setColor(0x00C0C0);
    EXPECT_EQ(Pixel(stage.Grab(), 60, 40), Rgb(0x00C0C0));
    box->setColor(0xC0C000);
    EXPECT_EQ(Pixel(stage.Grab(), 60, 40), Rgb(0xC0C000));
}

TEST(GroupBox, StyleReachesTheDirectChildrenAndResetsColours)
{
    EnsureQtApp();
    TsuiGroupBox box;
    auto* edit = new TsuiEdit(&box);
    auto* combo = new TsuiComboBox(&box);
    auto* inner = new TsuiImagePanel(&box);
    auto* grandchild = new TsuiEdit(inner);
    box.setBorderColor(0x123456);
    box.setUIStyle(WinXP);
    EXPECT_EQ(edit->UIStyle(), WinXP);
    EXPECT_EQ(combo->UIStyle(), WinXP);
    EXPECT_EQ(grandchild->UIStyle(), DeepBlue) << "only direct children follow";
    EXPECT_EQ(box.BorderColor(), 0x686868u);
    EXPECT_EQ(box.palette().color(QPalette::Active, QPalette::WindowText), ToQColor(0xCF4602));

    auto* theme = new TsuiFileTheme;
    box.setFileTheme(theme);
    EXPECT_EQ(edit->FileTheme(), theme);
    delete theme;
    EXPECT_EQ(box.UIStyle(), DeepBlue);
    EXPECT_EQ(edit->UIStyle(), DeepBlue);
    EXPECT_EQ(edit->FileTheme(), nullptr);
    EXPECT_EQ(box.BorderColor(), 0x000000u);
}

// A control created on a panel starts with the style of its window's frame, not of the panel.
TEST(Panels, ControlsOnAPanelTakeTheirWindowsStyle)
{
    EnsureQtApp();
    QWidget host;
    auto* form = new TsuiForm(&host);
    form->setUIStyle(Protein);
    auto* panel = new QWidget(form);
    const std::vector<QWidget*> controls = {new TsuiButton(panel), new TsuiPageControl(panel), new TsuiEdit(panel),
                                            new TsuiComboBox(panel), new TsuiGroupBox(panel)};
    for (QWidget* c : controls)
        EXPECT_EQ(c->property("UIStyle").value<TsuiUIStyle>(), Protein) << c->metaObject()->className();
}
