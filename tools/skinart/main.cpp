// skinart: draws the skin's bitmap resources and the page pictures, and writes them with the
// resource list that embeds them.
//
//   skinart RESOURCES_DIR [--sheets DIR]
//
// RESOURCES_DIR receives skin/<NAME>.png and skin/<NAME>@2x.png (twice the size), page/background.jpg,
// page/background@2x.jpg, page/status.png and page/status@2x.png, icon/orvane.png, resources.qrc, and
// icon/hicolor/<N>x<N>.png for the desktop's icon theme. With --sheets, one enlarged review picture per
// style is written to DIR as well.

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

int Fail(const QString& what)
{
    std::fprintf(stderr, "skinart: %s\n", qPrintable(what));
    return 1;
}

// Writes files under one directory and keeps the list of what it wrote, for the resource list.
class Output {
public:
    explicit Output(const QDir& root)
        : m_root(root)
    { }

    bool Bytes(const QString& rel, const QByteArray& data)
    {
        QFile f(m_root.filePath(rel));
        return Done(rel, f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size());
    }
    bool Png(const QString& rel, const QImage& image) { return Done(rel, image.save(m_root.filePath(rel), "PNG")); }

    QStringList written;
    QString failed;  // the path that could not be written

private:
    bool Done(const QString& rel, bool ok)
    {
        if (ok)
            written.append(rel);
        else
            failed = m_root.filePath(rel);
        return ok;
    }

    QDir m_root;
};

// Every picture the skin names; at scale 2 the same pictures at twice the size, named NAME@2x.
QList<skinart::Resource> DrawSkin(int scale)
{
    QList<skinart::Resource> all;
    skinart::SetScale(scale);
    skinart::AddButtons(all);
    skinart::AddTitleBars(all);
    skinart::AddTabs(all);
    skinart::AddMisc(all);
    skinart::SetScale(1);
    if (scale != 1)
        for (skinart::Resource& r : all)
            r.name += QStringLiteral("@%1x").arg(scale);
    return all;
}

bool WriteSkin(Output& out, const QList<skinart::Resource>& pictures)
{
    for (const skinart::Resource& r : pictures)
        if (!out.Png(QStringLiteral("skin/%1.png").arg(r.name), r.image)) return false;
    return true;
}

// The page's background and status line, and the application icon.
bool WritePageAndIcon(Output& out)
{
    skinart::SetScale(2);
    const QImage status2x = skinart::PixelExact(skinart::StatusGradient);
    const QImage background2x = skinart::PageBackground();
    skinart::SetScale(1);
    return out.Png(QStringLiteral("page/status@2x.png"), status2x)
        && out.Bytes(QStringLiteral("page/background@2x.jpg"), skinart::EncodeJpeg(background2x, 90))
        && out.Bytes(QStringLiteral("page/background.jpg"), skinart::EncodeJpeg(skinart::PageBackground(), 90))
        && out.Png(QStringLiteral("page/status.png"), skinart::StatusGradient())
        && out.Png(QStringLiteral("icon/orvane.png"), skinart::AppIcon());
}

// The resource list that embeds what was written, in name order.
QByteArray ResourceList(QStringList files)
{
    std::sort(files.begin(), files.end());
    QByteArray qrc;
    QTextStream out(&qrc);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const QString& f : files)
        out << "    <file>" << f << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    out.flush();
    return qrc;
}

}  // namespace

int main(int argc, char** argv)
{
    // Text in the review pictures needs the font system; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString sheets;
    const qsizetype flag = args.indexOf(QStringLiteral("--sheets"));
    if (flag >= 0) {
        if (flag + 1 >= args.size()) return Fail(QStringLiteral("--sheets needs a directory"));
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

    Output out(root);
    const QList<skinart::Resource> all = DrawSkin(1);
    if (!WriteSkin(out, all) || !WriteSkin(out, DrawSkin(2)) || !WritePageAndIcon(out))
        return Fail(QStringLiteral("cannot write %1").arg(out.failed));
    const QStringList embedded = out.written;
    // The desktop's icon theme takes these from the installed files; they are not embedded.
    if (!skinart::WriteThemeIcons(root.filePath(QStringLiteral("icon/hicolor"))))
        return Fail(QStringLiteral("cannot write the icon theme sizes to %1/icon/hicolor").arg(root.path()));
    if (!out.Bytes(QStringLiteral("resources.qrc"), ResourceList(embedded)))
        return Fail(QStringLiteral("cannot write resources.qrc"));

    if (!sheets.isEmpty() && !skinart::WriteContactSheets(all, sheets))
        return Fail(QStringLiteral("cannot write the review pictures to %1").arg(sheets));
    std::printf("skinart: %lld files written to %s\n", static_cast<long long>(embedded.size()),
                qPrintable(root.path()));
    return 0;
}
