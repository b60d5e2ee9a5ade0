#pragma once
// Runs the art tools the build made, as a user would from the command line.

#include <QString>
#include <QStringList>

namespace tools_test {

// ORVANE_BIN_DIR and ORVANE_SOURCE_DIR, which CTest sets; empty when unset.
QString BinDir();
QString SourceDir();

// Runs BinDir()/program with args and waits for it; its exit status, or -1 when it did not start
// or crashed. Whatever it wrote to stderr goes to errors.
int RunTool(const QString& program, const QStringList& args, QString* errors = nullptr);

// The files under dir, as paths relative to it, sorted.
QStringList FilesUnder(const QString& dir);

}  // namespace tools_test
