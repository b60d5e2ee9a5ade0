// skinart: draws the skin's bitmap resources and the page pictures, and writes them with the
// resource list that embeds them.
//
//   skinart RESOURCES_DIR [--sheets DIR]
//
// RESOURCES_DIR receives skin/<NAME>.png and skin/<NAME>@2x.png (twice the size), page/background.jpg,
// page/status.png and page/status@2x.png, icon/orvane.png, resources.qrc, and icon/hicolor/<N>x<N>.png
// for the desktop's icon theme. With --sheets, one
// enlarged review picture per style is written to DIR as well.

#include "Art.h"
#include "Draw.h"
#include "JpegWriter.h"
#include "Sheet.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

bool WriteFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

int Fail(const QString& what)
{
    std::fprintf(stderr, "skinart: %s\n", qPrintable(what));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    // Text in the review pictures needs the font system; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString sheets;
    const qsizetype flag = args.indexOf(QStringLiteral("--sheets"));
    if (flag >= 0) {
        if (flag + 1 >= args.size())
            return Fail(QStringLiteral("--sheets needs a directory"));
        sheets = args.at(flag + 1);
        args.remove(flag, 2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: skinart RESOURCES_DIR [--sheets DIR]\n");
        return 2;
    }
    const QDir root(args.first());
    for (const char* sub : {"skin", "page", "icon"})
        if (!root.mkpath(QLatin1String(sub)))
            return Fail(QStringLiteral("cannot create %1/%2").arg(root.path(), QLatin1String(sub)));

    QList<skinart::Resource> all;
    skinart::AddButtons(all);
    skinart::AddTitleBars(all);
    skinart::AddTabs(all);
    skinart::AddMisc(all);

    // The same pictures at twice the size, for screens at a device pixel ratio above 1.
    QList<skinart::Resource> twice;
    skinart::SetScale(2);
    skinart::AddButtons(twice);
    skinart::AddTitleBars(twice);
    skinart::AddTabs(twice);
    skinart::AddMisc(twice);
    const QImage status2x = skinart::PixelExact(skinart::StatusGradient);
    skinart::SetScale(1);
    for (skinart::Resource& r : twice)
        r.name += QStringLiteral("@2x");

    QStringList files;
    for (const QList<skinart::Resource>* set : {&all, &twice})
        for (const skinart::Resource& r : *set) {
            const QString rel = QStringLiteral("skin/%1.png").arg(r.name);
            if (!r.image.save(root.filePath(rel), "PNG"))
                return Fail(QStringLiteral("cannot write %1").arg(root.filePath(rel)));
            files.append(rel);
        }
    const QString status2xFile = QStringLiteral("page/status@2x.png");
    if (!status2x.save(root.filePath(status2xFile), "PNG"))
        return Fail(QStringLiteral("cannot write %1").arg(root.filePath(status2xFile)));
    files.append(status2xFile);
    const QString jpeg = QStringLiteral("page/background.jpg");
    if (!WriteFile(root.filePath(jpeg), skinart::EncodeJpeg(skinart::PageBackground(), 90)))
        return Fail(QStringLiteral("cannot write %1").arg(root.filePath(jpeg)));
    const QString status = QStringLiteral("page/status.png");
    if (!skinart::StatusGradient().save(root.filePath(status), "PNG"))
        return Fail(QStringLiteral("cannot write %1").arg(root.filePath(status)));
    const QString icon = QStringLiteral("icon/orvane.png");
    if (!skinart::AppIcon().save(root.filePath(icon), "PNG"))
        return Fail(QStringLiteral("cannot write %1").arg(root.filePath(icon)));
    files << jpeg << status << icon;
    // The desktop's icon theme takes these from the installed files; they are not embedded.
    if (!skinart::WriteThemeIcons(root.filePath(QStringLiteral("icon/hicolor"))))
        return Fail(QStringLiteral("cannot write the icon theme sizes to %1/icon/hicolor").arg(root.path()));
    std::sort(files.begin(), files.end());

    QByteArray qrc;
    QTextStream out(&qrc);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const QString& f : files)
        out << "    <file>" << f << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    out.flush();
    if (!WriteFile(root.filePath(QStringLiteral("resources.qrc")), qrc))
        return Fail(QStringLiteral("cannot write resources.qrc"));

    if (!sheets.isEmpty() && !skinart::WriteContactSheets(all, sheets))
        return Fail(QStringLiteral("cannot write the review pictures to %1").arg(sheets));
    std::printf("skinart: %lld files written to %s\n", static_cast<long long>(files.size()),
                qPrintable(root.path()));
    return 0;
}
