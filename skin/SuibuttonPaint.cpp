// The button's painting: the state is decoded once, then the face, glyph, focus mark and caption
// are drawn from it.
#include "skin/Suibutton.h"

#include "skin/Suimetrics.h"
#include "skin/Suipublic.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace Metrics = SuiMetrics::Button;

namespace {

// The caption in its colour or, on a disabled button, engraved: white at shadow, grey at at.
void DrawCaption(QPainter& p, const QRect& at, const QRect& shadow, int flags, const QString& text, TColor color,
                 bool enabled)
{
    if (!enabled) {
        p.setPen(ToQColor(0xFFFFFF));
        p.drawText(shadow, flags, text);
        p.setPen(ToQColor(0x808080));
        p.drawText(at, flags, text);
    } else {
        p.setPen(ToQColor(color));
        p.drawText(at, flags, text);
    }
}

}  // namespace

SuiButtonState TsuiCustomButton::PaintState() const
{
    SuiButtonState state;
    state.enabled = isEnabled();
    state.pressed = m_pressed;
    state.hovered = m_hover;
    state.focused = hasFocus() && m_tabStop;
    return state;
}

void TsuiCustomButton::FetchStripPiece(QImage& face, int piece) const
{
    GetInsideThemeBitmap(EffectiveStyle(), SUI_THEME_BUTTON_STRIP, &face, 3, piece, devicePixelRatioF());
}

void TsuiCustomButton::PaintButtonNormal(QImage& face) const { FetchStripPiece(face, 1); }

void TsuiCustomButton::PaintButtonMouseOn(QImage& face) const { FetchStripPiece(face, 2); }

void TsuiCustomButton::PaintButtonMouseDown(QImage& face) const { FetchStripPiece(face, 3); }

void TsuiCustomButton::PaintButtonDisabled(QImage& face) const { FetchStripPiece(face, 1); }

QImage TsuiCustomButton::Face(const SuiButtonState& state) const
{
    QImage face;
    if (!state.enabled)
        PaintButtonDisabled(face);
    else if (state.pressed)
        PaintButtonMouseDown(face);
    else if (state.hovered)
        PaintButtonMouseOn(face);
    else
        PaintButtonNormal(face);
    if (face.isNull()) {
        face = QImage(Metrics::kBlankFaceWidth, Metrics::kBlankFaceHeight, QImage::Format_RGB32);
        face.fill(Qt::white);
    }
    return face;
}

void TsuiCustomButton::PaintPic(QPainter& p, const QImage& face, const SuiButtonState&) const
{
    SpitDraw(face, p, rect(), m_picTransparent);
}

void TsuiCustomButton::PaintFocus(QPainter& p, const SuiButtonState&) const
{
    const int m = m_focusedRectMargin;
    DrawFocusDots(p, RectLTRB(m, m, width() - m, height() - m));
}

void TsuiCustomButton::PaintText(QPainter& p, const QString& text, const SuiButtonState& state) const
{
    const QRect r = rect().translated(state.CaptionShift());
    QFont f = font();
    if (state.boldCaption) f.setBold(true);
    p.setFont(f);
    p.setBrush(Qt::NoBrush);

    // Word-wrapped, the measured block centred in the button.
    const int flags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic | Qt::AlignHCenter | Qt::AlignTop;
    const QRect block = p.boundingRect(QRect(0, 0, r.width(), 0x3FFFFFFF), flags, text);
    const QRect textRect(r.x() + (r.width() - block.width()) / 2, r.y() + (r.height() - block.height()) / 2,
                         block.width(), block.height());
    DrawCaption(p, textRect, textRect.translated(1, 1), flags, text, m_fontColor, state.enabled);
}

void TsuiCustomButton::paintEvent(QPaintEvent*)
{
    const SuiButtonState state = PaintState();
    const QImage face = Face(state);
    QPainter p(this);
    // A transparent face leaves the background alone: Qt has composed the parent there.
    if (!m_transparent)
        p.fillRect(rect(), Color());
    else
        DoTrans(p, this);
    PaintPic(p, face, state);
    if (state.focused) PaintFocus(p, state);
    p.setFont(font());
    if (!m_caption.trimmed().isEmpty()) PaintText(p, m_caption, state);
}

SuiButtonState TsuiButton::PaintState() const
{
    SuiButtonState state = TsuiCustomButton::PaintState();
    state.boldCaption = state.focused && GetInsideThemeBool(EffectiveStyle(), SUI_THEME_BUTTON_FOCUS_BOLD);
    return state;
}

TsuiButton::GlyphPlaces TsuiButton::PlaceGlyph() const
{
    const QFontMetrics fm(font());
    const int tw = fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic, Caption()).width();
    const int th = fm.height();
    const int gh = m_glyph.height();
    // A glyph twice as wide as high holds two images: enabled, then disabled.
    const int gw = m_glyph.width() == 2 * gh ? gh : m_glyph.width();
    const int w = width();
    const int h = height();
    switch (m_layout) {
    case blGlyphLeft: {
        const QPoint glyph((w - tw - gw - m_spacing) / 2, (h - gh) / 2);
        return {glyph, QPoint(glyph.x() + gw + m_spacing, (h - th) / 2)};
    }
    case blGlyphRight: {
        const QPoint glyph((w + tw + m_spacing - gw) / 2, (h - gh) / 2);
        return {glyph, QPoint(glyph.x() - tw - m_spacing, (h - th) / 2)};
    }
    case blGlyphTop: {
        const QPoint glyph((w - gw) / 2, (h - th - gh - m_spacing) / 2);
        return {glyph, QPoint((w - tw) / 2, glyph.y() + gh + m_spacing)};
    }
    case blGlyphBottom: break;
    }
    const QPoint glyph((w - gw) / 2, (h + th + m_spacing - gh) / 2);
    return {glyph, QPoint((w - tw) / 2, glyph.y() - th - m_spacing)};
}

QPoint TsuiButton::TextPosition() const { return m_glyph.isNull() ? QPoint() : PlaceGlyph().text; }

// The glyph keyed on its top-left pixel's colour; a one-image glyph on a disabled button in the
// greyed rendering of the style.
void TsuiButton::DrawGlyph(QPainter& p, QPoint at, bool enabled) const
{
    const int gh = m_glyph.height();
    const bool twoImages = m_glyph.width() == 2 * gh;
    const QImage image = twoImages ? m_glyph.copy(enabled ? 0 : gh, 0, gh, gh) : m_glyph;
    const TColor key = ToTColor(image.pixel(0, 0));
    if (!enabled && !twoImages) {
        QStyleOption opt;
        opt.initFrom(this);
        const QPixmap masked = QPixmap::fromImage(MaskedImage(image, key));
        p.drawPixmap(at, style()->generatedIconPixmap(QIcon::Disabled, masked, &opt));
        return;
    }
    DrawTransparent(p, at.x(), at.y(), image, key);
}

void TsuiButton::PaintPic(QPainter& p, const QImage& face, const SuiButtonState& state) const
{
    TsuiCustomButton::PaintPic(p, face, state);
    if (!m_glyph.isNull()) DrawGlyph(p, PlaceGlyph().glyph + state.GlyphShift(), state.enabled);
}

void TsuiButton::PaintText(QPainter& p, const QString& text, const SuiButtonState& state) const
{
    if (m_glyph.isNull()) {
        TsuiCustomButton::PaintText(p, text, state);
        return;
    }
    // One line from the text position to the button's right and bottom edges.
    const QPoint pos = PlaceGlyph().text + state.CaptionShift();
    p.setFont(font());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    const auto from = [&](QPoint o) { return QRect(o, QPoint(width() - 1, height() - 1)); };
    DrawCaption(p, from(pos), from(pos + QPoint(1, 1)), flags, text, FontColor(), state.enabled);
}

void TsuiButton::PaintFocus(QPainter& p, const SuiButtonState& state) const
{
    if (!state.boldCaption) TsuiCustomButton::PaintFocus(p, state);
}
