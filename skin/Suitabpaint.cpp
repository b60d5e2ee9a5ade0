// Painting of the tab row and the page area: the state is read once, then pure helpers draw it.
#include "skin/Suitabcontrol.h"

#include "skin/Suipublic.h"

#include <QPainter>

#include <algorithm>

namespace Metrics = SuiMetrics::TabRow;

namespace {

// Pieces of the scroll button strip: right button normal and hovered, left button normal and hovered.
constexpr int kScrollPieces = 4;
constexpr int kRightPiece = 1, kRightHoveredPiece = 2, kLeftPiece = 3, kLeftHoveredPiece = 4;

bool IsMagenta(const QImage& img, int x, int y) { return ToTColor(img.pixel(x, y)) == kSuiTransparentColor; }

// A tab picture across r: masked with its top-left pixel when that is magenta, else with its
// bottom-left pixel when that is, else drawn whole.
void DrawTabPicture(QPainter& canvas, const QImage& picture, const QRect& r, TColor fill)
{
    if (picture.isNull()) return;
    bool useCorner = false;
    bool sampleTop = true;
    if (IsMagenta(picture, 0, 0)) {
        useCorner = true;
    } else if (IsMagenta(picture, 0, picture.height() - 1)) {
        useCorner = true;
        sampleTop = false;
    }
    const qreal k = picture.devicePixelRatio();
    if (k == 1.0) {
        SpitDrawHorizontal(picture, canvas, r, useCorner, fill, sampleTop);
        return;
    }
    // The strip routine counts in the picture's own pixels: a twice-size strip is laid out in
    // them, on a canvas scaled so that each is one device pixel.
    QImage pixels = picture;
    pixels.setDevicePixelRatio(1.0);
    canvas.save();
    canvas.scale(1.0 / k, 1.0 / k);
    SpitDrawHorizontal(pixels, canvas, QRect(r.topLeft() * k, r.size() * k), useCorner, fill, sampleTop);
    canvas.restore();
}

}  // namespace

// ---------------------------------------------------------------- tab row

const TsuiTabControlTopPanel::Pictures& TsuiTabControlTopPanel::PreparedPictures(qreal devicePixelRatio) const
{
    // Decoding on first draw is a cache fill: what the row shows does not depend on when it happens.
    if (m_pictures.devicePixelRatio == devicePixelRatio) return m_pictures;
    m_pictures.activeTab = m_activeTabPicture.Image(devicePixelRatio).convertToFormat(QImage::Format_RGB888);
    m_pictures.inactiveTab = m_inactiveTabPicture.Image(devicePixelRatio).convertToFormat(QImage::Format_RGB888);
    m_pictures.line = m_linePicture.Image(devicePixelRatio);
    if (m_tabPosition == suiBottom) {
        RoundPicture2(m_pictures.activeTab);
        RoundPicture2(m_pictures.inactiveTab);
        RoundPicture2(m_pictures.line);
    }
    m_pictures.devicePixelRatio = devicePixelRatio;
    return m_pictures;
}

TsuiTabControlTopPanel::PaintState TsuiTabControlTopPanel::DecodePaintState() const
{
    PaintState s{};
    s.devicePixelRatio = devicePixelRatioF();
    s.pictures = &PreparedPictures(s.devicePixelRatio);
    s.style = EffectiveStyle(m_fileTheme, m_uiStyle);
    s.width = width();
    s.lineTop = m_tabPosition == suiTop ? m_inactiveTabPicture.Size().height() : 0;
    s.lineHeight = m_linePicture.Size().height();
    s.fill = m_color;
    s.border = m_owner ? m_owner->BorderColor() : 0;
    s.activeFont = m_activeFontColor;
    s.inactiveFont = m_inactiveFontColor;
    s.images = m_owner ? m_owner->Images() : nullptr;
    s.focusFrame = hasFocus() && m_owner && m_owner->PageDrawFocused();
    s.scrollButtons = ScrollButtonsShown();
    s.hoveredButton = m_hoveredButton;
    s.leftButton = LeftScrollButtonRect();
    s.rightButton = RightScrollButtonRect();
    return s;
}

void TsuiTabControlTopPanel::DrawBaseLine(QPainter& canvas, const PaintState& s)
{
    const int w = s.width;
    const int y = s.lineTop;
    const int hl = s.lineHeight;
    if (w > 2 && !s.pictures->line.isNull()) canvas.drawImage(RectLTRB(1, y, w - 1, y + hl), s.pictures->line);
    const QColor border = ToQColor(s.border);
    canvas.fillRect(QRect(0, y, 1, hl), border);
    canvas.fillRect(QRect(w - 1, y, 1, hl), border);
}

void TsuiTabControlTopPanel::DrawTab(QPainter& canvas, const PaintState& s, const PlacedTab& tab,
                                     const QString& caption)
{
    QRect r = tab.rect;
    if (r.width() <= 0 || r.height() <= 0) return;
    DrawTabPicture(canvas, tab.active ? s.pictures->activeTab : s.pictures->inactiveTab, r, s.fill);
    canvas.setPen(ToQColor(tab.active ? s.activeFont : s.inactiveFont));

    if (tab.image >= 0 && s.images) {
        const int y = std::max(r.y() + 1, (r.height() - s.images->Height()) / 2);
        s.images->Draw(canvas, r.x() + Metrics::kImageLeft, y, tab.image);
        r.setLeft(r.x() + s.images->Width() + Metrics::kImageGap);
    }

    if (tab.cut)
        canvas.drawText(r.adjusted(Metrics::kCutCaptionLeft, 0, -Metrics::kCutCaptionRight, 0),
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
    else
        canvas.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption);

    if (tab.active && s.focusFrame)
        DrawFocusDots(
            canvas,
            r.adjusted(Metrics::kFocusInsetX, Metrics::kFocusInsetY, -Metrics::kFocusInsetX, -Metrics::kFocusInsetY));
}

void TsuiTabControlTopPanel::DrawScrollButtons(QPainter& canvas, const PaintState& s)
{
    // The pieces are fetched for every paint: they are small, and shared once decoded.
    QImage piece;
    const int right = s.hoveredButton == 1 ? kRightHoveredPiece : kRightPiece;
    GetInsideThemeBitmap(s.style, SUI_THEME_TAB_SCROLL_BUTTON_STRIP, &piece, kScrollPieces, right, s.devicePixelRatio);
    DrawTransparent(canvas, s.rightButton.x(), s.rightButton.y(), piece);
    const int left = s.hoveredButton == -1 ? kLeftHoveredPiece : kLeftPiece;
    GetInsideThemeBitmap(s.style, SUI_THEME_TAB_SCROLL_BUTTON_STRIP, &piece, kScrollPieces, left, s.devicePixelRatio);
    DrawTransparent(canvas, s.leftButton.x(), s.leftButton.y(), piece);
}

void TsuiTabControlTopPanel::paintEvent(QPaintEvent*)
{
    // Nothing fills the background: the tab control leaves the row's area unpainted,
    // so the window behind shows beside and between the tabs.
    const PaintState state = DecodePaintState();
    QPainter canvas(this);
    canvas.setFont(font());
    DrawBaseLine(canvas, state);
    for (const PlacedTab& tab : m_layout.tabs)
        DrawTab(canvas, state, tab, m_tabs[tab.index]);
    if (state.scrollButtons) DrawScrollButtons(canvas, state);
}

// ---------------------------------------------------------------- tab control

void TsuiTab::paintEvent(QPaintEvent*)
{
    // The row's area is left unpainted so that the window behind shows around the tabs.
    QPainter canvas(this);
    const int w = width();
    const int h = height();
    const int rowHeight = m_topPanel->height();
    const QColor border = ToQColor(m_borderColor);
    if (m_tabPosition == suiTop) {
        const int top = rowHeight;
        canvas.fillRect(RectLTRB(0, top, w, h), ToQColor(m_color));
        canvas.fillRect(RectLTRB(0, top - 1, 1, h), border);
        canvas.fillRect(RectLTRB(0, h - 1, w, h), border);
        canvas.fillRect(RectLTRB(w - 1, top, w, h), border);
    } else {
        const int bottom = h - rowHeight;
        canvas.fillRect(RectLTRB(0, 0, w, bottom), ToQColor(m_color));
        canvas.fillRect(RectLTRB(w - 1, 0, w, bottom), border);
        canvas.fillRect(RectLTRB(0, 0, w, 1), border);
        canvas.fillRect(RectLTRB(0, 0, 1, bottom), border);
    }
}
