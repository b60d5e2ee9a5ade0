// The button's input: the mouse, the keyboard and the dialog keys of its window.
#include "skin/Suibutton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>

// Enter and Escape that no control of a window took reach the window itself; this
// filter hands them to the window's buttons there, as it does with accelerator
// characters. With Alt held an accelerator goes to the buttons before the focused
// control sees it.
class SuiDialogKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress || !obj->isWidgetType()) return false;
        auto* target = static_cast<QWidget*>(obj);
        auto* key = static_cast<QKeyEvent*>(e);
        const bool alt = key->modifiers().testFlag(Qt::AltModifier);
        if (alt && target == QApplication::focusWidget() && !target->isWindow())
            return Accelerate(target->window(), key);
        if (!target->isWindow()) return false;
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::NoModifier) {
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            const bool escape = key->key() == Qt::Key_Escape;
            if (enter || escape) {
                for (TsuiCustomButton* b : target->findChildren<TsuiCustomButton*>()) {
                    if ((enter ? b->IsActive() : b->Cancel()) && b->CanTakeFocus()) {
                        b->Click();
                        return true;
                    }
                }
                return false;
            }
        }
        return Accelerate(target, key);
    }

private:
    static bool Accelerate(QWidget* window, QKeyEvent* key)
    {
        QChar ch;
        if (key->key() >= Qt::Key_0 && key->key() <= Qt::Key_Z)
            ch = QChar(key->key());
        else if (key->text().size() == 1)
            ch = key->text().at(0).toUpper();
        if (ch.isNull()) return false;
        const bool alt = key->modifiers().testFlag(Qt::AltModifier);
        const bool focusOnButton = qobject_cast<TsuiCustomButton*>(window->focusWidget()) != nullptr;
        if (!alt && !focusOnButton) return false;
        for (TsuiCustomButton* b : window->findChildren<TsuiCustomButton*>()) {
            const QWidget* parent = b->parentWidget();
            if (b->Accelerator() == ch && parent && parent->isEnabled() && b->isEnabled() && b->isVisible()) {
                b->Click();
                return true;
            }
        }
        return false;
    }
};

void TsuiCustomButton::InstallDialogKeys()
{
    // Guarded: the filter goes with the application object that owns it.
    static QPointer<SuiDialogKeys> filter;
    if (!filter && qApp) {
        filter = new SuiDialogKeys(qApp);
        qApp->installEventFilter(filter);
    }
}

void TsuiCustomButton::DestroyRepeatTimer()
{
    if (!m_repeatTimer) return;
    // Later: a tick's handler may end the press while the timer is still emitting.
    m_repeatTimer->stop();
    m_repeatTimer->deleteLater();
    m_repeatTimer = nullptr;
}

void TsuiCustomButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        m_pressed = true;
        m_clickPending = true;
        if (!m_repeatTimer) {
            m_repeatTimer = new QTimer(this);
            m_repeatTimer->setInterval(std::max(m_repeatInterval, 0));
            connect(m_repeatTimer, &QTimer::timeout, this, &TsuiCustomButton::OnMouseContinuouslyDown);
            m_repeatTimer->start();
        }
        if (m_tabStop && CanTakeFocus()) setFocus(Qt::MouseFocusReason);
        update();
    }
    QWidget::mousePressEvent(e);
}

void TsuiCustomButton::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (pos.x() < 0 || pos.y() < 0 || pos.x() > width() || pos.y() > height()) {
        if (m_hover || m_pressed) {
            m_hover = false;
            m_pressed = false;
            update();
        }
    }
    QWidget::mouseMoveEvent(e);
}

void TsuiCustomButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        const bool click = m_clickPending && rect().contains(e->position().toPoint());
        m_clickPending = false;
        // The repeat belongs to the press: it never outlives the release, wherever it happens.
        DestroyRepeatTimer();
        if (click)
            Click();
        else if (m_pressed) {
            m_pressed = false;
            update();
        }
    }
    QWidget::mouseReleaseEvent(e);
}

void TsuiCustomButton::enterEvent(QEnterEvent* e)
{
    m_hover = true;
    update();
    emit OnMouseEnter();
    QWidget::enterEvent(e);
}

void TsuiCustomButton::leaveEvent(QEvent* e)
{
    m_hover = false;
    m_pressed = false;
    DestroyRepeatTimer();
    update();
    emit OnMouseExit();
    QWidget::leaveEvent(e);
}

void TsuiCustomButton::CancelMode()
{
    m_hover = false;
    m_pressed = false;
    m_clickPending = false;
    DestroyRepeatTimer();
    update();
}

void TsuiCustomButton::keyPressEvent(QKeyEvent* e)
{
    // Enter goes on to the window, where it clicks the active button (this one).
    if (e->key() == Qt::Key_Space && e->modifiers() == Qt::NoModifier && isEnabled()) {
        if (!e->isAutoRepeat()) {
            m_pressed = true;
            update();
        }
        return;
    }
    QWidget::keyPressEvent(e);
}

void TsuiCustomButton::keyReleaseEvent(QKeyEvent* e)
{
    const bool ours = e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    // A held key repeats as release/press pairs; only the real release clicks.
    if (ours && !e->isAutoRepeat() && hasFocus() && m_pressed && isEnabled()) {
        m_pressed = false;
        update();
        Click();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void TsuiCustomButton::focusInEvent(QFocusEvent* e)
{
    update();
    QWidget::focusInEvent(e);
}

void TsuiCustomButton::focusOutEvent(QFocusEvent* e)
{
    update();
    QWidget::focusOutEvent(e);
}

void TsuiCustomButton::changeEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::EnabledChange:
        EnableChanged();
        update();
        break;
    case QEvent::FontChange: FontChanged(); break;
    case QEvent::ActivationChange:
        if (!isActiveWindow() && (m_pressed || m_repeatTimer)) CancelMode();
        break;
    default: break;
    }
    QWidget::changeEvent(e);
}

void TsuiCustomButton::hideEvent(QHideEvent* e)
{
    if (m_pressed || m_repeatTimer) CancelMode();
    QWidget::hideEvent(e);
}
