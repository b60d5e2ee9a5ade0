// The windows decode only the pictures they draw, each once, whatever is repainted.

#include "support/UiTestKit.h"

#include "skin/SkinPictures.h"
#include "skin/Suiimagepanel.h"

#include <QSet>

#include <algorithm>
#include <cstdlib>

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

// Above a device pixel ratio of 1 the status line and the page draw their twice-size pictures, at
// the same size in logical pixels; back at 1 the 1x pictures.
TEST(Pictures, StatusGradientAndPageComeAtTwiceTheSizeAboveRatio1)
{
    Windows w;
    TsuiImagePanel* const panels[] = {w.main.suiImagePanel2, w.main.suiImagePanel3};
    QList<QImage> single;
    for (TsuiImagePanel* panel : panels) {
        single.append(panel->Picture());
        ASSERT_FALSE(single.back().isNull());
    }
    const struct {
        qreal ratio;
        qreal pictureRatio;
        int times;
    } cases[] = {{2.0, 2.0, 2}, {1.0, 1.0, 1}, {1.5, 2.0, 2}};
    for (const auto& c : cases) {
        w.form1.UsePicturesAt(c.ratio);
        for (int i = 0; i < 2; ++i) {
            const QImage shown = panels[i]->Picture();
            EXPECT_EQ(shown.devicePixelRatio(), c.pictureRatio) << c.ratio << " panel " << i;
            EXPECT_EQ(shown.size(), single[i].size() * c.times) << c.ratio << " panel " << i;
        }
    }

    // The twice-size page picture is the 1x one drawn finer, not another picture: halved, it stays
    // close to the 1x one.
    w.form1.UsePicturesAt(2.0);
    const QImage halved
        = panels[1]->Picture().scaled(single[1].size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int worst = 0;
    for (int y = 0; y < halved.height(); y += 7)
        for (int x = 0; x < halved.width(); x += 7) {
            const QRgb a = halved.pixel(x, y), b = single[1].pixel(x, y);
            worst = std::max(
                {worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_LE(worst, 12);
}

}  // namespace
