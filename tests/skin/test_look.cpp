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
// repeated rows and columns, and the ones where they meet the fixed corners, must not step.
TEST(Look, StretchedButtonFacesHaveNoSeam)
{
    EnsureQtApp();
    const int W = 200, H = 60;
    for (TsuiUIStyle style : kBuiltIn)
        for (int piece = 1; piece <= 3; ++piece) {
            SCOPED_TRACE(std::string(Name(style)) + " piece " + std::to_string(piece));
            QImage src;
            GetInsideThemeBitmap(style, SUI_THEME_BUTTON_STRIP, &src, 3, piece);
            ASSERT_FALSE(src.isNull());
            QImage out(W, H, QImage::Format_RGB32);
            out.fill(Qt::white);
            {
                QPainter p(&out);
                SpitDraw(src, p, QRect(0, 0, W, H), false);
            }
            const int hw = src.width() / 2, hh = src.height() / 2;
            // Repeated rows run from hh to H - (h - hh); repeated columns from hw to W - (w - hw).
            const int rowFrom = hh - 1, rowTo = H - (src.height() - hh);
            const int colFrom = hw - 1, colTo = W - (src.width() - hw);
            int worst = 0;
            QPoint at;
            for (int y = rowFrom; y < rowTo; ++y)
                for (int x = colFrom; x <= colTo; ++x)
                    if (int d = Step(out.pixel(x, y), out.pixel(x, y + 1)); d > worst) {
                        worst = d;
                        at = {x, y};
                    }
            for (int x = colFrom; x < colTo; ++x)
                for (int y = 0; y < H; ++y)
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
                    if (plain.pixel(x, y) != text.pixel(x, y))
                        box |= QRect(x, y, 1, 1);
            ASSERT_FALSE(box.isEmpty());
            const QRgb ink = ToQColor(active ? bar->FontColor() : bar->InactiveCaptionColor()).rgb();
            double worst = 100;
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    worst = std::min(worst, Contrast(ink, plain.pixel(x, y)));
            EXPECT_GE(worst, 4.5);
        }
}

}  // namespace
