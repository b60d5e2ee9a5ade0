// The art under resources/ is skinart's output, byte for byte: a change to either without the
// other fails here, naming the file. To bring them together again: build skinart and run
// `skinart resources` from the source tree.
#include "tools/support/ToolRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using tools_test::FilesUnder;

namespace {

QByteArray Contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// resources/ files that skinart does not draw.
const QStringList kWrittenByHand{QStringLiteral("README.md")};

}  // namespace

TEST(Skinart, ReproducesTheResourcesByteForByte)
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
        EXPECT_TRUE(QFile::exists(committed))
            << "skinart draws resources/" << file.toStdString() << ", which is missing";
        if (QFile::exists(committed)) {
            EXPECT_TRUE(Contents(committed) == Contents(QDir(out.path()).filePath(file)))
                << "resources/" << file.toStdString() << " differs from what skinart draws";
        }
    }
    for (const QString& file : FilesUnder(resources.path()))
        EXPECT_TRUE(drawn.contains(file) || kWrittenByHand.contains(file))
            << "resources/" << file.toStdString() << " is not drawn by skinart";
}
