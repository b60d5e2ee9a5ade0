// The button's painting: the state is decoded once, then the face, glyph, focus mark and caption
// are drawn from it.
#include "skin/Suibutton.h"

#include "skin/Suipublic.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

// The caption in its colour or, on a disabled button, engraved: white at shadow, grey at at.
void DrawCaption(QPainter& p, const QRect& at, const QRect& shadow, int flags, const QString& text,
                 TColor color, bool enabled)
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

} // namespace

SuiButtonState TsuiCustomButton::PaintState() const
{
    SuiButtonState state;
    state.enabled = isEnabled();
    state.pressed = pressed_;
    state.hovered = hover_;
    state.focused = hasFocus() && tabStop_;
    return state;
}

void TsuiCustomButton::FetchStripPiece(QImage& face, int piece) const
{
    GetInsideThemeBitmap(EffectiveStyle(), SUI_THEME_BUTTON_STRIP, &face, 3, piece, devicePixelRatioF());
}

void TsuiCustomButton::PaintButtonNormal(QImage& face) const
{
    FetchStripPiece(face, 1);
}

void TsuiCustomButton::PaintButtonMouseOn(QImage& face) const
{
    FetchStripPiece(face, 2);
}

void TsuiCustomButton::PaintButtonMouseDown(QImage& face) const
{
    FetchStripPiece(face, 3);
}

void TsuiCustomButton::PaintButtonDisabled(QImage& face) const
{
    FetchStripPiece(face, 1);
}

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
        face = QImage(74, 21, QImage::Format_RGB32);
        face.fill(Qt::white);
    }
    return face;
}

void TsuiCustomButton::PaintPic(QPainter& p, const QImage& face, const SuiButtonState&) const
{
    SpitDraw(face, p, rect(), picTransparent_);
}

void TsuiCustomButton::PaintFocus(QPainter& p, const SuiButtonState&) const
{
    const int m = focusedRectMargin_;
    DrawFocusDots(p, RectLTRB(m, m, width() - m, height() - m));
}

void TsuiCustomButton::PaintText(QPainter& p, const QString& text, const SuiButtonState& state) const
{
    const QRect r = rect().translated(state.CaptionShift());
    QFont f = font();
    if (state.boldCaption)
        f.setBold(true);
    p.setFont(f);
    p.setBrush(Qt::NoBrush);

    // Word-wrapped, the measured block centred in the button.
    const int flags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic | Qt::AlignHCenter | Qt::AlignTop;
    const QRect block = p.boundingRect(QRect(0, 0, r.width(), 0x3FFFFFFF), flags, text);
    const QRect textRect(r.x() + (r.width() - block.width()) / 2, r.y() + (r.height() - block.height()) / 2,
                         block.width(), block.height());
    DrawCaption(p, textRect, textRect.translated(1, 1), flags, text, fontColor_, state.enabled);
}

void TsuiCustomButton::paintEvent(QPaintEvent*)
{
    const SuiButtonState state = PaintState();
    const QImage face = Face(state);
    QPainter p(this);
    // A transparent face leaves the background alone: Qt has composed the parent there.
    if (!transparent_)
        p.fillRect(rect(), Color());
    else
        DoTrans(p, this);
    PaintPic(p, face, state);
    if (state.focused)
        PaintFocus(p, state);
    p.setFont(font());
    if (!caption_.trimmed().isEmpty())
        PaintText(p, caption_, state);
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
    const int gh = glyph_.height();
    // A glyph twice as wide as high holds two images: enabled, then disabled.
    const int gw = glyph_.width() == 2 * gh ? gh : glyph_.width();
    const int w = width();
    const int h = height();
    switch (layout_) {
    case blGlyphLeft: {
        const QPoint glyph((w - tw - gw - spacing_) / 2, (h - gh) / 2);
        return {glyph, QPoint(glyph.x() + gw + spacing_, (h - th) / 2)};
    }
    case blGlyphRight: {
        const QPoint glyph((w + tw + spacing_ - gw) / 2, (h - gh) / 2);
        return {glyph, QPoint(glyph.x() - tw - spacing_, (h - th) / 2)};
    }
    case blGlyphTop: {
        const QPoint glyph((w - gw) / 2, (h - th - gh - spacing_) / 2);
        return {glyph, QPoint((w - tw) / 2, glyph.y() + gh + spacing_)};
    }
    case blGlyphBottom:
        break;
    }
    const QPoint glyph((w - gw) / 2, (h + th + spacing_ - gh) / 2);
    return {glyph, QPoint((w - tw) / 2, glyph.y() - th - spacing_)};
}

QPoint TsuiButton::TextPosition() const
{
    return glyph_.isNull() ? QPoint() : PlaceGlyph().text;
}

// The glyph keyed on its top-left pixel's colour; a one-image glyph on a disabled button in the
// greyed rendering of the style.
void TsuiButton::DrawGlyph(QPainter& p, QPoint at, bool enabled) const
{
    const int gh = glyph_.height();
    const bool twoImages = glyph_.width() == 2 * gh;
    const QImage image = twoImages ? glyph_.copy(enabled ? 0 : gh, 0, gh, gh) : glyph_;
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
    if (!glyph_.isNull())
        DrawGlyph(p, PlaceGlyph().glyph + state.GlyphShift(), state.enabled);
}

void TsuiButton::PaintText(QPainter& p, const QString& text, const SuiButtonState& state) const
{
    if (glyph_.isNull()) {
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
    if (!state.boldCaption)
        TsuiCustomButton::PaintFocus(p, state);
}
