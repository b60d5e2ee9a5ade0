// Pixel and geometry checks of the shared drawing and layout routines.
#include "skin/Suipublic.h"
#include "support/QtApp.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr QRgb kSentinel = 0xFF102030;
constexpr QRgb kMagenta = 0xFFFF00FF;

// Each pixel names its own position, so a copied pixel shows where it came from.
QImage Coded(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x, y, 0x40));
    return img;
}

QImage Canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kSentinel);
    return img;
}

QImage Paint(int w, int h, const std::function<void(QPainter&)>& draw)
{
    QImage img = Canvas(w, h);
    QPainter p(&img);
    draw(p);
    p.end();
    return img;
}

// Compares every pixel with the expectation; reports the first few differences.
void ExpectPixels(const QImage& img, const std::function<QRgb(int, int)>& expected)
{
    int failures = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb want = expected(x, y) | 0xFF000000;
            const QRgb got = img.pixel(x, y) | 0xFF000000;
            if (got != want && failures++ < 8)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", want " << want;
        }
}

TEST(SpitBitmap, LastPieceComesFromTheRightEnd)
{
    const QImage strip = Coded(10, 2);
    struct Case {
        int index;
        int firstColumn;
    };
    for (const Case& c : {Case{1, 0}, Case{2, 3}, Case{3, 7}}) {
        QImage piece;
        SpitBitmap(strip, &piece, 3, c.index);
        ASSERT_EQ(piece.size(), QSize(3, 2)) << "piece " << c.index;
        EXPECT_EQ(piece, strip.copy(c.firstColumn, 0, 3, 2)) << "piece " << c.index;
    }
}

TEST(SpitBitmap, OutOfRangeGivesAnEmptyPiece)
{
    const QImage strip = Coded(10, 2);
    for (auto [count, index] : {std::pair{3, 0}, std::pair{3, 4}, std::pair{0, 1}, std::pair{11, 1}}) {
        QImage piece(4, 4, QImage::Format_RGB32);
        SpitBitmap(strip, &piece, count, index);
        EXPECT_TRUE(piece.isNull()) << count << " pieces, index " << index;
    }
    SpitBitmap(strip, nullptr, 3, 1);
}

// A 74 x 21 button piece drawn into a 65 x 23 button: where every pixel comes from.
QRgb SpitDraw74x21Into65x23(const QImage& src, int x, int y)
{
    if (x >= 31 && x <= 33 && y >= 13) return src.pixel(37, 11 + (y - 13));  // bottom edge, drawn last
    if (x <= 31) {
        if (y <= 9) return src.pixel(x, y);    // top-left corner 32 x 10
        if (y <= 13) return src.pixel(x, 10);  // left edge, one row stretched
        return src.pixel(x, 12 + (y - 14));    // bottom-left corner 32 x 9
    }
    if (x <= 33) {
        if (y <= 9) return src.pixel(37, y);  // top edge
        return src.pixel(37, 10);             // centre
    }
    if (y <= 9) return src.pixel(43 + (x - 34), y);    // top-right corner 31 x 10
    if (y <= 13) return src.pixel(43 + (x - 34), 11);  // right edge
    return src.pixel(43 + (x - 34), 12 + (y - 14));    // bottom-right corner 31 x 9
}

TEST(SpitDraw, ButtonPieceIntoALargerButtonPlacesEveryRegion)
{
    const QImage src = Coded(74, 21);
    const QImage out = Paint(65, 23, [&](QPainter& p) { SpitDraw(src, p, QRect(0, 0, 65, 23), false); });
    ExpectPixels(out, [&](int x, int y) { return SpitDraw74x21Into65x23(src, x, y); });
}

TEST(SpitDraw, MagentaIsMaskedInEdgesAlwaysAndInCornersOnlyWhenTransparent)
{
    QImage src = Coded(74, 21);
    src.setPixel(0, 0, kMagenta);    // top-left corner
    src.setPixel(37, 10, kMagenta);  // the centre pixel
    for (bool transparent : {false, true}) {
        const QImage out = Paint(65, 23, [&](QPainter& p) { SpitDraw(src, p, QRect(0, 0, 65, 23), transparent); });
        EXPECT_EQ(out.pixel(0, 0), transparent ? kSentinel : kMagenta) << "transparent " << transparent;
        EXPECT_EQ(out.pixel(32, 11), kSentinel) << "centre, transparent " << transparent;
        EXPECT_EQ(out.pixel(5, 5), src.pixel(5, 5));
    }
}

TEST(SpitDraw, TargetSmallerThanTheCornersKeepsTheOuterEdges)
{
    const QImage src = Coded(74, 21);
    const QImage out = Paint(20, 9, [&](QPainter& p) { SpitDraw(src, p, QRect(0, 0, 20, 9), false); });
    // Corners shrink to the limit boxes: 10 x 4 top-left, 9 x 4 top-right, keeping the outer columns.
    EXPECT_EQ(out.pixel(0, 0), src.pixel(0, 0));
    EXPECT_EQ(out.pixel(9, 3), src.pixel(9, 3));
    EXPECT_EQ(out.pixel(19, 0), src.pixel(73, 0));
    EXPECT_EQ(out.pixel(11, 0), src.pixel(65, 0));
    // Bottom corners: 10 x 3 and 9 x 3 against the bottom, keeping the bottom row.
    EXPECT_EQ(out.pixel(0, 8), src.pixel(0, 20));
    EXPECT_EQ(out.pixel(19, 8), src.pixel(73, 20));
}

TEST(SpitDraw, DegenerateTargetsDrawWithoutFault)
{
    const QImage src = Coded(74, 21);
    for (const QRect& r : {QRect(0, 0, 0, 0), QRect(0, 0, 1, 1), QRect(0, 0, 2, 23), QRect(0, 0, 65, 2)}) {
        const QImage out = Paint(70, 30, [&](QPainter& p) { SpitDraw(src, p, r, true); });
        EXPECT_EQ(out.pixel(69, 29), kSentinel);
    }
    Paint(10, 10, [&](QPainter& p) { SpitDraw(QImage(), p, QRect(0, 0, 10, 10), false); });
}

// A 12 x 3 strip of three 4 x 3 pieces whose pixels name their position.
QImage Strip() { return Coded(12, 3); }

TEST(SpitDrawHorizontal2, EndsAtTheirPlacesAndTheMiddleStretched)
{
    QImage strip = Strip();
    strip.setPixel(0, 0, kMagenta);
    for (bool transparent : {false, true}) {
        const QImage out = Paint(30, 6, [&](QPainter& p) {
            SpitDrawHorizontal2(strip, p, QRect(2, 1, 20, 3), transparent, kSuiTransparentColor);
        });
        EXPECT_EQ(out.pixel(2, 1), transparent ? kSentinel : kMagenta);
        EXPECT_EQ(out.pixel(5, 3), strip.pixel(3, 2));
        for (int x = 6; x < 18; ++x)
            EXPECT_EQ(qRed(out.pixel(x, 2)), 4 + (x - 6) * 4 / 12) << x;
        EXPECT_EQ(out.pixel(18, 1), strip.pixel(8, 0));
        EXPECT_EQ(out.pixel(21, 3), strip.pixel(11, 2));
        EXPECT_EQ(out.pixel(22, 1), kSentinel);
        EXPECT_EQ(out.pixel(10, 4), kSentinel) << "the strip keeps its own height";
    }
}

TEST(SpitDrawHorizontal2, NarrowTargetGetsTheLeftPieceCut)
{
    const QImage strip = Strip();
    const QImage out = Paint(
        10, 5, [&](QPainter& p) { SpitDrawHorizontal2(strip, p, QRect(1, 1, 3, 3), false, kSuiTransparentColor); });
    EXPECT_EQ(out.pixel(1, 1), strip.pixel(0, 0));
    EXPECT_EQ(out.pixel(3, 3), strip.pixel(2, 2));
    EXPECT_EQ(out.pixel(4, 1), kSentinel);
}

TEST(SpitDrawHorizontal, CornerColourMasksAndFillShowsThroughTheMiddle)
{
    QImage strip = Strip();
    const QRgb corner = qRgb(9, 9, 9);
    strip.setPixel(0, 0, corner);
    strip.setPixel(5, 1, corner);   // a hole in the middle piece
    strip.setPixel(10, 2, corner);  // and in the right piece
    const TColor fill = 0x00FF00;
    const QImage out
        = Paint(30, 8, [&](QPainter& p) { SpitDrawHorizontal(strip, p, QRect(0, 0, 20, 6), true, fill, true); });
    EXPECT_EQ(out.pixel(0, 0), kSentinel);
    EXPECT_EQ(out.pixel(1, 0), strip.pixel(1, 0));
    EXPECT_EQ(out.pixel(18, 2), kSentinel);
    // The middle piece (4 x 3) is stretched to 12 x 6: its hole at (1, 1) becomes fill.
    EXPECT_EQ(out.pixel(7, 2) | 0xFF000000, ToQColor(fill).rgb());
    EXPECT_EQ(out.pixel(4, 0), strip.pixel(4, 0));
    EXPECT_EQ(out.pixel(15, 5), strip.pixel(7, 2));
    EXPECT_EQ(out.pixel(10, 6), kSentinel);
}

TEST(SpitDrawHorizontal, MaskSamplesTheBottomCornerOrUsesMagenta)
{
    QImage strip = Strip();
    const QRgb bottom = qRgb(7, 7, 7);
    strip.setPixel(0, 2, bottom);
    strip.setPixel(1, 0, kMagenta);
    const QImage sampled
        = Paint(20, 4, [&](QPainter& p) { SpitDrawHorizontal(strip, p, QRect(0, 0, 20, 3), true, 0, false); });
    EXPECT_EQ(sampled.pixel(0, 2), kSentinel);
    EXPECT_EQ(sampled.pixel(1, 0), kMagenta);
    const QImage plain
        = Paint(20, 4, [&](QPainter& p) { SpitDrawHorizontal(strip, p, QRect(0, 0, 20, 3), false, 0, false); });
    EXPECT_EQ(plain.pixel(0, 2), bottom);
    EXPECT_EQ(plain.pixel(1, 0), kSentinel);
}

TEST(TileDraw, TilesFromTheCanvasOriginPastTheRectangle)
{
    const QImage pic = Coded(3, 2);
    const QImage out = Paint(14, 8, [&](QPainter& p) { TileDraw(p, pic, QRect(4, 3, 7, 3)); });
    // Columns 0, 3, 6, 9 and rows 0, 2, 4 get tiles: x < 7 + 3, y < 3 + 2.
    ExpectPixels(out, [&](int x, int y) { return x < 12 && y < 6 ? pic.pixel(x % 3, y % 2) : kSentinel; });
    Paint(4, 4, [&](QPainter& p) { TileDraw(p, QImage(), QRect(0, 0, 4, 4)); });
}

TEST(DrawHorizontalGradient, FirstAndLastRowsAreTheEndsAndTheRestTruncates)
{
    const TColor from = 0x0000FF, to = 0xFF0000;  // red to blue
    const QImage out = Paint(6, 14, [&](QPainter& p) { DrawHorizontalGradient(p, QRect(1, 2, 4, 10), from, to); });
    // Rows 3..10: c1 + trunc((c2 - c1) / 10 * (row - 3)), truncating towards zero.
    const int red[] = {255, 230, 204, 179, 153, 128, 102, 77};
    const int blue[] = {0, 25, 51, 76, 102, 127, 153, 178};
    ExpectPixels(out, [&](int x, int y) -> QRgb {
        if (x < 1 || x > 4 || y < 2 || y > 11) return kSentinel;
        if (y == 2) return qRgb(255, 0, 0);
        if (y == 11) return qRgb(0, 0, 255);
        return qRgb(red[y - 3], 0, blue[y - 3]);
    });
}

TEST(DrawHorizontalGradient, NoHeightDrawsNothingAndOneRowIsTheEndColour)
{
    const QImage none = Paint(4, 4, [&](QPainter& p) { DrawHorizontalGradient(p, QRect(0, 1, 4, 0), 0, 0xFFFFFF); });
    ExpectPixels(none, [](int, int) { return kSentinel; });
    const QImage one = Paint(4, 4, [&](QPainter& p) { DrawHorizontalGradient(p, QRect(0, 1, 4, 1), 0, 0xFFFFFF); });
    EXPECT_EQ(one.pixel(0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(one.pixel(0, 2), kSentinel);
}

TEST(RoundPicture2, TurnsByHalfACircle)
{
    const QImage src = Coded(3, 2);
    QImage turned = src;
    RoundPicture2(turned);
    ASSERT_EQ(turned.size(), src.size());
    ExpectPixels(turned, [&](int x, int y) { return src.pixel(2 - x, 1 - y); });
}

TEST(InRect, AllFourEdgesCount)
{
    const QRect r(10, 20, 5, 4);  // Left 10, Top 20, Right 15, Bottom 24
    struct Case {
        QPoint p;
        bool inside;
    };
    for (const Case& c : {Case{{10, 20}, true}, Case{{15, 24}, true}, Case{{15, 20}, true}, Case{{12, 22}, true},
                          Case{{9, 22}, false}, Case{{16, 22}, false}, Case{{12, 19}, false}, Case{{12, 25}, false}}) {
        EXPECT_EQ(InRect(c.p, r), c.inside) << c.p.x() << ", " << c.p.y();
        EXPECT_EQ(InRect(c.p.x(), c.p.y(), r), c.inside);
    }
}

TEST(DrawControlBorder, OuterFrameAndOptionalInnerFrame)
{
    EnsureQtApp();
    QWidget control;
    control.resize(8, 6);
    for (bool inner : {false, true}) {
        const QImage out = Paint(8, 6, [&](QPainter& p) { DrawControlBorder(p, &control, 0x0000FF, 0x00FF00, inner); });
        ExpectPixels(out, [&](int x, int y) -> QRgb {
            if (x == 0 || y == 0 || x == 7 || y == 5) return qRgb(255, 0, 0);
            if (inner && (x == 1 || y == 1 || x == 6 || y == 4)) return qRgb(0, 255, 0);
            return kSentinel;
        });
    }
}

// A parent that paints a red square at (10, 5) over its green background.
class PaintedParent : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(QRect(10, 5, 5, 5), Qt::red);
    }
};

class BlueChild : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::blue); }
};

TEST(DoTrans, BufferShowsTheParentBehindTheControl)
{
    EnsureQtApp();
    PaintedParent parent;
    parent.resize(40, 30);
    QPalette pal;
    pal.setColor(QPalette::Window, Qt::green);
    parent.setPalette(pal);
    parent.setAutoFillBackground(true);
    BlueChild child(&parent);
    child.setGeometry(8, 3, 12, 10);

    const QImage out = Paint(12, 10, [&](QPainter& p) { DoTrans(p, &child); });
    ExpectPixels(out, [](int x, int y) -> QRgb {
        const bool square = x >= 2 && x < 7 && y >= 2 && y < 7;
        return square ? qRgb(255, 0, 0) : qRgb(0, 255, 0);
    });

    BlueChild orphan;
    const QImage untouched = Paint(4, 4, [&](QPainter& p) { DoTrans(p, &orphan); });
    ExpectPixels(untouched, [](int, int) { return kSentinel; });
}

TEST(FormatStringWithWidth, FittingTextIsUnchanged)
{
    EnsureQtApp();
    QFont font;
    font.setPixelSize(11);
    const QFontMetrics fm(font);
    const QString text = QStringLiteral("Com Setting");
    const int full = fm.horizontalAdvance(text);
    EXPECT_EQ(FormatStringWithWidth(fm, text, full), text);
    EXPECT_EQ(FormatStringWithWidth(fm, text, full + 50), text);
    EXPECT_EQ(FormatStringWithWidth(fm, QString(), 0), QString());
}

TEST(FormatStringWithWidth, StopsAtTheFirstCandidateThatReachesTheWidth)
{
    EnsureQtApp();
    QFont font;
    font.setPixelSize(11);
    const QFontMetrics fm(font);
    const QString text = QStringLiteral("Parameter settings of the radio module");
    for (int width : {1, 20, 60, fm.horizontalAdvance(text) - 1}) {
        const QString out = FormatStringWithWidth(fm, text, width);
        ASSERT_TRUE(out.endsWith(QStringLiteral("..."))) << width;
        const QString prefix = out.chopped(3);
        ASSERT_TRUE(text.startsWith(prefix)) << width;
        EXPECT_GE(fm.horizontalAdvance(out), width);
        if (prefix.length() > 1) {
            EXPECT_LT(fm.horizontalAdvance(prefix.chopped(1) + QStringLiteral("...")), width) << width;
        }
    }
    // One character has no shorter candidate: it stays whole even when too wide.
    EXPECT_EQ(FormatStringWithWidth(fm, QStringLiteral("W"), 1), QStringLiteral("W"));
}

TEST(SUIGetComboBoxInfo, ButtonSitsRightOfTheTextInsideTheControl)
{
    EnsureQtApp();
    QComboBox combo;
    combo.addItems({QStringLiteral("1200"), QStringLiteral("9600")});
    combo.resize(120, 22);
    SuiComboBoxInfo info;
    ASSERT_TRUE(SUIGetComboBoxInfo(&combo, &info));
    EXPECT_FALSE(info.button.isEmpty());
    EXPECT_FALSE(info.item.isEmpty());
    EXPECT_TRUE(combo.rect().contains(info.button));
    EXPECT_GE(info.button.x(), RectRight(info.item) - 1);
    EXPECT_NE(info.list, nullptr);
    EXPECT_FALSE(SUIGetComboBoxInfo(nullptr, &info));
    EXPECT_FALSE(SUIGetComboBoxInfo(&combo, nullptr));
}

TEST(WorkArea, WithoutAMainFormItIsThePrimaryScreens)
{
    EnsureQtApp();
    SetMainForm(nullptr);
    EXPECT_FALSE(GetWorkAreaRect().isEmpty());
    QWidget form;
    SetMainForm(&form);
    EXPECT_FALSE(GetWorkAreaRect().isEmpty());
    SetMainForm(nullptr);
}

TEST(FormHasFocus, WithoutAMainFormAFormCountsOnlyWhenActive)
{
    EnsureQtApp();
    SetMainForm(nullptr);
    QWidget form;
    EXPECT_FALSE(FormHasFocus(&form));
    EXPECT_FALSE(FormHasFocus(nullptr));
}

TEST(FormHasFocus, WhileTheApplicationIsActiveTheMainFormAlwaysCounts)
{
    EnsureQtApp();
    QWidget main;
    main.resize(100, 80);
    QWidget other;
    other.resize(50, 40);
    SetMainForm(&main);
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_TRUE(FormHasFocus(&main));
    EXPECT_TRUE(FormHasFocus(nullptr));
    EXPECT_FALSE(FormHasFocus(&other));
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(FormHasFocus(&other));
    EXPECT_TRUE(FormHasFocus(&main));
    SetMainForm(nullptr);
}

}  // namespace
