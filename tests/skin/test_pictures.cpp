// Skin pictures: decoded once per name and scale and shared, the twice-size picture above a device
// pixel ratio of 1, the 1x picture when there is no twice-size one.
#include "skin/JpegImage.h"
#include "skin/SkinPictures.h"
#include "skin/Suipublic.h"
#include "skin/Suithemes.h"

#include <gtest/gtest.h>

namespace {

// The test's own pictures (tests/skin/data): LOADER_TEST is 2 x 3 red with a 4 x 6 blue @2x,
// LOADER_ONLY1X is 3 x 2 green with no @2x.
qsizetype TimesDecoded(const QString& entry) { return DecodedSkinPictures().count(entry); }

TEST(SkinPictures, DecodedOnceAndShared)
{
    const QImage first = SkinPicture("LOADER_TEST");
    const QImage again = LoadSkinBitmap("LOADER_TEST");
    EXPECT_EQ(TimesDecoded("LOADER_TEST"), 1);
    EXPECT_EQ(TimesDecoded("LOADER_TEST@2x"), 0);
    EXPECT_EQ(first.cacheKey(), again.cacheKey());  // one image, not two copies
    EXPECT_EQ(first.size(), QSize(2, 3));
    EXPECT_EQ(first.devicePixelRatio(), 1.0);
}

TEST(SkinPictures, TwiceSizePictureAboveRatioOne)
{
    struct Case {
        const char* name;
        qreal ratio;
        QSize pixels;
        qreal pictureRatio;
        QRgb colour;
    };
    const Case cases[] = {
        {"LOADER_TEST", 1.0, {2, 3}, 1.0, qRgb(255, 0, 0)},   {"LOADER_TEST", 1.25, {4, 6}, 2.0, qRgb(0, 0, 255)},
        {"LOADER_TEST", 2.0, {4, 6}, 2.0, qRgb(0, 0, 255)},   {"LOADER_TEST", 3.0, {4, 6}, 2.0, qRgb(0, 0, 255)},
        {"LOADER_ONLY1X", 2.0, {3, 2}, 1.0, qRgb(0, 255, 0)}, {"LOADER_ONLY1X", 1.0, {3, 2}, 1.0, qRgb(0, 255, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.ratio));
        const QImage picture = SkinPicture(c.name, c.ratio);
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), c.pixels);
        EXPECT_EQ(picture.devicePixelRatio(), c.pictureRatio);
        EXPECT_EQ(picture.pixel(0, 0) | 0xFF000000, c.colour);
        // Logical size stays the 1x size whichever picture was taken.
        EXPECT_EQ(picture.deviceIndependentSize().toSize(), SkinPicture(c.name).size());
    }
    EXPECT_EQ(TimesDecoded("LOADER_TEST"), 1);
    EXPECT_EQ(TimesDecoded("LOADER_TEST@2x"), 1);
    // The fallback shares the 1x picture rather than decoding it again.
    EXPECT_EQ(TimesDecoded("LOADER_ONLY1X"), 1);
    EXPECT_EQ(SkinPicture("LOADER_ONLY1X", 2.0).cacheKey(), SkinPicture("LOADER_ONLY1X").cacheKey());
}

TEST(SkinPictures, PiecesOfATwiceSizeStripKeepTheirRatio)
{
    QImage piece;
    SpitBitmap(SkinPicture("LOADER_TEST", 2.0), &piece, 2, 2);
    EXPECT_EQ(piece.size(), QSize(2, 6));
    EXPECT_EQ(piece.devicePixelRatio(), 2.0);
}

TEST(SkinPictures, MissingNamesGiveNullImages)
{
    for (const char* name : {"NO_SUCH_PICTURE", ""}) {
        EXPECT_TRUE(SkinPicture(name).isNull()) << name;
        EXPECT_TRUE(SkinPicture(name, 2.0).isNull()) << name;
    }
    EXPECT_EQ(TimesDecoded("NO_SUCH_PICTURE"), 0);
}

TEST(SkinPictures, PageBackgroundDecodesOnce)
{
    const QImage first = LoadPageBackground();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(LoadPageBackground().cacheKey(), first.cacheKey());
}

}  // namespace
