// The tab row's layout: where each tab and the scroll buttons go, laid out again by the
// changes that move them rather than by painting.
#include "skin/Suitabcontrol.h"

#include "skin/Suipublic.h"

#include <QEvent>
#include <QFontMetrics>

#include <algorithm>

namespace Metrics = SuiMetrics::TabRow;

void TsuiTabControlTopPanel::PlaceInOwner()
{
    if (!m_owner) return;
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
    const bool centred = h > m_buttonHeight + Metrics::kScrollButtonRoom;
    if (m_tabPosition == suiTop)
        y = centred ? (h - m_buttonHeight) / 2 - Metrics::kScrollButtonLift : 0;
    else
        y = centred ? (h - m_buttonHeight) / 2 + Metrics::kScrollButtonLift : h - m_buttonHeight;
    return QRect(width() - m_buttonWidth - Metrics::kScrollButtonGap, y, m_buttonWidth, m_buttonHeight);
}

QRect TsuiTabControlTopPanel::LeftScrollButtonRect() const
{
    return RightScrollButtonRect().translated(-m_buttonWidth, 0);
}

int TsuiTabControlTopPanel::ScrollButtonAt(const std::optional<QPoint>& pos) const
{
    if (!pos || !ScrollButtonsShown()) return 0;
    // The two buttons share an edge; the left one wins there.
    if (InRect(*pos, LeftScrollButtonRect())) return -1;
    if (InRect(*pos, RightScrollButtonRect())) return 1;
    return 0;
}

int TsuiTabControlTopPanel::MeasureTab(int i, const QFontMetrics& fm, int& image) const
{
    const QString& caption = m_tabs[i];
    int w = caption.isEmpty() ? Metrics::kEmptyCaptionWidth : fm.horizontalAdvance(caption) + Metrics::kCaptionPadding;
    image = -1;
    const TImageList* images = m_owner ? m_owner->Images() : nullptr;
    if (images) {
        const int candidate = m_owner->GetImageIndex(i);
        if (candidate >= 0 && candidate < images->Count()) {
            image = candidate;
            w += images->Width() + Metrics::kImageGap;
        }
    }
    return std::max(w, Metrics::kMinTabWidth);
}

TsuiTabControlTopPanel::TabLayout TsuiTabControlTopPanel::LayoutTabs(int firstShown)
{
    TabLayout layout;
    const int count = static_cast<int>(m_tabs.size());
    const int w = width();
    const int hi = m_inactiveTabPicture.Size().height();
    const int ha = m_activeTabPicture.Size().height();
    const int scrollLimit = w - 2 * m_buttonWidth - Metrics::kScrollButtonGap;
    const bool top = m_tabPosition == suiTop;
    const int inactiveTop = top ? 0 : height() - hi;
    const int activeTop = top ? Metrics::kActiveTabShift : height() - ha - Metrics::kActiveTabShift;

    const QFontMetrics fm(font());
    int x = m_leftMargin;
    int limit = scrollLimit;
    int skipped = 0;
    bool cut = false;
    layout.lastWholeTab = count - 1;
    // Entry 63 is never written: it stays -1 and ends the hit test.
    const auto record = [this](int i, int width) {
        if (i < kMaxTabs - 1) m_tabWidths[static_cast<std::size_t>(i)] = width;
    };

    for (int i = 0; i < count; ++i) {
        limit = (i == count - 1 && firstShown == 0) ? w - Metrics::kLastTabGap : scrollLimit;
        if (!TabVisibleAt(i)) {
            record(i, 0);
            continue;
        }
        if (cut) break;
        int image;
        const int tw = MeasureTab(i, fm, image);
        record(i, tw);
        if (skipped < firstShown) {
            ++skipped;
            continue;
        }
        const bool active = i == m_tabIndex;
        const int y = active ? activeTop : inactiveTop;
        QRect r = RectLTRB(x, y, x + tw, y + (active ? ha : hi));
        bool thisCut = false;
        if (RectRight(r) > limit) {
            r = RectLTRB(x, r.y(), std::max(x, scrollLimit), RectBottom(r));
            cut = thisCut = true;
            layout.lastWholeTab = i - 1;
            if (!active) record(i, r.width());
        }
        layout.tabs.append({i, r, active, thisCut, image});
        x += tw;
    }
    layout.scrollNeeded = (x > limit || cut) && count > 0;
    return layout;
}

void TsuiTabControlTopPanel::Relayout()
{
    const int count = static_cast<int>(m_tabs.size());
    m_firstShown = std::max(0, std::min(m_firstShown, count - 1));
    TabLayout layout = LayoutTabs(m_firstShown);
    // A new selection scrolls into view once the row is on screen, at the width it shows.
    if (m_scrollIntoView && isVisible()) {
        while (layout.lastWholeTab < m_tabIndex && m_firstShown < count - 1)
            layout = LayoutTabs(++m_firstShown);
        m_scrollIntoView = false;
    }
    m_layout = layout;
    UpdateHover();
    update();
}

int TsuiTabControlTopPanel::TabAt(const QPoint& pos) const
{
    const int count = static_cast<int>(m_tabs.size());
    // The first drawn tab follows the shown tabs scrolled out and the hidden ones among them.
    int i = 0;
    for (int skipped = 0; i < count && skipped < m_firstShown; ++i) {
        if (TabVisibleAt(i)) ++skipped;
    }
    const int h = height();
    // Tabs at the bottom are hit where they are drawn, not in the top rows the base line fills there.
    const bool onTabs
        = m_tabPosition == suiTop ? (0 < pos.y() && pos.y() < m_tabHeight) : (h - m_tabHeight < pos.y() && pos.y() < h);
    if (!onTabs) return -1;
    for (int x = m_leftMargin; i < count && i < kMaxTabs && m_tabWidths[static_cast<std::size_t>(i)] != -1; ++i) {
        const int w = m_tabWidths[static_cast<std::size_t>(i)];
        if (x < pos.x() && pos.x() < x + w) return i;
        x += w;
    }
    return -1;
}

void TsuiTabControlTopPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void TsuiTabControlTopPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Relayout();
}

void TsuiTabControlTopPanel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) Relayout();
}
