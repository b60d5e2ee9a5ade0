// gallery --png writes a page and a frame picture per style; --scale 2 writes every one of them
// at twice the pixel size of the ordinary set.
#include "tools/support/ToolRun.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using tools_test::FilesUnder;

TEST(Gallery, TwiceTheScaleWritesEveryPictureAtTwiceTheSize)
{
    QTemporaryDir once, twice;
    ASSERT_TRUE(once.isValid() && twice.isValid());
    QString errors;
    ASSERT_EQ(tools_test::RunTool(QStringLiteral("gallery"), {QStringLiteral("--png"), once.path()}, &errors), 0)
        << errors.toStdString();
    ASSERT_EQ(tools_test::RunTool(
                  QStringLiteral("gallery"),
                  {QStringLiteral("--png"), twice.path(), QStringLiteral("--scale"), QStringLiteral("2")}, &errors),
              0)
        << errors.toStdString();

    const QStringList files = FilesUnder(once.path());
    // Five styles, a page and a frame each.
    ASSERT_EQ(files.size(), 10) << files.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(FilesUnder(twice.path()), files);
    for (const QString& file : files) {
        const QSize one = QImageReader(QDir(once.path()).filePath(file)).size();
        const QSize two = QImageReader(QDir(twice.path()).filePath(file)).size();
        EXPECT_FALSE(one.isEmpty()) << file.toStdString();
        EXPECT_EQ(two, one * 2) << file.toStdString();
    }
}
