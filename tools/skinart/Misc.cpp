#include "Art.h"
#include "Draw.h"

#include <QPainterPath>
#include <QRandomGenerator>

#include <cmath>

namespace skinart {
namespace {

QImage Column(int w, const QList<QColor>& rows)
{
    QImage img(w, int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, rows[y]);
    return img;
}

// The two 8 x 8 brush patterns of the form's client area.
QImage ProteinFormBackground()
{
    const QColor w(255, 255, 255), g(0xEE, 0xEE, 0xEE);
    return Column(8, {w, w, w, g, w, w, w, g});
}

QImage MacFormBackground()
{
    const QColor w(255, 255, 255), a(0xEF, 0xEF, 0xEF), b(0xE8, 0xE8, 0xE8);
    return Column(8, {w, a, b, a, w, a, b, a});
}

// The check mark of checked menu items; white is its transparent colour.
QImage MenuChecked()
{
    QImage img = Solid(16, 16, Qt::white);
    const int tops[] = {6, 7, 8, 9, 8, 7, 6, 5, 4, 3};
    for (int i = 0; i < 10; ++i)
        for (int dy = 0; dy < 3; ++dy)
            img.setPixelColor(3 + i, tops[i] + dy, Qt::black);
    return img;
}

QImage MacMenuSelect()
{
    QList<QColor> rows;
    for (int y = 0; y < 21; ++y)
        rows.append(y == 20 ? QColor("#2a5fbd") : Mix(QColor("#6ba7ef"), QColor("#2d6dd6"), y / 19.0));
    return Column(1, rows);
}

QImage MacMenuBar()
{
    QList<QColor> rows;
    for (int y = 0; y < 22; ++y)
        rows.append(y % 2 ? QColor("#f4f4f4") : QColor("#ffffff"));
    return Column(1, rows);
}

// The spin arrows: a black triangle on olive, one olive row above and below.
QImage SpinGlyph(bool up)
{
    QImage img = Solid(9, 6, QColor(128, 128, 0));
    for (int r = 0; r < 4; ++r) {
        const int y = up ? 1 + r : 4 - r;
        for (int x = 4 - r; x <= 4 + r; ++x)
            img.setPixelColor(x, y, Qt::black);
    }
    return img;
}

}  // namespace

void AddMisc(QList<Resource>& out)
{
    out.append({QStringLiteral("PROTEIN_FORM_BACKGROUND"), PixelExact(ProteinFormBackground)});
    out.append({QStringLiteral("MACOS_FORM_BACKGROUND"), PixelExact(MacFormBackground)});
    out.append({QStringLiteral("MENU_CHECKED"), PixelExact(MenuChecked)});
    out.append({QStringLiteral("MACOS_MENU_SELECT"), PixelExact(MacMenuSelect)});
    out.append({QStringLiteral("MACOS_MENU_BAR"), PixelExact(MacMenuBar)});
    out.append({QStringLiteral("SpinUp"), PixelExact([] { return SpinGlyph(true); })});
    out.append({QStringLiteral("SpinDown"), PixelExact([] { return SpinGlyph(false); })});
}

QImage StatusGradient()
{
    const QColor top = FromBgr(0xFEC7A8), bottom = FromBgr(0xDA9A56);
    QImage img(8, 37, QImage::Format_RGB888);
    for (int y = 0; y < 37; ++y) {
        const QColor c = Mix(top, bottom, y / 36.0);
        for (int x = 0; x < 8; ++x)
            img.setPixelColor(x, y, c);
    }
    return img;
}

QImage PageBackground()
{
    // Drawn at the current scale: every device pixel samples the picture at its centre in 1x
    // coordinates, so the twice-size picture shows the same rings, only sharper.
    const int w = 791, h = 669, k = Scale();
    QImage img(w * k, h * k, QImage::Format_RGB32);
    const QColor light("#f0f6fd"), deep("#c6dcf3");
    // Faint rings spreading from the lower right of the visible part, like a signal; kept soft so that
    // the group boxes' black text stays the strongest thing on the page.
    const double cx = 470, cy = 430, spacing = 38;
    QRandomGenerator grain(20121107);
    for (int row = 0; row < img.height(); ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(row));
        const double y = (row + 0.5) / k - 0.5;
        for (int col = 0; col < img.width(); ++col) {
            const double x = (col + 0.5) / k - 0.5;
            const double t = std::clamp((x * 0.45 + y) / (w * 0.45 + h) * 1.6, 0.0, 1.0);
            QColor c = Mix(light, deep, t);
            const double d = std::hypot(x - cx, y - cy);
            const double phase = std::fmod(d, spacing) / spacing;
            const double ring = std::exp(-std::pow((phase - 0.5) * 7.0, 2.0));
            const double fade = std::clamp(1.0 - d / 520.0, 0.0, 1.0);
            c = Mix(c, Qt::white, 0.22 * ring * fade);
            const int n = int(grain.bounded(5)) - 2;
            line[col] = qRgb(std::clamp(c.red() + n, 0, 255), std::clamp(c.green() + n, 0, 255),
                             std::clamp(c.blue() + n, 0, 255));
        }
    }
    return img;
}

}  // namespace skinart
