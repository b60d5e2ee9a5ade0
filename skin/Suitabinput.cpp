// The tab row's input: presses select tabs or scroll, the pointer lights the scroll buttons,
// and Tab steps through the tabs.
#include "skin/Suitabcontrol.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

bool TsuiTabControlTopPanel::UpdateHover()
{
    const int hovered = ScrollButtonAt(m_mousePos);
    const bool changed = hovered != m_hoveredButton;
    m_hoveredButton = hovered;
    return changed;
}

void TsuiTabControlTopPanel::ScrollBy(int button)
{
    if (button == -1)
        --m_firstShown;
    else if (m_layout.scrollNeeded)
        ++m_firstShown;
    m_firstShown = std::clamp(m_firstShown, 0, std::max(0, static_cast<int>(m_tabs.size())));
    Relayout();
}

void TsuiTabControlTopPanel::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_mousePos = pos;
    if (event->button() != Qt::LeftButton) return;
    m_pressed = true;
    UpdateHover();
    update();
    if (m_hoveredButton != 0) {
        ScrollBy(m_hoveredButton);
        return;
    }
    const int tab = TabAt(pos);
    if (tab < 0) return;
    m_clicked = true;
    setTabIndex(tab);
    m_clicked = false;
    m_scrollIntoView = true;
    Relayout();
}

void TsuiTabControlTopPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) m_pressed = false;
    if (click) emit OnClick();
}

void TsuiTabControlTopPanel::PointerMoved(const std::optional<QPoint>& pos)
{
    m_mousePos = pos;
    // The lit scroll button follows the pointer on screen only while the tabs do not fit;
    // scrolled to the end, the buttons show what the last paint found.
    if (UpdateHover() && m_layout.scrollNeeded) update();
}

void TsuiTabControlTopPanel::mouseMoveEvent(QMouseEvent* event) { PointerMoved(event->position().toPoint()); }

void TsuiTabControlTopPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click acts as a press too, but its release is no click.
    mousePressEvent(event);
    m_pressed = false;
    if (event->button() != Qt::LeftButton) return;
    emit OnDblClick();
    setFocus(Qt::MouseFocusReason);
}

void TsuiTabControlTopPanel::enterEvent(QEnterEvent* event) { PointerMoved(event->position().toPoint()); }

void TsuiTabControlTopPanel::leaveEvent(QEvent*) { PointerMoved(std::nullopt); }

void TsuiTabControlTopPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Tab || m_tabs.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A plain Tab moves the focus on before it gets here; one that reaches the row
    // (Ctrl+Tab) selects the next tab, hidden or not, or the first one after the last.
    setTabIndex((m_tabIndex + 1) % static_cast<int>(m_tabs.size()));
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
