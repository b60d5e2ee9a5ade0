// Buttons: the sizes the windows use, and the glyph layouts.
#include "tools/gallery/Sections.h"

#include "skin/Suibutton.h"

#include <QPainter>

namespace {

// A 16 x 16 picture on the skin's transparent colour (its top-left pixel, so transparent):
// a filled circle in the given colour.
QImage Dot(QColor colour)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(ToQColor(kSuiTransparentColor));
    QPainter p(&img);
    p.setPen(Qt::black);
    p.setBrush(colour);
    p.drawEllipse(2, 2, 11, 11);
    return img;
}

// Two images side by side: enabled, then disabled.
QImage TwoImageGlyph()
{
    QImage img(32, 16, QImage::Format_RGB32);
    img.fill(ToQColor(kSuiTransparentColor));
    QPainter p(&img);
    p.drawImage(0, 0, Dot(QColor(40, 170, 60)));
    p.drawImage(16, 0, Dot(QColor(170, 170, 170)));
    return img;
}

TsuiButton* MakeButton(TsuiUIStyle style, QWidget* cell, const QString& caption, QSize size)
{
    auto* b = new TsuiButton(cell);
    b->setUIStyle(style);
    b->setCaption(caption);
    b->setGeometry(QRect(QPoint(0, 0), size));
    return b;
}

}  // namespace

QWidget* BuildButtonSection(TsuiUIStyle style, QWidget* parent)
{
    auto* grid = new gallery::StateGrid(parent);
    grid->AddRow(QStringLiteral("80 x 27"), [style](gallery::State, QWidget* cell) {
        return MakeButton(style, cell, QStringLiteral("Com Setting"), QSize(80, 27));
    });
    grid->AddRow(QStringLiteral("65 x 23"), [style](gallery::State, QWidget* cell) {
        return MakeButton(style, cell, QStringLiteral("Write"), QSize(65, 23));
    });
    grid->AddRow(QStringLiteral("glyph left"), [style](gallery::State, QWidget* cell) {
        TsuiButton* b = MakeButton(style, cell, QStringLiteral("Open"), QSize(80, 27));
        b->setGlyph(Dot(QColor(220, 60, 40)));
        return b;
    });
    grid->AddRow(QStringLiteral("two-image glyph, top"), [style](gallery::State, QWidget* cell) {
        TsuiButton* b = MakeButton(style, cell, QStringLiteral("Search"), QSize(80, 45));
        b->setGlyph(TwoImageGlyph());
        b->setLayout(TsuiButton::blGlyphTop);
        return b;
    });
    return grid;
}
