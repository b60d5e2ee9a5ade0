#include "skin/Suiaccessible.h"

#include "skin/Suibutton.h"
#include "skin/Suigroupbox.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suipagecontrol.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// A painted control that shows its caption as its name.
class CaptionedControl : public QAccessibleWidget {
public:
    CaptionedControl(QWidget* w, QAccessible::Role role)
        : QAccessibleWidget(w, role)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return QString(widget()->property("Caption").toString()).remove(QLatin1Char('&'));
        return QAccessibleWidget::text(t);
    }
};

// A skinned button: pressable from a screen reader, and reports being held down.
class SkinButton : public CaptionedControl {
public:
    explicit SkinButton(TsuiCustomButton* b)
        : CaptionedControl(b, QAccessible::Button)
    { }

    QAccessible::State state() const override
    {
        QAccessible::State s = CaptionedControl::state();
        s.pressed = static_cast<TsuiCustomButton*>(widget())->Pressed();
        s.focusable = widget()->focusPolicy() != Qt::NoFocus;
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        auto* b = static_cast<TsuiCustomButton*>(widget());
        if (name == pressAction() && b->isEnabled()) b->Click();
    }
};

// A panel showing a caption is a line of text (the status line); without one, a picture or a bar
// that holds other controls.
class Panel : public CaptionedControl {
public:
    explicit Panel(QWidget* w)
        : CaptionedControl(w, QAccessible::Pane)
    { }

    QAccessible::Role role() const override
    {
        return static_cast<TsuiCustomPanel*>(widget())->Caption().isEmpty() ? QAccessible::Pane
                                                                            : QAccessible::StatusBar;
    }
};

QAccessibleInterface* Describe(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(object);
    if (auto* b = qobject_cast<TsuiCustomButton*>(w)) return new SkinButton(b);
    if (qobject_cast<TsuiCustomGroupBox*>(w)) return new CaptionedControl(w, QAccessible::Grouping);
    if (qobject_cast<TsuiTabSheet*>(w)) return new CaptionedControl(w, QAccessible::PageTab);
    if (qobject_cast<TsuiCustomPanel*>(w)) return new Panel(w);
    return nullptr;
}

}  // namespace

void RegisterSkinAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(Describe);
        return true;
    }();
    (void)installed;
}
