// The embedded artwork: every bitmap the skin asks for by name, at its size and strip layout, the
// exact pictures (form patterns, spin arrows, status gradient) and the page JPEG.
#include "skin/JpegImage.h"
#include "skin/SkinPictures.h"
#include "skin/Suithemes.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr QRgb kMagenta = 0xFFFF00FF;

enum class Mask { Opaque, Corners, BottomLeft };

struct Expected {
    const char* name;
    int width, height;
    int pieces;  // equal pieces side by side; 1 for a single picture
    Mask mask;   // where a piece must be magenta so the parent shows through
};

const Expected kResources[] = {
    {"MACOS_BUTTON", 252, 23, 3, Mask::Corners},
    {"WINXP_BUTTON", 54, 21, 3, Mask::Opaque},
    {"DEEPBLUE_BUTTON", 222, 21, 3, Mask::Opaque},
    {"PROTEIN_BUTTON", 222, 21, 3, Mask::Opaque},
    {"BLUEGLASS_BUTTON", 231, 27, 3, Mask::Corners},
    {"MACOS_TITLEBTN", 306, 17, 18, Mask::Opaque},
    {"WINXP_TITLEBTN", 378, 21, 18, Mask::Opaque},
    {"DEEPBLUE_TITLEBTN", 342, 19, 18, Mask::Opaque},
    {"PROTEIN_TITLEBTN", 342, 19, 18, Mask::BottomLeft},
    {"BLUEGLASS_TITLEBTN", 342, 19, 18, Mask::BottomLeft},
    {"MACOS_TITLE_LEFT", 48, 23, 1, Mask::Opaque},
    {"WINXP_TITLE_LEFT", 35, 29, 1, Mask::Opaque},
    {"DEEPBLUE_TITLE_LEFT", 97, 32, 1, Mask::Opaque},
    {"PROTEIN_TITLE_LEFT", 441, 23, 1, Mask::Opaque},
    {"BLUEGLASS_TITLE_LEFT", 162, 33, 1, Mask::Opaque},
    {"MACOS_TITLE_CLIENT", 49, 23, 1, Mask::Opaque},
    {"WINXP_TITLE_CLIENT", 37, 29, 1, Mask::Opaque},
    {"DEEPBLUE_TITLE_CLIENT", 98, 32, 1, Mask::Opaque},
    {"PROTEIN_TITLE_CLIENT", 1, 23, 1, Mask::Opaque},
    {"BLUEGLASS_TITLE_CLIENT", 179, 33, 1, Mask::Opaque},
    {"MACOS_TITLE_RIGHT", 48, 23, 1, Mask::Opaque},
    {"WINXP_TITLE_RIGHT", 35, 29, 1, Mask::Opaque},
    {"DEEPBLUE_TITLE_RIGHT", 97, 32, 1, Mask::Opaque},
    {"PROTEIN_TITLE_RIGHT", 1, 23, 1, Mask::Opaque},
    {"BLUEGLASS_TITLE_RIGHT", 101, 33, 1, Mask::Opaque},
    {"MACOS_SCROLLBUTTON", 72, 18, 4, Mask::Opaque},
    {"WINXP_SCROLLBUTTON", 72, 18, 4, Mask::Opaque},
    {"MORE_SCROLLBUTTON", 72, 17, 4, Mask::Opaque},
    {"MACOS_TAB", 36, 27, 2, Mask::Corners},
    {"WINXP_TAB", 18, 18, 2, Mask::Corners},
    {"DEEPBLUE_TAB", 12, 17, 2, Mask::Corners},
    {"PROTEIN_TAB", 18, 17, 2, Mask::Corners},
    {"BLUEGLASS_TAB", 18, 17, 2, Mask::Corners},
    {"MACOS_TAB_LINE", 17, 7, 1, Mask::Opaque},
    {"WINXP_TAB_LINE", 8, 1, 1, Mask::Opaque},
    {"DEEPBLUE_TAB_LINE", 5, 5, 1, Mask::Opaque},
    {"PROTEIN_TAB_LINE", 10, 5, 1, Mask::Opaque},
    {"BLUEGLASS_TAB_LINE", 10, 5, 1, Mask::Opaque},
    {"MACOS_COMBOBOX_BUTTON", 16, 17, 1, Mask::Opaque},
    {"WINXP_COMBOBOX_BUTTON", 16, 18, 1, Mask::Opaque},
    {"MACOS_FORM_BACKGROUND", 8, 8, 1, Mask::Opaque},
    {"PROTEIN_FORM_BACKGROUND", 8, 8, 1, Mask::Opaque},
    {"MACOS_MENU_SELECT", 1, 21, 1, Mask::Opaque},
    {"MACOS_MENU_BAR", 1, 22, 1, Mask::Opaque},
    {"MENU_CHECKED", 16, 16, 1, Mask::Opaque},
    {"SpinUp", 9, 6, 1, Mask::Opaque},
    {"SpinDown", 9, 6, 1, Mask::Opaque},
};

class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitSkinResources(); }
};

bool HasMagenta(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == kMagenta) return true;
    return false;
}

// Each picture also comes at twice its size ("NAME@2x"), with the same strip layout and mask.
TEST_F(Resources, EveryNamedBitmapHasItsSizeAndLayout)
{
    for (const Expected& e : kResources)
        for (int k : {1, 2}) {
            SCOPED_TRACE(std::string(e.name) + " x" + std::to_string(k));
            const QImage img = k == 1 ? LoadSkinBitmap(QString::fromLatin1(e.name))
                                      : QImage(QStringLiteral(":/skin/%1@2x.png").arg(QLatin1String(e.name)));
            ASSERT_FALSE(img.isNull());
            EXPECT_EQ(img.size(), QSize(e.width, e.height) * k);
            EXPECT_FALSE(img.hasAlphaChannel());
            EXPECT_EQ(e.width % e.pieces, 0);
            const int pw = e.width * k / e.pieces;
            const int height = e.height * k;
            for (int i = 0; i < e.pieces; ++i) {
                SCOPED_TRACE(i + 1);
                const QImage piece = img.copy(i * pw, 0, pw, height);
                switch (e.mask) {
                case Mask::Opaque:
                    // Drawn without a mask: a stray magenta pixel would show as such.
                    EXPECT_FALSE(HasMagenta(piece));
                    break;
                case Mask::Corners:
                    EXPECT_EQ(piece.pixel(0, 0), kMagenta);
                    EXPECT_EQ(piece.pixel(pw - 1, 0), kMagenta);
                    break;
                case Mask::BottomLeft:
                    // The title bar drops the colour of a transparent button's bottom-left pixel.
                    EXPECT_EQ(piece.pixel(0, height - 1), kMagenta);
                    EXPECT_NE(piece.pixel(pw / 2, height / 2), kMagenta);
                    break;
                }
            }
        }
}

// On a screen at twice the pixel density every picture comes from its twice-size set: a device
// pixel ratio of 2, twice the pixels, and still its 1x size in logical pixels.
TEST_F(Resources, AtScaleTwoEveryPictureIsTheTwiceSizeOne)
{
    for (const Expected& e : kResources) {
        SCOPED_TRACE(e.name);
        const QImage img = SkinPicture(QString::fromLatin1(e.name), 2.0);
        EXPECT_EQ(img.devicePixelRatio(), 2.0);
        EXPECT_EQ(img.size(), QSize(e.width, e.height) * 2);
        EXPECT_EQ(img.deviceIndependentSize().toSize(), QSize(e.width, e.height));
    }
}

TEST_F(Resources, TitleButtonPiecesAreSquareAndButtonFacesOddHigh)
{
    for (const char* style : {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"}) {
        SCOPED_TRACE(style);
        const QImage title = LoadSkinBitmap(QString::fromLatin1(style) + "_TITLEBTN");
        EXPECT_EQ(title.width(), 18 * title.height());
        // The nine-region drawing cuts the button's edges from its middle row.
        EXPECT_EQ(LoadSkinBitmap(QString::fromLatin1(style) + "_BUTTON").height() % 2, 1);
    }
}

TEST_F(Resources, ButtonStatesDiffer)
{
    for (const char* name : {"MACOS_BUTTON", "WINXP_BUTTON", "DEEPBLUE_BUTTON", "PROTEIN_BUTTON", "BLUEGLASS_BUTTON",
                             "MACOS_SCROLLBUTTON", "WINXP_SCROLLBUTTON", "MORE_SCROLLBUTTON"}) {
        SCOPED_TRACE(name);
        const QImage img = LoadSkinBitmap(QString::fromLatin1(name));
        const int pieces = img.width() == 72 ? 4 : 3;
        const int pw = img.width() / pieces;
        for (int a = 0; a < pieces; ++a)
            for (int b = a + 1; b < pieces; ++b)
                EXPECT_NE(img.copy(a * pw, 0, pw, img.height()), img.copy(b * pw, 0, pw, img.height()))
                    << "pieces " << a + 1 << " and " << b + 1;
    }
}

std::vector<QRgb> Rows(const QImage& img)
{
    std::vector<QRgb> rows;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 1; x < img.width(); ++x)
            EXPECT_EQ(img.pixel(x, y), img.pixel(0, y)) << "row " << y << " is not one colour";
        rows.push_back(img.pixel(0, y) & 0xFFFFFF);
    }
    return rows;
}

TEST_F(Resources, FormBackgroundPatterns)
{
    EXPECT_EQ(Rows(LoadSkinBitmap("PROTEIN_FORM_BACKGROUND")),
              (std::vector<QRgb>{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xEEEEEE, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xEEEEEE}));
    EXPECT_EQ(Rows(LoadSkinBitmap("MACOS_FORM_BACKGROUND")),
              (std::vector<QRgb>{0xFFFFFF, 0xEFEFEF, 0xE8E8E8, 0xEFEFEF, 0xFFFFFF, 0xEFEFEF, 0xE8E8E8, 0xEFEFEF}));
}

TEST_F(Resources, SpinArrows)
{
    const char* up[6] = {".........", "....#....", "...###...", "..#####..", ".#######.", "........."};
    const QImage upImg = LoadSkinBitmap("SpinUp");
    const QImage downImg = LoadSkinBitmap("SpinDown");
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            const QRgb want = up[y][x] == '#' ? qRgb(0, 0, 0) : qRgb(128, 128, 0);
            EXPECT_EQ(upImg.pixel(x, y), want) << "SpinUp " << x << "," << y;
            EXPECT_EQ(downImg.pixel(x, 5 - y), want) << "SpinDown " << x << "," << 5 - y;
        }
}

TEST_F(Resources, StatusGradientRunsFromLightBlueToBlue)
{
    const QImage img = LoadStatusGradient();
    ASSERT_EQ(img.size(), QSize(8, 37));
    EXPECT_FALSE(img.hasAlphaChannel());
    const std::vector<QRgb> rows = Rows(img);
    EXPECT_EQ(rows.front(), 0xA8C7FEu);  // 0xFEC7A8 written 0xBBGGRR
    EXPECT_EQ(rows.back(), 0x569ADAu);   // 0xDA9A56 written 0xBBGGRR
    for (size_t y = 1; y < rows.size(); ++y) {
        EXPECT_LE(qRed(rows[y]), qRed(rows[y - 1]));
        EXPECT_LE(qBlue(rows[y]), qBlue(rows[y - 1]));
    }
}

QByteArray PageJpeg()
{
    InitSkinResources();
    QFile f(":/page/background.jpg");
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

TEST_F(Resources, PageBackgroundIsALightBlueBaselineJpeg)
{
    const QByteArray data = PageJpeg();
    EXPECT_TRUE(data.contains(QByteArray("\xFF\xC0", 2)));   // baseline frame
    EXPECT_FALSE(data.contains(QByteArray("\xFF\xC2", 2)));  // no progressive frame
    const QImage img = LoadPageBackground();
    ASSERT_EQ(img.size(), QSize(791, 669));
    for (const QPoint p : {QPoint(0, 0), QPoint(404, 381), QPoint(790, 668)}) {
        const QRgb c = img.pixel(p);
        EXPECT_GT(qBlue(c), qRed(c)) << p.x() << "," << p.y();
        EXPECT_GT(qGray(c), 170) << p.x() << "," << p.y();
    }
}

// Decoding only the part shown gives exactly the whole picture's corner, the last column included.
TEST_F(Resources, ThePartShownIsTheWholePicturesCorner)
{
    const QByteArray data = PageJpeg();
    const QImage whole = DecodeJpeg(data);
    ASSERT_EQ(whole.size(), QSize(791, 669));
    for (const QSize shown : {QSize(405, 382), QSize(1, 1), QSize(17, 9), QSize(790, 668), QSize(791, 669)}) {
        const QImage part = DecodeJpeg(data, shown);
        EXPECT_EQ(part.size(), shown);
        EXPECT_EQ(part, whole.copy(QRect(QPoint(0, 0), shown))) << shown.width() << "x" << shown.height();
    }
    EXPECT_EQ(DecodeJpeg(data, QSize(2000, 2000)), whole);
}

TEST(DecodeJpeg, CorruptDataGivesANullImage)
{
    const QByteArray good = PageJpeg();
    QByteArray scrambled = good;
    for (qsizetype i = good.size() / 3; i < good.size() / 3 + 400; ++i)
        scrambled[i] = char(i * 37);
    QByteArray badHeader = good;
    badHeader[good.indexOf(QByteArray("\xFF\xC0", 2)) + 5] = 0;  // image height 0
    const struct {
        const char* what;
        QByteArray data;
    } cases[] = {
        {"empty", QByteArray()},
        {"not a jpeg", QByteArray("GIF89a, certainly not a JPEG file")},
        {"start marker only", QByteArray("\xFF\xD8", 2)},
        {"truncated", good.left(good.size() / 2)},
        {"scrambled scan data", scrambled},
        {"zero height", badHeader},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(DecodeJpeg(c.data).isNull()) << c.what;
    EXPECT_EQ(DecodeJpeg(good).size(), QSize(791, 669));  // the decoder is still usable
}

TEST(DecodeJpeg, GreyPictureComesOutGrey)
{
    // A 16 x 8 grey ramp, encoded here with libjpeg.
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = 16;
    c.image_height = 8;
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    unsigned char row[16];
    for (int x = 0; x < 16; ++x)
        row[x] = static_cast<unsigned char>(x * 16);
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row;
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    const QByteArray data(reinterpret_cast<const char*>(buf), qsizetype(size));
    std::free(buf);

    const QImage img = DecodeJpeg(data);
    ASSERT_EQ(img.size(), QSize(16, 8));
    for (int x = 0; x < 16; ++x) {
        const QRgb p = img.pixel(x, 4);
        EXPECT_EQ(qRed(p), qGreen(p));
        EXPECT_EQ(qGreen(p), qBlue(p));
        EXPECT_NEAR(qRed(p), x * 16, 3);
    }
}

}  // namespace
