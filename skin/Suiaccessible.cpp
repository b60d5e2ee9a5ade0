#include "skin/Suiaccessible.h"

#include "skin/Suibutton.h"
#include "skin/Suigroupbox.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suipagecontrol.h"
#include "skin/Suitabcontrol.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Set on the panel that is its window's status line.
constexpr char kStatusLine[] = "orvaneStatusLine";

// A painted control that shows its caption as its name, unless the program names it.
class CaptionedControl : public QAccessibleWidget {
public:
    CaptionedControl(QWidget* w, QAccessible::Role role)
        : QAccessibleWidget(w, role)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return Caption();
        return QAccessibleWidget::text(t);
    }

protected:
    virtual QString Caption() const
    {
        return QString(widget()->property("Caption").toString()).remove(QLatin1Char('&'));
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
        if (name != pressAction() || !b->isEnabled()) return;
        // Queued, as the toolkit's own buttons do: a click that opens a dialog or a box runs its
        // modal loop after the screen reader's call has returned, not inside it.
        QMetaObject::invokeMethod(
            b,
            [b] {
                if (b->isEnabled()) b->Click();
            },
            Qt::QueuedConnection);
    }
};

// A panel showing a caption, or marked as the status line, is a line of text; any other is a
// picture or a bar that holds other controls. The status line reads by its message, and by the
// program's name for it while it has none.
class Panel : public CaptionedControl {
public:
    explicit Panel(QWidget* w)
        : CaptionedControl(w, QAccessible::Pane)
    { }

    QAccessible::Role role() const override
    {
        return Caption().isEmpty() && !widget()->property(kStatusLine).toBool() ? QAccessible::Pane
                                                                                : QAccessible::StatusBar;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && !Caption().isEmpty()) return Caption();
        return CaptionedControl::text(t);
    }
};

// The tab row is a page tab list, named by the tab it shows.
class TabRow : public CaptionedControl {
public:
    explicit TabRow(TsuiTabControlTopPanel* row)
        : CaptionedControl(row, QAccessible::PageTabList)
    { }

protected:
    QString Caption() const override
    {
        const auto* row = static_cast<const TsuiTabControlTopPanel*>(widget());
        return row->Tabs().value(row->TabIndex()).remove(QLatin1Char('&'));
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
    if (auto* row = qobject_cast<TsuiTabControlTopPanel*>(w)) return new TabRow(row);
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

void MarkStatusLine(TsuiCustomPanel* panel, const QString& name)
{
    panel->setProperty(kStatusLine, true);
    panel->setAccessibleName(name);
}
