// The skinned frame at 200 %: its pictures come from the twice-size art.
#include "skin/SkinPictures.h"
#include "skin/Suiform.h"
#include "support/QtApp.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// Before the application exists: every window of this program is drawn at twice the size.
const bool kScaled = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

TEST(HiDpi, FramePatternAndTitleComeFromTheTwiceSizeArt)
{
    ASSERT_TRUE(kScaled);
    EnsureQtApp();
    QWidget host;
    auto* form = new TsuiForm(&host);
    form->setUIStyle(Protein);
    form->SetClientSize(QSize(600, 100));
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage shot = host.grab().toImage();
    EXPECT_EQ(shot.devicePixelRatio(), 2.0);
    EXPECT_EQ(shot.size(), host.size() * 2);
    const QStringList decoded = DecodedSkinPictures();
    for (const char* name : {"PROTEIN_FORM_BACKGROUND@2x", "PROTEIN_TITLE_LEFT@2x", "PROTEIN_TITLE_CLIENT@2x"})
        EXPECT_TRUE(decoded.contains(QLatin1String(name))) << name;
    EXPECT_FALSE(decoded.contains(QStringLiteral("PROTEIN_FORM_BACKGROUND")));
}

}  // namespace
