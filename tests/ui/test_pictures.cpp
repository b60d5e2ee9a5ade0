// The windows decode only the pictures they draw, each once, whatever is repainted.

#include "support/UiTestKit.h"

#include "skin/SkinPictures.h"
#include "skin/Suiimagepanel.h"

#include <QSet>

#include <gtest/gtest.h>

using uitest::Windows;

namespace {

TEST(Pictures, WindowsDecodeOnlyWhatTheyDrawAndOnlyOnce)
{
    Windows w;
    w.form1.show();
    ASSERT_TRUE(uitest::WaitUntil([&] { return w.form1.isVisible(); }));
    w.form1.grab();
    const QStringList shown = DecodedSkinPictures();
    EXPECT_TRUE(shown.contains("PROTEIN_BUTTON")) << shown.join(' ').toStdString();

    // The controls start in the fallback style and take their windows' styles before anything is
    // drawn; none of the styles the windows do not use is decoded.
    for (const QString& name : shown) {
        for (const char* unused : {"DEEPBLUE_", "WINXP_", "BLUEGLASS_"})
            EXPECT_FALSE(name.startsWith(unused)) << name.toStdString();
    }

    // Repainting either window decodes nothing again.
    w.form2.grab();
    const QStringList both = DecodedSkinPictures();
    w.form1.grab();
    w.form2.grab();
    EXPECT_EQ(DecodedSkinPictures(), both);
    EXPECT_EQ(QSet<QString>(both.begin(), both.end()).size(), both.size()) << both.join(' ').toStdString();
}

// Above a device pixel ratio of 1 the status line draws the twice-size gradient, at the same size
// in logical pixels; back at 1 the 1x picture.
TEST(Pictures, StatusGradientComesAtTwiceTheSizeAboveRatio1)
{
    Windows w;
    const QImage single = w.form1.suiImagePanel2->Picture();
    ASSERT_FALSE(single.isNull());
    const struct {
        qreal ratio;
        qreal pictureRatio;
        int times;
    } cases[] = {{2.0, 2.0, 2}, {1.0, 1.0, 1}, {1.5, 2.0, 2}};
    for (const auto& c : cases) {
        w.form1.UsePicturesAt(c.ratio);
        const QImage shown = w.form1.suiImagePanel2->Picture();
        EXPECT_EQ(shown.devicePixelRatio(), c.pictureRatio) << c.ratio;
        EXPECT_EQ(shown.size(), single.size() * c.times) << c.ratio;
    }
}

}  // namespace
