#include "skin/Suitabcontrol.h"

#include "skin/Suiaccessible.h"
#include "skin/Suipublic.h"

#include <QPainter>

namespace Metrics = SuiMetrics::TabRow;

// ---------------------------------------------------------------- TImageList

TImageList::TImageList(QObject* parent)
    : QObject(parent)
{ }

void TImageList::Add(const QPixmap& picture)
{
    if (m_pictures.isEmpty()) {
        m_width = picture.width();
        m_height = picture.height();
    }
    m_pictures.append(picture);
    emit Changed();
}

void TImageList::Draw(QPainter& canvas, int x, int y, int index) const
{
    if (index >= 0 && index < Count()) canvas.drawPixmap(x, y, m_pictures[index]);
}

// ---------------------------------------------------------------- tab row

TsuiTabControlTopPanel::TsuiTabControlTopPanel()
{
    RegisterSkinAccessibility();
    m_tabWidths.fill(-1);
    m_tabShown.fill(true);
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
}

void TsuiTabControlTopPanel::setUIStyle(TsuiUIStyle style)
{
    m_uiStyle = style;
    LoadPictures();
    Relayout();
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

    // The tab strip holds the active tab, then the inactive one; the scroll button strip's first
    // piece gives the buttons' size.
    const QString tabStrip = GetInsideThemePictureName(style, SUI_THEME_TAB_STRIP);
    m_activeTabPicture = LazySkinPicture(tabStrip, 2, 1);
    m_inactiveTabPicture = LazySkinPicture(tabStrip, 2, 2);
    m_linePicture = LazySkinPicture(GetInsideThemePictureName(style, SUI_THEME_TAB_LINE));
    m_pictures.devicePixelRatio = 0;
    m_tabHeight = m_activeTabPicture.Size().height();
    const QSize button
        = LazySkinPicture(GetInsideThemePictureName(style, SUI_THEME_TAB_SCROLL_BUTTON_STRIP), 4, 1).Size();

    m_activeFontColor = 0x000000;
    m_inactiveFontColor = 0x000000;
    m_buttonWidth = button.width();
    m_buttonHeight = button.height();
    resize(width(), m_activeTabPicture.Size().height() + m_linePicture.Size().height());
}

void TsuiTabControlTopPanel::setTabs(const QStringList& tabs)
{
    m_tabs = tabs;
    Relayout();
}

void TsuiTabControlTopPanel::setLeftMargin(int value)
{
    m_leftMargin = value;
    Relayout();
}

void TsuiTabControlTopPanel::setColor(TColor color)
{
    m_color = color;
    update();
}

void TsuiTabControlTopPanel::setTabPosition(TsuiTabPosition position)
{
    if (position == m_tabPosition) return;
    m_tabPosition = position;
    m_pictures.devicePixelRatio = 0;
    Relayout();
}

bool TsuiTabControlTopPanel::TabVisibleAt(int i) const
{
    return i < 0 || i >= kMaxTabs || m_tabShown[static_cast<std::size_t>(i)];
}

void TsuiTabControlTopPanel::setTabVisibleAt(int i, bool shown)
{
    if (i < 0 || i >= kMaxTabs) return;
    m_tabShown[static_cast<std::size_t>(i)] = shown;
    Relayout();
}

int TsuiTabControlTopPanel::TabWidth(int i) const
{
    return i < 0 || i >= kMaxTabs ? -1 : m_tabWidths[static_cast<std::size_t>(i)];
}

void TsuiTabControlTopPanel::setTabIndex(int index)
{
    if (index == m_tabIndex) return;
    if (m_tabs.isEmpty()) {
        m_tabIndex = -1;
        Relayout();
        return;
    }
    if (index < -1 || index >= m_tabs.size()) {
        update();
        return;
    }
    if (m_clicked && m_owner) {
        bool allow = true;
        emit m_owner->OnChanging(&allow);
        if (!allow) return;
    }
    m_tabIndex = index;
    m_scrollIntoView = true;
    Relayout();
    if (m_owner) m_owner->TabActive(index);
}

// ---------------------------------------------------------------- tab control

TsuiTab::TsuiTab(QWidget* parent, TsuiTabControlTopPanel* topPanel)
    : QWidget(parent)
    , m_topPanel(topPanel)
{
    m_topPanel->m_owner = this;
    m_topPanel->setParent(this);
    m_topPanel->setVisible(true);
    connect(m_topPanel, &TsuiTabControlTopPanel::OnClick, this, &TsuiTab::OnClick);
    connect(m_topPanel, &TsuiTabControlTopPanel::OnDblClick, this, &TsuiTab::OnDblClick);
    resize(width(), Metrics::kInitialControlHeight);
    setUIStyle(GetSUIFormStyle(parent ? parent->window() : nullptr));
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

int TsuiTab::LeftMargin() const { return m_topPanel->LeftMargin(); }

void TsuiTab::setLeftMargin(int value) { m_topPanel->setLeftMargin(value); }

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
    if (position == m_tabPosition) return;
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
    disconnect(m_imagesChanged);
    m_images = images;
    if (images) {
        m_imagesGone = connect(images, &QObject::destroyed, this, [this] {
            m_images = nullptr;
            m_topPanel->Relayout();
        });
        m_imagesChanged = connect(images, &TImageList::Changed, m_topPanel, &TsuiTabControlTopPanel::Relayout);
    }
    m_topPanel->Relayout();
}

int TsuiTab::TabIndex() const { return m_topPanel->TabIndex(); }

void TsuiTab::setTabIndex(int index) { m_topPanel->setTabIndex(index); }

const QStringList& TsuiTab::Tabs() const { return m_topPanel->Tabs(); }

void TsuiTab::setTabs(const QStringList& tabs) { m_topPanel->setTabs(tabs); }

void TsuiTab::TabActive(int index)
{
    emit OnTabActive(index);
    emit OnChange();
}

void TsuiTab::UpdateUIStyle(TsuiUIStyle style, TsuiFileTheme* theme) { ContainerApplyUIStyle(this, style, theme); }

void TsuiTab::AlignControls(const QRect&) { }

QRect TsuiTab::PageRect() const
{
    const int rowHeight = m_topPanel->height();
    const int m = Metrics::kPageInset;
    if (m_tabPosition == suiTop) return RectLTRB(m, rowHeight + m, width() - m, height() - m);
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
