#include "skin/Suipagecontrol.h"

#include "skin/Suiaccessible.h"

#include <QEvent>
#include <QPainter>

// ---------------------------------------------------------------- page control

TsuiPageControl::TsuiPageControl(QWidget* parent)
    : TsuiTab(parent, new TsuiPageControlTopPanel)
{
    setTabs({});
}

TsuiPageControl::~TsuiPageControl()
{
    for (TsuiTabSheet* page : m_pages) {
        page->m_pageControl = nullptr;
        page->m_pageIndex = -1;
    }
    m_pages.clear();
    m_activePage = nullptr;
}

int TsuiPageControl::ActivePageIndex() const { return m_activePage ? m_activePage->PageIndex() : 0; }

void TsuiPageControl::setActivePageIndex(int index)
{
    if (index >= 0 && index < PageCount()) ActivatePage(index);
}

TsuiTabSheet* TsuiPageControl::GetPage(int index) const
{
    return index >= 0 && index < PageCount() ? m_pages[index] : nullptr;
}

void TsuiPageControl::SwitchTo(TsuiTabSheet* page, bool moveFocus)
{
    TsuiTabSheet* old = m_activePage;
    if (old && old != page) {
        old->setEnabled(false);
        old->setVisible(false);
        emit old->OnHide();
    }
    m_activePage = page;
    if (!page) return;
    page->setGeometry(PageRect());
    page->setEnabled(true);
    page->setVisible(true);
    page->raise();
    page->update();
    if (moveFocus && !TopPanel()->hasFocus()) {
        const QList<QWidget*> children = page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QWidget* first = children.isEmpty() ? nullptr : children.first();
        if (first && !first->isHidden() && first->isEnabled() && first->focusPolicy() != Qt::NoFocus)
            first->setFocus(Qt::OtherFocusReason);
    }
    if (page != old) emit page->OnShow();
}

void TsuiPageControl::TabActive(int index)
{
    SwitchTo(GetPage(index), true);
    TsuiTab::TabActive(index);
}

void TsuiPageControl::ActivatePage(TsuiTabSheet* page)
{
    const int index = page ? static_cast<int>(m_pages.indexOf(page)) : -1;
    if (index < 0) {
        SwitchTo(nullptr, false);
        // No tab stays selected: a kept index 0 would mark the next page, and a press on it would change nothing.
        setTabIndex(-1);
        return;
    }
    setTabIndex(index);
    SwitchTo(page, false);
}

void TsuiPageControl::ActivatePage(int index) { ActivatePage(GetPage(index)); }

void TsuiPageControl::Renumber()
{
    for (int i = 0; i < PageCount(); ++i)
        m_pages[i]->m_pageIndex = i;
}

void TsuiPageControl::UpdateCaptions()
{
    QStringList captions;
    for (const TsuiTabSheet* page : m_pages)
        captions.append(page->Caption());
    setTabs(captions);
    for (int i = 0; i < PageCount(); ++i)
        TopPanel()->setTabVisibleAt(i, m_pages[i]->TabVisible());
}

void TsuiPageControl::InsertPage(TsuiTabSheet* page)
{
    if (!page || m_pages.contains(page)) return;
    if (page->parentWidget() != this) {
        // The sheet joins when it has become a child (it comes back here then).
        page->setParent(this);
        return;
    }
    page->m_pageControl = this;
    page->setColor(Color());
    m_pages.append(page);
    Renumber();
    UpdateCaptions();
    page->setGeometry(PageRect());
    if (page != m_activePage) page->setVisible(false);
    ActivatePage(page);
}

void TsuiPageControl::RemovePage(TsuiTabSheet* page)
{
    const int index = static_cast<int>(m_pages.indexOf(page));
    if (index < 0) return;
    m_pages.removeAt(index);
    if (m_activePage == page) {
        m_activePage = nullptr;
        if (!page->m_destroying) emit page->OnHide();
    }
    page->m_pageControl = nullptr;
    page->m_pageIndex = -1;
    Renumber();
    UpdateCaptions();
    ActivatePage(index - 1);
}

int TsuiPageControl::MovePage(TsuiTabSheet* page, int index)
{
    const int current = static_cast<int>(m_pages.indexOf(page));
    if (current < 0) return -1;
    if (index < 0 || index >= PageCount()) return current;
    m_pages.move(current, index);
    Renumber();
    UpdateCaptions();
    ActivatePage(page);
    return index;
}

void TsuiPageControl::ActivateNextVisiblePage(int index)
{
    for (int i = std::min(index, PageCount()) - 1; i >= 0; --i) {
        if (m_pages[i]->TabVisible()) {
            ActivatePage(i);
            return;
        }
    }
    for (int i = std::max(index + 1, 0); i < PageCount(); ++i) {
        if (m_pages[i]->TabVisible()) {
            ActivatePage(i);
            return;
        }
    }
}

int TsuiPageControl::FindNextVisiblePage(int index) const
{
    const int count = PageCount();
    const int start = index >= 0 && index < count ? index : count - 1;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        if (m_pages[i]->TabVisible()) return i;
    }
    return -1;
}

int TsuiPageControl::FindPrevVisiblePage(int index) const
{
    const int count = PageCount();
    const int start = index >= 0 && index < count ? index : 0;
    for (int step = 1; step <= count; ++step) {
        const int i = (start - step + count) % count;
        if (m_pages[i]->TabVisible()) return i;
    }
    return -1;
}

void TsuiPageControl::ShowControl(QWidget* control)
{
    // Each container up the parent chain shows the one below it, as a nested page control needs.
    for (QWidget *child = this, *up = parentWidget(); up; child = up, up = up->parentWidget()) {
        if (auto* outer = qobject_cast<TsuiPageControl*>(up)) {
            outer->ShowControl(child);
            break;
        }
    }
    auto* page = qobject_cast<TsuiTabSheet*>(control);
    if (page && page->PageControl() == this) ActivatePage(page);
}

int TsuiPageControl::GetImageIndex(int tabIndex) const
{
    const TsuiTabSheet* page = GetPage(tabIndex);
    return page ? page->ImageIndex() : -1;
}

void TsuiPageControl::BorderColorChanged()
{
    if (m_activePage) m_activePage->update();
}

void TsuiPageControl::ColorChanged()
{
    for (TsuiTabSheet* page : m_pages)
        page->setColor(Color());
}

void TsuiPageControl::UpdateUIStyle(TsuiUIStyle style, TsuiFileTheme* theme)
{
    for (TsuiTabSheet* page : m_pages) {
        ContainerApplyUIStyle(page, style, theme);
        page->setColor(Color());
        page->setGeometry(PageRect());
    }
}

void TsuiPageControl::AlignControls(const QRect& pageRect)
{
    for (TsuiTabSheet* page : m_pages)
        page->setGeometry(pageRect);
}

// ---------------------------------------------------------------- tab sheet

TsuiTabSheet::TsuiTabSheet(QWidget* parent)
    : QWidget(parent)
{
    RegisterSkinAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    FollowParent();
}

TsuiTabSheet::~TsuiTabSheet()
{
    m_destroying = true;
    if (m_pageControl) m_pageControl->RemovePage(this);
}

bool TsuiTabSheet::event(QEvent* event)
{
    // Sent once the new parent is in place, so that the page control may show the sheet.
    if (event->type() == QEvent::ParentChange) FollowParent();
    return QWidget::event(event);
}

void TsuiTabSheet::FollowParent()
{
    auto* control = qobject_cast<TsuiPageControl*>(parentWidget());
    if (m_pageControl && m_pageControl != control) m_pageControl->RemovePage(this);
    if (control) control->InsertPage(this);
}

void TsuiTabSheet::setPageControl(TsuiPageControl* control)
{
    if (control == m_pageControl) return;
    setParent(control);
}

void TsuiTabSheet::setPageIndex(int index)
{
    if (m_pageControl) m_pageIndex = m_pageControl->MovePage(this, index);
}

void TsuiTabSheet::setCaption(const QString& caption)
{
    m_caption = caption;
    if (m_pageControl) m_pageControl->UpdateCaptions();
}

void TsuiTabSheet::setTabVisible(bool visible)
{
    m_tabVisible = visible;
    if (!m_pageControl) return;
    m_pageControl->TopPanel()->setTabVisibleAt(m_pageIndex, visible);
    if (!visible && m_pageControl->ActivePage() == this) m_pageControl->ActivateNextVisiblePage(m_pageIndex);
}

void TsuiTabSheet::setImageIndex(int index)
{
    if (!m_pageControl) return;
    m_imageIndex = index;
    m_pageControl->TopPanel()->Relayout();
}

void TsuiTabSheet::setColor(TColor color)
{
    m_color = color;
    update();
}

void TsuiTabSheet::paintEvent(QPaintEvent*)
{
    QPainter canvas(this);
    canvas.fillRect(rect(), ToQColor(m_color));
}
