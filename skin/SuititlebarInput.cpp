// The title bar's mouse: hover, moving the window, clicks on its buttons and the window menu.
#include "skin/Suititlebar.h"

#include "skin/Suipublic.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

void TsuiTitleBar::TrackPointer(const QPoint& pos)
{
    m_mousePos = pos;
    const int hovered = rect().contains(pos) ? ButtonAt(pos) : -1;
    if (hovered != m_hovered) {
        m_hovered = hovered;
        update();
    }
}

void TsuiTitleBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    TrackPointer(pos);
    m_mouseDown = true;
    update();
    QWidget* host = Host();
    if (ButtonAt(pos) >= 0 || host->isMaximized()) return;
    m_mouseDown = false;
    QWindow* window = host->isWindow() ? host->windowHandle() : nullptr;
    if (window && window->startSystemMove()) return;
    m_dragging = true;
    m_dragStart = event->globalPosition().toPoint();
    m_hostStart = host->pos();
}

void TsuiTitleBar::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging) Host()->move(m_hostStart + event->globalPosition().toPoint() - m_dragStart);
    TrackPointer(event->position().toPoint());
}

void TsuiTitleBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    TrackPointer(pos);
    m_dragging = false;
    const bool wasDown = m_mouseDown;
    m_mouseDown = false;
    update();
    const int index = ButtonAt(pos);
    if (!wasDown || index < 0) return;
    const TsuiTitleBarButton* b = m_buttons.Items(index);
    if (b->ButtonType() == suiControlBox && !b->ControlBoxMenu()) {
        PopupWindowMenu(mapToGlobal(QPoint(0, height())));
        m_menuOpenedByIcon.start();
        return;
    }
    ClickButton(index);
}

void TsuiTitleBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const int index = ButtonAt(event->position().toPoint());
    if (index < 0) {
        const int max = m_buttons.IndexOf(suiMax);
        if (max >= 0) ClickButton(max);
        return;
    }
    if (m_buttons.Items(index)->ButtonType() == suiControlBox) {
        m_windowMenu->hide();
        CloseHost();
    }
}

void TsuiTitleBar::leaveEvent(QEvent*) { TrackPointer(QPoint(-1, -1)); }

bool TsuiTitleBar::eventFilter(QObject* watched, QEvent* event)
{
    // The window menu takes the second click of a double click on the icon that opened it.
    if (watched == m_windowMenu
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint pos = mapFromGlobal(mouse->globalPosition().toPoint());
        const int index = ButtonAt(pos);
        if (mouse->button() == Qt::LeftButton && index >= 0 && index == m_layout.controlBox
            && m_menuOpenedByIcon.isValid() && m_menuOpenedByIcon.elapsed() <= QApplication::doubleClickInterval()) {
            m_menuOpenedByIcon.invalidate();
            m_windowMenu->hide();
            CloseHost();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TsuiTitleBar::PopupWindowMenu(const QPoint& globalPos)
{
    m_windowMenu->UpdateItems();
    m_windowMenu->popup(QPoint(qMax(globalPos.x(), 0), globalPos.y()));
}

void TsuiTitleBar::ClickButton(int index)
{
    const TsuiTitleBarButton* b = m_buttons.Items(index);
    QWidget* host = Host();
    switch (b->ButtonType()) {
    case suiClose: CloseHost(); break;
    case suiMin: {
        bool allow = true;
        emit MinClick(&allow);
        if (allow) MinimiseHost(host);
        break;
    }
    case suiMax: {
        bool allow = true;
        emit MaxClick(&allow);
        if (!allow) break;
        if (host->isMaximized()) {
            host->showNormal();
        } else {
            host->showMaximized();
            // Inside a frame the frame places its host; outside one nothing else does.
            if (!InsideFrame() && host->windowHandle()) host->windowHandle()->setGeometry(GetMaximisedRect());
        }
        ProcessMaxBtn();
        break;
    }
    case suiControlBox:
        if (b->ControlBoxMenu()) {
            const QPoint at = mapToGlobal(QPoint(0, height()));
            b->ControlBoxMenu()->popup(QPoint(qMax(at.x(), 0), at.y()));
        }
        break;
    case suiHelp: emit HelpBtnClick(index); break;
    case suiCustom: emit CustomBtnsClick(index); break;
    }
}

void TsuiTitleBar::ProcessMaxBtn()
{
    if (m_custom) return;
    const bool maximised = Host()->isMaximized();
    for (int i = 0; i < m_buttons.Count(); ++i)
        m_buttons.Items(i)->ShowRestorePictures(maximised);
}

void TsuiTitleBar::CloseHost() { Host()->close(); }

void TsuiTitleBar::MinimiseHost(QWidget* host)
{
    if (host != MainForm()) {
        host->showMinimized();
        return;
    }
    // The main form minimises the application: every window it shows.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        if (w->isVisible() && (type == Qt::Window || type == Qt::Dialog)) w->showMinimized();
    }
}
