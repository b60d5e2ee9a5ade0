// The skinned frame at 200 %: its pictures come from the twice-size art.
#include "skin/SkinPictures.h"
#include "skin/Suiform.h"
#include "skin/Suimetrics.h"
#include "support/QtApp.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// Before the application exists: every window of this program is drawn at twice the size.
const bool kScaled = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

// A Protein frame on a shown host, at twice the size.
void ShowProteinFrame(QWidget& host)
{
    auto* form = new TsuiForm(&host);
    form->setUIStyle(Protein);
    form->SetClientSize(QSize(600, 100));
    host.show();
}

TEST(HiDpi, FramePatternAndTitleComeFromTheTwiceSizeArt)
{
    ASSERT_TRUE(kScaled);
    EnsureQtApp();
    QWidget host;
    ShowProteinFrame(host);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage shot = host.grab().toImage();
    EXPECT_EQ(shot.devicePixelRatio(), 2.0);
    EXPECT_EQ(shot.size(), host.size() * 2);
    const QStringList decoded = DecodedSkinPictures();
    for (const char* name : {"PROTEIN_FORM_BACKGROUND@2x", "PROTEIN_TITLE_LEFT@2x", "PROTEIN_TITLE_CLIENT@2x"})
        EXPECT_TRUE(decoded.contains(QLatin1String(name))) << name;
    EXPECT_FALSE(decoded.contains(QStringLiteral("PROTEIN_FORM_BACKGROUND")));
}

// The band above the title bar comes from the twice-size left title picture, drawn at its logical
// size: its top rows match the art pixel for pixel. The outer columns, where the border and the
// rounded corner go, are left out.
TEST(HiDpi, TitleBandIsCutFromTheTwiceSizeArt)
{
    EnsureQtApp();
    QWidget host;
    ShowProteinFrame(host);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage shot = host.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage art = SkinPicture(QStringLiteral("PROTEIN_TITLE_LEFT"), 2.0).convertToFormat(QImage::Format_ARGB32);
    const int outer = 2 * 12;
    ASSERT_GT(art.width(), outer + 2);
    int differing = 0;
    for (int y = 0; y < 2 * SuiMetrics::Frame::kBand; ++y)
        for (int x = outer; x < art.width(); ++x)
            differing += shot.pixel(x, y) != art.pixel(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_FALSE(DecodedSkinPictures().contains(QStringLiteral("PROTEIN_TITLE_LEFT")));
}

}  // namespace
