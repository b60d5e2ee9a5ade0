#include "skin/Suitabcontrol.h"

#include "skin/Suipublic.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

using namespace TabRowMetrics;

namespace {

bool IsMagenta(const QImage& img, int x, int y)
{
    return ToTColor(img.pixel(x, y)) == kSuiTransparentColor;
}

// The dotted, inverting frame of a focused item.
void DrawFocusRect(QPainter& canvas, const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const int left = r.x();
    const int top = r.y();
    const int right = RectRight(r) - 1;
    const int bottom = RectBottom(r) - 1;
    canvas.save();
    canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    canvas.setPen(Qt::white);
    const auto dot = [&](int x, int y) {
        if ((x - left + y - top) % 2 == 0)
            canvas.drawPoint(x, y);
    };
    for (int x = left; x <= right; ++x) {
        dot(x, top);
        if (bottom != top)
            dot(x, bottom);
    }
    for (int y = top + 1; y < bottom; ++y) {
        dot(left, y);
        if (right != left)
            dot(right, y);
    }
    canvas.restore();
}

} // namespace

// ---------------------------------------------------------------- TImageList

TImageList::TImageList(QObject* parent) : QObject(parent) {}

void TImageList::Add(const QPixmap& picture)
{
    if (m_pictures.isEmpty()) {
        m_width = picture.width();
        m_height = picture.height();
    }
    m_pictures.append(picture);
}

void TImageList::Draw(QPainter& canvas, int x, int y, int index) const
{
    if (index >= 0 && index < Count())
        canvas.drawPixmap(x, y, m_pictures[index]);
}

// ---------------------------------------------------------------- tab row

TsuiTabControlTopPanel::TsuiTabControlTopPanel()
{
    m_tabWidths.fill(-1);
    m_tabShown.fill(true);
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
}

void TsuiTabControlTopPanel::setUIStyle(TsuiUIStyle style)
{
    m_uiStyle = style;
    LoadPictures();
    update();
}

void TsuiTabControlTopPanel::setFileTheme(TsuiFileTheme* theme)
{
    m_fileTheme = theme;
    setUIStyle(m_uiStyle);
}

void TsuiTabControlTopPanel::LoadPictures()
{
    // A file theme is never usable here: the pictures come from the built-in table.
    const TsuiUIStyle style = EffectiveStyle(m_fileTheme, m_uiStyle);

    const QString tabStrip = GetInsideThemePictureName(style, SUI_THEME_TAB_STRIP);
    m_activeTabPicture = LazySkinPicture(tabStrip, 2, 1);
    m_inactiveTabPicture = LazySkinPicture(tabStrip, 2, 2);
    m_linePicture = LazySkinPicture(GetInsideThemePictureName(style, SUI_THEME_TAB_LINE));
    m_picturesPrepared = false;
    const QSize button =
        LazySkinPicture(GetInsideThemePictureName(style, SUI_THEME_TAB_SCROLL_BUTTON_STRIP), 4, 1).Size();

    m_activeFontColor = 0x000000;
    m_inactiveFontColor = 0x000000;
    resize(width(), m_activeTabPicture.Size().height() + m_linePicture.Size().height());
    m_buttonWidth = button.width();
    m_buttonHeight = button.height();
}

void TsuiTabControlTopPanel::PreparePictures()
{
    if (m_picturesPrepared)
        return;
    m_activeTab = m_activeTabPicture.Image().convertToFormat(QImage::Format_RGB888);
    m_inactiveTab = m_inactiveTabPicture.Image().convertToFormat(QImage::Format_RGB888);
    m_line = m_linePicture.Image();
    if (m_tabPosition == suiBottom) {
        RoundPicture2(m_activeTab);
        RoundPicture2(m_inactiveTab);
        RoundPicture2(m_line);
    }
    m_picturesPrepared = true;
}

void TsuiTabControlTopPanel::setTabs(const QStringList& tabs)
{
    m_tabs = tabs;
    update();
}

void TsuiTabControlTopPanel::setLeftMargin(int value)
{
    m_leftMargin = value;
    update();
}

void TsuiTabControlTopPanel::setColor(TColor color)
{
    m_color = color;
    update();
}

void TsuiTabControlTopPanel::setTabPosition(TsuiTabPosition position)
{
    if (position == m_tabPosition)
        return;
    m_tabPosition = position;
    m_picturesPrepared = false;
    update();
}

bool TsuiTabControlTopPanel::TabVisibleAt(int i) const
{
    return i < 0 || i >= kMaxTabs || m_tabShown[i];
}

void TsuiTabControlTopPanel::setTabVisibleAt(int i, bool shown)
{
    if (i < 0 || i >= kMaxTabs)
        return;
    m_tabShown[i] = shown;
    update();
}

int TsuiTabControlTopPanel::TabWidth(int i) const
{
    return i < 0 || i >= kMaxTabs ? -1 : m_tabWidths[i];
}

void TsuiTabControlTopPanel::setTabIndex(int index)
{
    if (index == m_tabIndex)
        return;
    if (m_tabs.isEmpty()) {
        m_tabIndex = -1;
        update();
        return;
    }
    if (index < -1 || index >= m_tabs.size()) {
        update();
        return;
    }
    if (m_clicked && m_owner) {
        bool allow = true;
        emit m_owner->OnChanging(&allow);
        if (!allow)
            return;
    }
    m_tabIndex = index;
    m_scrollIntoView = true;
    update();
    if (m_owner)
        m_owner->TabActive(index);
}

void TsuiTabControlTopPanel::PlaceInOwner()
{
    if (!m_owner)
        return;
    const int w = m_owner->width();
    const int h = height();
    if (m_tabPosition == suiTop)
        PlaceControl(this, QRect(0, 0, w, h));
    else
        PlaceControl(this, RectLTRB(0, m_owner->height() - h, w, m_owner->height()));
}

QRect TsuiTabControlTopPanel::RightScrollButtonRect() const
{
    const int h = height();
    int y;
    const bool centred = h > m_buttonHeight + kScrollButtonRoom;
    if (m_tabPosition == suiTop)
        y = centred ? (h - m_buttonHeight) / 2 - kScrollButtonLift : 0;
    else
        y = centred ? (h - m_buttonHeight) / 2 + kScrollButtonLift : h - m_buttonHeight;
    return QRect(width() - m_buttonWidth - kScrollButtonGap, y, m_buttonWidth, m_buttonHeight);
}

QRect TsuiTabControlTopPanel::LeftScrollButtonRect() const
{
    return RightScrollButtonRect().translated(-m_buttonWidth, 0);
}

int TsuiTabControlTopPanel::ScrollButtonAt(const std::optional<QPoint>& pos) const
{
    if (!pos || !ScrollButtonsShown())
        return 0;
    // The two buttons share an edge; the left one wins there.
    if (InRect(*pos, LeftScrollButtonRect()))
        return -1;
    if (InRect(*pos, RightScrollButtonRect()))
        return 1;
    return 0;
}

TsuiTabControlTopPanel::TabLayout TsuiTabControlTopPanel::LayoutTabs(int firstShown)
{
    TabLayout layout;
    const int count = static_cast<int>(m_tabs.size());
    const int w = width();
    const int h = height();
    const int hi = m_inactiveTabPicture.Size().height();
    const int ha = m_activeTabPicture.Size().height();
    const int scrollLimit = w - 2 * m_buttonWidth - kScrollButtonGap;
    m_tabHeight = ha;

    int inactiveTop = 0, activeTop = kActiveTabShift;
    if (m_tabPosition == suiBottom) {
        inactiveTop = h - hi;
        activeTop = h - ha - kActiveTabShift;
    }

    const QFontMetrics fm(font());
    TImageList* images = m_owner ? m_owner->Images() : nullptr;
    int x = m_leftMargin;
    int limit = scrollLimit;
    int skipped = 0;
    bool cut = false;
    layout.lastWholeTab = count - 1;

    for (int i = 0; i < count; ++i) {
        limit = (i == count - 1 && firstShown == 0) ? w - kLastTabGap : scrollLimit;
        if (!TabVisibleAt(i)) {
            if (i < kMaxTabs - 1)
                m_tabWidths[i] = 0;
            continue;
        }
        if (cut)
            break;

        const QString& caption = m_tabs[i];
        int tw = caption.isEmpty() ? kEmptyCaptionWidth : fm.horizontalAdvance(caption) + kCaptionPadding;
        int image = -1;
        if (images && m_owner) {
            const int candidate = m_owner->GetImageIndex(i);
            if (candidate >= 0 && candidate < images->Count()) {
                image = candidate;
                tw += images->Width() + kImageGap;
            }
        }
        tw = std::max(tw, kMinTabWidth);
        if (i < kMaxTabs - 1)
            m_tabWidths[i] = tw;

        if (skipped < firstShown) {
            ++skipped;
            continue;
        }

        const bool active = i == m_tabIndex;
        const int top = active ? activeTop : inactiveTop;
        QRect r = RectLTRB(x, top, x + tw, top + (active ? ha : hi));
        bool thisCut = false;
        if (RectRight(r) > limit) {
            r = RectLTRB(x, r.y(), std::max(x, scrollLimit), RectBottom(r));
            cut = thisCut = true;
            layout.lastWholeTab = i - 1;
            if (!active && i < kMaxTabs - 1)
                m_tabWidths[i] = r.width();
        }
        layout.tabs.append({i, r, active, thisCut, image});
        x += tw;
    }
    layout.scrollNeeded = (x > limit || cut) && count > 0;
    return layout;
}

void TsuiTabControlTopPanel::DrawBaseLine(QPainter& canvas) const
{
    const int w = width();
    const int hl = m_line.height();
    const int y = m_tabPosition == suiTop ? m_inactiveTab.height() : 0;
    if (w > 2 && !m_line.isNull())
        canvas.drawImage(RectLTRB(1, y, w - 1, y + hl), m_line);
    const QColor border = ToQColor(m_owner ? m_owner->BorderColor() : 0);
    canvas.fillRect(QRect(0, y, 1, hl), border);
    canvas.fillRect(QRect(w - 1, y, 1, hl), border);
}

void TsuiTabControlTopPanel::DrawTab(QPainter& canvas, const PlacedTab& tab) const
{
    QRect r = tab.rect;
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const QImage& picture = tab.active ? m_activeTab : m_inactiveTab;
    if (!picture.isNull()) {
        bool useCorner = false;
        bool sampleTop = true;
        if (IsMagenta(picture, 0, 0)) {
            useCorner = true;
        } else if (IsMagenta(picture, 0, picture.height() - 1)) {
            useCorner = true;
            sampleTop = false;
        }
        SpitDrawHorizontal(picture, canvas, r, useCorner, m_color, sampleTop);
    }
    canvas.setPen(ToQColor(tab.active ? m_activeFontColor : m_inactiveFontColor));

    if (tab.image >= 0 && m_owner && m_owner->Images()) {
        const TImageList* images = m_owner->Images();
        const int y = std::max(r.y() + 1, (r.height() - images->Height()) / 2);
        images->Draw(canvas, r.x() + kImageLeft, y, tab.image);
        r.setLeft(r.x() + images->Width() + kImageGap);
    }

    const QString& caption = m_tabs[tab.index];
    if (tab.cut)
        canvas.drawText(r.adjusted(kCutCaptionLeft, 0, -kCutCaptionRight, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
    else
        canvas.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption);

    if (tab.active && hasFocus() && m_owner && m_owner->PageDrawFocused())
        DrawFocusRect(canvas, r.adjusted(kFocusInsetX, kFocusInsetY, -kFocusInsetX, -kFocusInsetY));
}

void TsuiTabControlTopPanel::DrawScrollButtons(QPainter& canvas)
{
    m_hoveredButton = ScrollButtonAt(m_mousePos);
    if (!ScrollButtonsShown())
        return;
    const TsuiUIStyle style = EffectiveStyle(m_fileTheme, m_uiStyle);
    QImage piece;
    const QRect right = RightScrollButtonRect();
    GetInsideThemeBitmap(style, SUI_THEME_TAB_SCROLL_BUTTON_STRIP, &piece, 4, m_hoveredButton == 1 ? 2 : 1);
    DrawTransparent(canvas, right.x(), right.y(), piece);
    const QRect left = LeftScrollButtonRect();
    GetInsideThemeBitmap(style, SUI_THEME_TAB_SCROLL_BUTTON_STRIP, &piece, 4, m_hoveredButton == -1 ? 4 : 3);
    DrawTransparent(canvas, left.x(), left.y(), piece);
}

void TsuiTabControlTopPanel::paintEvent(QPaintEvent*)
{
    // Nothing fills the background: the tab control leaves the row's area unpainted,
    // so the window behind shows beside and between the tabs.
    PreparePictures();
    QPainter canvas(this);
    canvas.setFont(font());
    const int count = static_cast<int>(m_tabs.size());
    m_firstShown = std::max(0, std::min(m_firstShown, count - 1));
    TabLayout layout = LayoutTabs(m_firstShown);
    if (m_scrollIntoView) {
        while (layout.lastWholeTab < m_tabIndex && m_firstShown < count - 1) {
            ++m_firstShown;
            layout = LayoutTabs(m_firstShown);
        }
        m_scrollIntoView = false;
    }
    m_scrollNeeded = layout.scrollNeeded;

    DrawBaseLine(canvas);
    for (const PlacedTab& tab : layout.tabs)
        DrawTab(canvas, tab);
    DrawScrollButtons(canvas);
}

void TsuiTabControlTopPanel::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_mousePos = pos;
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    update();

    const int count = static_cast<int>(m_tabs.size());
    m_hoveredButton = ScrollButtonAt(pos);
    if (m_hoveredButton != 0) {
        if (m_hoveredButton == -1)
            --m_firstShown;
        else if (m_scrollNeeded)
            ++m_firstShown;
        m_firstShown = std::clamp(m_firstShown, 0, std::max(0, count));
        return;
    }

    // The first drawn tab follows the shown tabs scrolled out and the hidden ones among them.
    int i = 0;
    for (int skipped = 0; i < count && skipped < m_firstShown; ++i) {
        if (TabVisibleAt(i))
            ++skipped;
    }
    const int h = height();
    const bool onTabs = m_tabPosition == suiTop ? (0 < pos.y() && pos.y() < m_tabHeight)
                                                : (h - m_tabHeight < pos.y() && pos.y() < h);
    for (int x = m_leftMargin; i < count && i < kMaxTabs && m_tabWidths[i] != -1; ++i) {
        const int w = m_tabWidths[i];
        if (onTabs && x < pos.x() && pos.x() < x + w) {
            m_clicked = true;
            setTabIndex(i);
            m_clicked = false;
            m_scrollIntoView = true;
            update();
            break;
        }
        x += w;
    }
}

void TsuiTabControlTopPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    if (click)
        emit OnClick();
}

void TsuiTabControlTopPanel::mouseMoveEvent(QMouseEvent* event)
{
    m_mousePos = event->position().toPoint();
    if (ScrollButtonsShown())
        update();
}

void TsuiTabControlTopPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click acts as a press too, but its release is no click.
    mousePressEvent(event);
    m_pressed = false;
    if (event->button() != Qt::LeftButton)
        return;
    emit OnDblClick();
    setFocus(Qt::MouseFocusReason);
}

void TsuiTabControlTopPanel::enterEvent(QEnterEvent* event)
{
    m_mousePos = event->position().toPoint();
    if (ScrollButtonsShown())
        update();
}

void TsuiTabControlTopPanel::leaveEvent(QEvent*)
{
    m_mousePos.reset();
    if (ScrollButtonsShown())
        update();
}

void TsuiTabControlTopPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Tab || m_tabs.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A plain Tab moves the focus on before it gets here; one that reaches the row
    // (Ctrl+Tab) selects the next shown tab, or the first one after the last.
    const int count = static_cast<int>(m_tabs.size());
    for (int step = 1; step <= count; ++step) {
        const int next = (m_tabIndex + step) % count;
        if (TabVisibleAt(next)) {
            setTabIndex(next);
            break;
        }
    }
}

void TsuiTabControlTopPanel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TsuiTabControlTopPanel::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

// ---------------------------------------------------------------- tab control

TsuiTab::TsuiTab(QWidget* parent, TsuiTabControlTopPanel* topPanel) : QWidget(parent), m_topPanel(topPanel)
{
    m_topPanel->m_owner = this;
    m_topPanel->setParent(this);
    m_topPanel->setVisible(true);
    connect(m_topPanel, &TsuiTabControlTopPanel::OnClick, this, &TsuiTab::OnClick);
    connect(m_topPanel, &TsuiTabControlTopPanel::OnDblClick, this, &TsuiTab::OnDblClick);
    resize(width(), kInitialControlHeight);
    setUIStyle(GetSUIFormStyle(parent));
}

TsuiTab::~TsuiTab() = default;

void TsuiTab::setUIStyle(TsuiUIStyle style)
{
    m_uiStyle = style;
    m_topPanel->m_fileTheme = m_fileTheme;
    m_topPanel->setUIStyle(style);
    UpdateUIStyle(style, m_fileTheme);

    const TsuiUIStyle effective = EffectiveStyle(m_fileTheme, style);
    m_topPanel->setColor(GetInsideThemeColor(effective, SUI_THEME_PAGE_COLOR));
    m_borderColor = GetInsideThemeColor(effective, SUI_THEME_CONTROL_BORDER_COLOR);
    setColor(GetInsideThemeColor(effective, SUI_THEME_TAB_PAGE_AREA_COLOR));
    Realign();
    update();
}

void TsuiTab::setFileTheme(TsuiFileTheme* theme)
{
    WatchFileTheme(this, m_fileTheme, theme, [this] { setUIStyle(DeepBlue); });
    setUIStyle(m_uiStyle);
}

int TsuiTab::LeftMargin() const
{
    return m_topPanel->LeftMargin();
}

void TsuiTab::setLeftMargin(int value)
{
    m_topPanel->setLeftMargin(value);
}

void TsuiTab::setBorderColor(TColor color)
{
    m_borderColor = color;
    BorderColorChanged();
    update();
    m_topPanel->update();
}

void TsuiTab::setColor(TColor color)
{
    m_color = color;
    ColorChanged();
    update();
}

void TsuiTab::setTabPosition(TsuiTabPosition position)
{
    if (position == m_tabPosition)
        return;
    m_tabPosition = position;
    m_topPanel->setTabPosition(position);
    Realign();
    update();
}

void TsuiTab::setPageDrawFocused(bool on)
{
    m_pageDrawFocused = on;
    m_topPanel->update();
}

void TsuiTab::setImages(TImageList* images)
{
    disconnect(m_imagesGone);
    m_images = images;
    if (images) {
        m_imagesGone = connect(images, &QObject::destroyed, this, [this] {
            m_images = nullptr;
            m_topPanel->update();
        });
    }
    m_topPanel->update();
}

int TsuiTab::TabIndex() const
{
    return m_topPanel->TabIndex();
}

void TsuiTab::setTabIndex(int index)
{
    m_topPanel->setTabIndex(index);
}

const QStringList& TsuiTab::Tabs() const
{
    return m_topPanel->Tabs();
}

void TsuiTab::setTabs(const QStringList& tabs)
{
    m_topPanel->setTabs(tabs);
}

void TsuiTab::TabActive(int index)
{
    emit OnTabActive(index);
    emit OnChange();
}

void TsuiTab::UpdateUIStyle(TsuiUIStyle style, TsuiFileTheme* theme)
{
    ContainerApplyUIStyle(this, style, theme);
}

void TsuiTab::AlignControls(const QRect&) {}

QRect TsuiTab::PageRect() const
{
    const int rowHeight = m_topPanel->height();
    const int m = kPageInset;
    if (m_tabPosition == suiTop)
        return RectLTRB(m, rowHeight + m, width() - m, height() - m);
    return RectLTRB(m, m, width() - m, height() - rowHeight - m);
}

void TsuiTab::Realign()
{
    m_topPanel->PlaceInOwner();
    AlignControls(PageRect());
}

void TsuiTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Realign();
}

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
