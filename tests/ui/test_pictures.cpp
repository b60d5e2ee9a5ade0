// The windows decode only the pictures they draw, each once, whatever is repainted.

#include "support/UiTestKit.h"

#include "skin/SkinPictures.h"

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

} // namespace
