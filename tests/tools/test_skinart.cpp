// The art under resources/ is skinart's output: a change to either without the other fails here,
// naming the file. Pictures are compared by their decoded pixels, so that another zlib or libjpeg
// writing the same pixels in other bytes is no difference. To bring them together again: build
// skinart and run `skinart resources` from the source tree.
#include "skin/JpegImage.h"
#include "tools/support/ToolRun.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using tools_test::FilesUnder;

namespace {

QByteArray Contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A picture's pixels as 32-bit ARGB; the JPEG pictures through the decoder the program uses.
QImage Pixels(const QString& path)
{
    const QImage image = path.endsWith(QLatin1String(".jpg")) ? DecodeJpeg(Contents(path)) : QImage(path);
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool IsPicture(const QString& file)
{
    return file.endsWith(QLatin1String(".png")) || file.endsWith(QLatin1String(".jpg"));
}

// The largest difference between two pixels in any channel, alpha included.
int ChannelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qAlpha(a) - qAlpha(b)), std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// Another processor or maths library may round an antialiased edge a step the other way: the pictures
// match when no channel is more than kRoundingSteps off and at most one pixel in a hundred (and one) is
// off at all. A drawing change moves an edge or a colour over many pixels and fails.
constexpr int kRoundingSteps = 2;

// Empty when the two pictures match; else what differs.
std::string PixelDifference(const QImage& committed, const QImage& drawn)
{
    if (committed.isNull() || drawn.isNull())
        return committed.isNull() ? "it does not decode" : "skinart's does not decode";
    if (committed.size() != drawn.size()) {
        return QStringLiteral("%1 x %2 pixels, skinart draws %3 x %4")
            .arg(committed.width())
            .arg(committed.height())
            .arg(drawn.width())
            .arg(drawn.height())
            .toStdString();
    }
    int off = 0;
    int worst = 0;
    QPoint worstAt;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const int d = ChannelDistance(committed.pixel(x, y), drawn.pixel(x, y));
            if (d == 0) continue;
            ++off;
            if (d > worst) {
                worst = d;
                worstAt = QPoint(x, y);
            }
        }
    }
    const qsizetype allowed = 1 + committed.width() * committed.height() / 100;
    if (worst <= kRoundingSteps && off <= allowed) return {};
    return QStringLiteral("%1 pixels differ, by up to %2 at (%3, %4): #%5, skinart draws #%6")
        .arg(off)
        .arg(worst)
        .arg(worstAt.x())
        .arg(worstAt.y())
        .arg(committed.pixel(worstAt), 8, 16, QLatin1Char('0'))
        .arg(drawn.pixel(worstAt), 8, 16, QLatin1Char('0'))
        .toStdString();
}

// resources/ files that skinart does not draw.
const QStringList kWrittenByHand{QStringLiteral("README.md")};

}  // namespace

TEST(Skinart, ReproducesTheResources)
{
    ASSERT_FALSE(tools_test::SourceDir().isEmpty()) << "ORVANE_SOURCE_DIR is not set";
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QString errors;
    ASSERT_EQ(tools_test::RunTool(QStringLiteral("skinart"), {out.path()}, &errors), 0) << errors.toStdString();

    const QDir resources(QDir(tools_test::SourceDir()).filePath(QStringLiteral("resources")));
    const QStringList drawn = FilesUnder(out.path());
    ASSERT_FALSE(drawn.isEmpty());
    for (const QString& file : drawn) {
        const QString committed = resources.filePath(file);
        const QString fresh = QDir(out.path()).filePath(file);
        if (!QFile::exists(committed)) {
            ADD_FAILURE() << "skinart draws resources/" << file.toStdString() << ", which is missing";
        } else if (IsPicture(file)) {
            EXPECT_EQ(PixelDifference(Pixels(committed), Pixels(fresh)), "") << "resources/" << file.toStdString();
        } else {
            EXPECT_TRUE(Contents(committed) == Contents(fresh))
                << "resources/" << file.toStdString() << " differs from what skinart writes";
        }
    }
    for (const QString& file : FilesUnder(resources.path()))
        EXPECT_TRUE(drawn.contains(file) || kWrittenByHand.contains(file))
            << "resources/" << file.toStdString() << " is not drawn by skinart";
}
