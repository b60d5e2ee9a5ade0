#include "skin/Suigroupbox.h"

#include "skin/Suimetrics.h"
#include "skin/Suipublic.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace Metrics = SuiMetrics::GroupBox;

namespace {

// The pixel height of the font's characters (the absolute font height).
int FontHeight(const QFont& font) { return QFontInfo(font).pixelSize(); }

// A horizontal or vertical line from a up to b, b itself left out (the next line
// starts on it).
void LineTo(QPainter& p, const QPoint& a, const QPoint& b, const QColor& c)
{
    if (a.y() == b.y()) {
        if (b.x() > a.x())
            p.fillRect(a.x(), a.y(), b.x() - a.x(), 1, c);
        else if (b.x() < a.x())
            p.fillRect(b.x() + 1, a.y(), a.x() - b.x(), 1, c);
    } else if (a.x() == b.x()) {
        if (b.y() > a.y())
            p.fillRect(a.x(), a.y(), 1, b.y() - a.y(), c);
        else
            p.fillRect(a.x(), b.y() + 1, 1, a.y() - b.y(), c);
    }
}

}  // namespace

TsuiCustomGroupBox::TsuiCustomGroupBox(QWidget* parent)
    : TsuiCustomPanel(parent)
{
    resize(Metrics::kWidth, Metrics::kHeight);
    setParentColor(true);
    setTransparent(false);
    alignControls();
    setUIStyle(GetSUIFormStyle(parent ? parent->window() : nullptr));
}

void TsuiCustomGroupBox::setUIStyle(TsuiUIStyle style)
{
    m_uiStyle = style;
    UpdateUIStyle(style, m_fileTheme);
}

void TsuiCustomGroupBox::UpdateUIStyle(TsuiUIStyle style, TsuiFileTheme* theme)
{
    ContainerApplyUIStyle(this, style, theme);
    const TsuiUIStyle effective = EffectiveStyle(theme, style);
    // The caption colour is the font colour: children that follow the group box's
    // font (its labels) take it too, as they would its font.
    QPalette pal = palette();
    const QColor fontColor = ToQColor(GetInsideThemeColor(effective, SUI_THEME_GROUPBOX_FONT_COLOR));
    pal.setColor(QPalette::Active, QPalette::WindowText, fontColor);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, fontColor);
    setPalette(pal);
    setBorderColor(GetInsideThemeColor(effective, SUI_THEME_CONTROL_BORDER_COLOR));
}

void TsuiCustomGroupBox::setFileTheme(TsuiFileTheme* theme)
{
    WatchFileTheme(this, m_fileTheme, theme, [this] {
        ContainerApplyUIStyle(this, DeepBlue, nullptr);
        setUIStyle(DeepBlue);
    });
    setUIStyle(m_uiStyle);
}

void TsuiCustomGroupBox::setBorderColor(TColor c)
{
    m_borderColor = c;
    update();
}

void TsuiCustomGroupBox::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

// Aligned children keep clear of the frame and the caption.
void TsuiCustomGroupBox::alignControls()
{
    const int margin = Metrics::kChildMargin;
    setContentsMargins(margin, FontHeight(font()) + Metrics::kChildBelowCaption, margin, margin);
}

void TsuiCustomGroupBox::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::FontChange) alignControls();
    TsuiCustomPanel::changeEvent(e);
}

void TsuiCustomGroupBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintBackground(p);

    const QFontMetrics fm(font());
    const int w = width();
    const int h = height();
    const int y = FontHeight(font()) / 2 + Metrics::kFrameBelowCaptionMiddle;
    const int captionWidth = m_caption.isEmpty() ? 0 : fm.horizontalAdvance(m_caption);
    const bool rtl = layoutDirection() == Qt::RightToLeft;

    // The frame runs round from just left of the caption gap and stops at its far side.
    const int captionX = rtl ? w - 1 - Metrics::kCaptionIndent - captionWidth : Metrics::kCaptionIndent;
    QList<QPoint> frame;
    if (!rtl) {
        frame = {{Metrics::kFrameStub, y}, {0, y}, {0, h - 1}, {w - 1, h - 1}, {w - 1, y}};
        frame.append(m_caption.isEmpty() ? QPoint(0, y)
                                         : QPoint(captionX + captionWidth + Metrics::kFrameAfterCaption, y));
    } else {
        frame = {{w - 1 - Metrics::kFrameStub, y}, {w - 1, y}, {w - 1, h - 1}, {1, h - 1}, {1, y}};
        frame.append(m_caption.isEmpty() ? QPoint(w - 1, y) : QPoint(captionX - Metrics::kFrameAfterCaption, y));
    }
    const QColor border = ToQColor(m_borderColor);
    for (qsizetype i = 1; i < frame.size(); ++i)
        LineTo(p, frame[i - 1], frame[i], border);

    if (m_caption.isEmpty()) return;
    p.setFont(font());
    p.setPen(isEnabled() ? palette().color(QPalette::Active, QPalette::WindowText) : ToQColor(0x808080));
    p.drawText(captionX, fm.ascent(), m_caption);
}
