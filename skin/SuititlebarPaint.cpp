// Painting of the title bar: sections, right-side buttons, the icon or control box, the caption.
#include "skin/Suititlebar.h"

#include "skin/Suipublic.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Metrics = SuiMetrics::TitleBar;

namespace {

// A transparent button drops its picture's background colour, the bottom-left pixel's.
void DrawButtonPicture(QPainter& p, const QPoint& at, const QImage& pic, bool transparent)
{
    if (transparent)
        DrawTransparent(p, at.x(), at.y(), pic, ToTColor(pic.pixel(0, pic.height() - 1)));
    else
        p.drawImage(at, pic);
}

// WCAG contrast ratio of two relative luminances.
double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

double Luminance(const QColor& c)
{
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// ink, or the first of its steps towards white or black (whichever reads better on behind) that
// reaches a readable contrast with every pixel of behind.
QColor ReadableOn(const QColor& ink, const QImage& behind)
{
    constexpr double kReadable = 4.5;
    constexpr int kSteps = 32;
    double darkest = 1.0, brightest = 0.0;
    for (int y = 0; y < behind.height(); ++y)
        for (int x = 0; x < behind.width(); ++x) {
            const double l = Luminance(behind.pixelColor(x, y));
            darkest = std::min(darkest, l);
            brightest = std::max(brightest, l);
        }
    const auto worst = [&](const QColor& c) {
        const double l = Luminance(c);
        return std::min(Contrast(l, darkest), Contrast(l, brightest));
    };
    if (behind.isNull() || worst(ink) >= kReadable) return ink;
    const QColor end = Contrast(1.0, brightest) >= Contrast(0.0, darkest) ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step < kSteps; ++step) {
        const double t = double(step) / kSteps;
        const QColor c
            = QColor::fromRgbF(float(double(ink.redF()) + (double(end.redF()) - double(ink.redF())) * t),
                               float(double(ink.greenF()) + (double(end.greenF()) - double(ink.greenF())) * t),
                               float(double(ink.blueF()) + (double(end.blueF()) - double(ink.blueF())) * t));
        if (worst(c) >= kReadable) return c;
    }
    return end;
}

}  // namespace

TColor TsuiTitleBar::InactiveCaptionColor() const
{
    if (m_inactiveCaptionColor) return *m_inactiveCaptionColor;
    const QColor ink = palette().color(QPalette::Inactive, QPalette::WindowText);
    const int space = m_layout.captionRight - m_layout.captionX;
    if (space <= 0 || m_caption.isEmpty() || size().isEmpty()) return ToTColor(ink);
    QImage bar(size(), QImage::Format_RGB32);
    bar.fill(Qt::black);
    QPainter p(&bar);
    DrawSectionsTo(p, 1.0);
    p.end();
    const QFontMetrics fm(font());
    const QRect text(m_layout.captionX, m_layout.captionY, fm.horizontalAdvance(CutCaption(m_caption, space)),
                     fm.height());
    return ToTColor(ReadableOn(ink, bar.copy(text.intersected(bar.rect()))));
}

TsuiTitleBar::PaintState TsuiTitleBar::DecodePaintState() const
{
    PaintState state;
    state.hovered = m_hovered;
    state.down = m_mouseDown;
    state.devicePixelRatio = devicePixelRatioF();
    state.caption = ToQColor(m_formActive ? m_fontColor : InactiveCaptionColor());
    return state;
}

void TsuiTitleBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const PaintState state = DecodePaintState();
    DrawSectionsTo(p, state.devicePixelRatio);
    DrawButtons(p, state);
    DrawControlBoxAndIcon(p, state);
    DrawCaption(p, state);
}

void TsuiTitleBar::DrawSectionsTo(QPainter& p, qreal devicePixelRatio) const
{
    const int k = FrameInset();
    const int top = InsideFrame() ? -SuiMetrics::Frame::kBand : 0;
    int left = -k;
    int right = width() + k;
    const TsuiTitleBarSection* client = nullptr;
    for (int i = 0; i < m_sections.Count(); ++i) {
        const TsuiTitleBarSection* s = m_sections.Items(i);
        switch (s->Align()) {
        case suiLeft:
            p.drawImage(left, top, s->Picture(devicePixelRatio));
            left += s->Width();
            break;
        case suiRight:
            right -= s->Width();
            p.drawImage(right, top, s->Picture(devicePixelRatio));
            break;
        case suiClient: client = s; break;
        }
    }
    if (client && !client->PictureSize().isEmpty() && right > left)
        p.drawImage(QRect(left, top, right - left, client->PictureSize().height()), client->Picture(devicePixelRatio));
}

void TsuiTitleBar::DrawButtons(QPainter& p, const PaintState& state) const
{
    for (const auto& [index, r] : m_layout.buttons) {
        const TsuiTitleBarButton* b = m_buttons.Items(index);
        DrawButtonPicture(p, r.topLeft(), b->Pic(index == state.hovered, state.down, state.devicePixelRatio),
                          b->Transparent());
    }
}

void TsuiTitleBar::DrawControlBoxAndIcon(QPainter& p, const PaintState& state) const
{
    if (m_layout.controlBox < 0) return;
    const QRect& r = m_layout.controlBoxRect;
    if (m_drawAppIcon) {
        const QIcon icon = Host()->windowIcon();
        const QSize size(Metrics::kIconSize, Metrics::kIconSize);
        if (!icon.isNull()) p.drawPixmap(r.x() + Metrics::kIconLeft, r.y(), icon.pixmap(size, state.devicePixelRatio));
        return;
    }
    const TsuiTitleBarButton* b = m_buttons.Items(m_layout.controlBox);
    const QImage& pic = b->Pic(m_layout.controlBox == state.hovered, state.down, state.devicePixelRatio);
    DrawButtonPicture(p, r.topLeft() - QPoint(0, Metrics::kControlBoxRaise), pic, b->Transparent());
}

void TsuiTitleBar::DrawCaption(QPainter& p, const PaintState& state) const
{
    const int space = m_layout.captionRight - m_layout.captionX;
    if (space <= 0 || m_caption.isEmpty()) return;
    p.save();
    p.setClipRect(QRect(m_layout.captionX, 0, space, height()));
    p.setFont(font());
    p.setPen(state.caption);
    const QFontMetrics fm(font());
    p.drawText(QRect(m_layout.captionX, m_layout.captionY, space, fm.height()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, CutCaption(m_caption, space));
    p.restore();
}
