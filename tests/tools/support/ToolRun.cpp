#include "tools/support/ToolRun.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>

namespace tools_test {

QString BinDir() { return qEnvironmentVariable("ORVANE_BIN_DIR"); }

QString SourceDir() { return qEnvironmentVariable("ORVANE_SOURCE_DIR"); }

int RunTool(const QString& program, const QStringList& args, QString* errors)
{
    QProcess process;
    process.start(QDir(BinDir()).filePath(program), args);
    // A generous bound for a loaded machine: the tools take seconds.
    const bool finished = process.waitForStarted(60000) && process.waitForFinished(240000);
    if (errors) *errors = QString::fromLocal8Bit(process.readAllStandardError());
    if (!finished || process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
}

QStringList FilesUnder(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

}  // namespace tools_test
