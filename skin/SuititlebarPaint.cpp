// Painting of the title bar: sections, right-side buttons, the icon or control box, the caption.
#include "skin/Suititlebar.h"

#include "skin/Suipublic.h"

#include <QPainter>

using Metrics = SuiTitleBarMetrics;

namespace {

// A transparent button drops its picture's background colour, the bottom-left pixel's.
void DrawButtonPicture(QPainter& p, const QPoint& at, const QImage& pic, bool transparent)
{
    if (transparent)
        DrawTransparent(p, at.x(), at.y(), pic, ToTColor(pic.pixel(0, pic.height() - 1)));
    else
        p.drawImage(at, pic);
}

}  // namespace

TsuiTitleBar::PaintState TsuiTitleBar::DecodePaintState() const
{
    PaintState state;
    state.hovered = m_hovered;
    state.down = m_mouseDown;
    state.devicePixelRatio = devicePixelRatioF();
    state.caption = ToQColor(m_formActive ? m_fontColor : m_inactiveCaptionColor);
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
    const int top = InsideFrame() ? -SuiFrameMetrics::kBand : 0;
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
