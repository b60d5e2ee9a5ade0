// The built-in styles as a person sees them: stretched faces without seams, captions that can
// be read on their bars.

#include "skin/Suiform.h"
#include "skin/Suipublic.h"
#include "skin/Suithemes.h"
#include "skin/Suititlebar.h"
#include "support/QtApp.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <memory>

namespace {

constexpr TsuiUIStyle kBuiltIn[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

const char* Name(TsuiUIStyle s)
{
    switch (s) {
    case MacOS: return "MacOS";
    case WinXP: return "WinXP";
    case DeepBlue: return "DeepBlue";
    case Protein: return "Protein";
    case BlueGlass: return "BlueGlass";
    default: return "?";
    }
}

int Step(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// A button face stretched far beyond its picture repeats its middle row and column: neighbouring
// repeated rows and columns, and the ones where they meet the fixed corners, must not step. The
// twice-size faces are drawn on a canvas at a device pixel ratio of 2 and checked in its pixels.
TEST(Look, StretchedButtonFacesHaveNoSeam)
{
    EnsureQtApp();
    const int W = 200, H = 60;
    for (int k : {1, 2})
        for (TsuiUIStyle style : kBuiltIn)
            for (int piece = 1; piece <= 3; ++piece) {
                SCOPED_TRACE(std::string(Name(style)) + " piece " + std::to_string(piece) + " x" + std::to_string(k));
                QImage src;
                GetInsideThemeBitmap(style, SUI_THEME_BUTTON_STRIP, &src, 3, piece, k);
                ASSERT_FALSE(src.isNull());
                ASSERT_EQ(src.devicePixelRatio(), k);
                QImage out(W * k, H * k, QImage::Format_RGB32);
                out.setDevicePixelRatio(k);
                out.fill(Qt::white);
                {
                    QPainter p(&out);
                    SpitDraw(src, p, QRect(0, 0, W, H), false);
                }
                // Repeated rows run from hh to H - (h - hh); repeated columns from hw to W - (w - hw).
                const int w = src.width() / k, h = src.height() / k;
                const int hw = w / 2, hh = h / 2;
                const int rowFrom = (hh - 1) * k, rowTo = (H - (h - hh)) * k;
                const int colFrom = (hw - 1) * k, colTo = (W - (w - hw)) * k;
                int worst = 0;
                QPoint at;
                for (int y = rowFrom; y < rowTo; ++y)
                    for (int x = colFrom; x <= colTo; ++x)
                        if (int d = Step(out.pixel(x, y), out.pixel(x, y + 1)); d > worst) {
                            worst = d;
                            at = {x, y};
                        }
                for (int x = colFrom; x < colTo; ++x)
                    for (int y = 0; y < H * k; ++y)
                        if (int d = Step(out.pixel(x, y), out.pixel(x + 1, y)); d > worst) {
                            worst = d;
                            at = {x, y};
                        }
                EXPECT_LE(worst, 2) << "step at " << at.x() << "," << at.y();
            }
}

double Luminance(QRgb c)
{
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}

double Contrast(QRgb a, QRgb b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The caption is measured against the bar pixels behind it: the title bar is drawn once with and
// once without its caption, and every bar pixel inside the box of changed pixels must set off the
// caption colour by 4.5 : 1, for the active and the inactive window.
TEST(Look, CaptionsReadOnTheirBars)
{
    EnsureQtApp();
    const QString caption = QStringLiteral("Orvane V1.00.05 2012-11-7 Support Com10");
    for (TsuiUIStyle style : kBuiltIn)
        for (bool active : {true, false}) {
            SCOPED_TRACE(std::string(Name(style)) + (active ? " active" : " inactive"));
            QWidget host;
            auto* form = new TsuiForm(&host);
            form->setUIStyle(style);
            form->SetClientSize(QSize(411, 200));
            TsuiTitleBar* bar = form->TitleBar();
            bar->setFormActive(active);
            bar->setCaption(QString());
            const QImage plain = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
            bar->setCaption(caption);
            const QImage text = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QRect box;
            for (int y = 0; y < plain.height(); ++y)
                for (int x = 0; x < plain.width(); ++x)
                    if (plain.pixel(x, y) != text.pixel(x, y)) box |= QRect(x, y, 1, 1);
            ASSERT_FALSE(box.isEmpty());
            const QRgb ink = ToQColor(active ? bar->FontColor() : bar->InactiveCaptionColor()).rgb();
            double worst = 100;
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    worst = std::min(worst, Contrast(ink, plain.pixel(x, y)));
            EXPECT_GE(worst, 4.5);
        }
}

// A style's normal button stretched to the main window's 80 x 27 over its form colour, and its
// title bar's middle picture as the bar shows it, at 100 pixels wide.
QImage ButtonFace(TsuiUIStyle style)
{
    QImage out(80, 27, QImage::Format_RGB32);
    out.fill(ToQColor(GetInsideThemeColor(style, SUI_THEME_FORM_COLOR)));
    QImage button;
    GetInsideThemeBitmap(style, SUI_THEME_BUTTON_STRIP, &button, 3, 1);
    QPainter p(&out);
    SpitDraw(button, p, out.rect(), GetInsideThemeBool(style, SUI_THEME_BUTTON_TRANSPARENT));
    return out;
}

QImage TitleBar(TsuiUIStyle style)
{
    QImage title;
    GetInsideThemeBitmap(style, SUI_THEME_TITLE_CLIENT_PICTURE, &title);
    return title.copy(0, 3, title.width(), title.height() - 3).scaled(100, 20).convertToFormat(QImage::Format_RGB32);
}

double MeanDistance(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::hypot(qRed(p) - qRed(q), std::hypot(qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)));
        }
    return sum / (a.width() * a.height());
}

// Two styles are told apart at a glance by their buttons and by their title bars. The mean RGB
// distance between two styles' buttons, and between their title bars, must each be at least 30
// (of 441). 30 is the distance between a light grey face and a light blue one (such as #e4e4e4
// and #c8d8f0), the least a person notices across a whole button without comparing side by
// side; faces that differ only in a tint of their highlights and frame measure below 15.
// Until a colour is set, the inactive caption takes the palette's inactive text, lightened on a
// dark bar just as far as it must be; the style setter never overwrites it.
TEST(Look, InactiveCaptionFollowsThePaletteUntilSet)
{
    EnsureQtApp();
    QWidget host;
    auto* form = new TsuiForm(&host);
    form->SetClientSize(QSize(411, 200));
    TsuiTitleBar* bar = form->TitleBar();
    bar->setCaption(QStringLiteral("Orvane"));
    bar->setFormActive(false);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
    bar->setPalette(palette);
    form->setUIStyle(MacOS);
    EXPECT_EQ(bar->InactiveCaptionColor(), 0x000000u) << "black reads on the light bar as it is";
    form->setUIStyle(Protein);
    const QColor onDark = ToQColor(bar->InactiveCaptionColor());
    EXPECT_GT(onDark.lightness(), 100);
    EXPECT_EQ(onDark.red(), onDark.green()) << "a grey: only lightened";

    bar->setInactiveCaptionColor(0x123456);
    form->setUIStyle(WinXP);
    EXPECT_EQ(bar->InactiveCaptionColor(), 0x123456u);
}

TEST(Look, StylesLookDifferent)
{
    EnsureQtApp();
    for (size_t i = 0; i < std::size(kBuiltIn); ++i)
        for (size_t j = i + 1; j < std::size(kBuiltIn); ++j) {
            SCOPED_TRACE(std::string(Name(kBuiltIn[i])) + " / " + Name(kBuiltIn[j]));
            const double buttons = MeanDistance(ButtonFace(kBuiltIn[i]), ButtonFace(kBuiltIn[j]));
            const double bars = MeanDistance(TitleBar(kBuiltIn[i]), TitleBar(kBuiltIn[j]));
            EXPECT_GE(buttons, 30);
            EXPECT_GE(bars, 30);
        }
}

}  // namespace
