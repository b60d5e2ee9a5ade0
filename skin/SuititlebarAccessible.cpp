// The title bar as assistive technology sees it: a title bar whose painted buttons are push
// buttons with a name and a state, which a screen reader can press.
#include "skin/Suititlebar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QMap>
#include <QPointer>

namespace {

QString ButtonName(TsuiTitleBarBtnType type, bool maximised)
{
    switch (type) {
    case suiControlBox: return QStringLiteral("Window menu");
    case suiClose: return QStringLiteral("Close");
    case suiMin: return QStringLiteral("Minimize");
    case suiMax: return maximised ? QStringLiteral("Restore") : QStringLiteral("Maximize");
    case suiHelp: return QStringLiteral("Help");
    case suiCustom: break;
    }
    return QStringLiteral("Button");
}

// One painted button, known by its index in the bar's collection.
class TitleButton : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TitleButton(TsuiTitleBar* bar, int index)
        : m_bar(bar)
        , m_index(index)
    { }

    bool isValid() const override { return m_bar && m_index < m_bar->Buttons().Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_bar); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Button; }
    void setText(QAccessible::Text, const QString&) override { }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid()) return {};
        return ButtonName(m_bar->Buttons().Items(m_index)->ButtonType(), m_bar->Host()->isMaximized());
    }

    QRect rect() const override
    {
        if (!isValid()) return {};
        const QRect r = Where();
        return QRect(m_bar->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) return s;
        const bool hovered = m_bar->HoveredButton() == m_index;
        s.hotTracked = hovered;
        s.pressed = hovered && QApplication::mouseButtons().testFlag(Qt::LeftButton);
        s.invisible = Where().isEmpty();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    void doAction(const QString& name) override
    {
        if (name != pressAction() || !isValid()) return;
        const TsuiTitleBarButton* b = m_bar->Buttons().Items(m_index);
        if (b->ButtonType() == suiControlBox && !b->ControlBoxMenu())
            m_bar->PopupWindowMenu(m_bar->mapToGlobal(QPoint(0, m_bar->height())));
        else
            m_bar->ClickButton(m_index);
    }

private:
    // Where the button is drawn; empty when it is not.
    QRect Where() const
    {
        const TsuiTitleBar::Layout layout = m_bar->ComputeLayout();
        if (m_index == layout.controlBox) return layout.controlBoxRect;
        for (const auto& [index, r] : layout.buttons) {
            if (index == m_index) return r;
        }
        return {};
    }

    QPointer<TsuiTitleBar> m_bar;
    int m_index;
};

// The bar's children are its drawn buttons: the control box first, then the right-side ones from
// right to left.
class TitleBar : public QAccessibleWidget {
public:
    explicit TitleBar(TsuiTitleBar* bar)
        : QAccessibleWidget(bar, QAccessible::TitleBar)
    { }
    ~TitleBar() override
    {
        for (QAccessible::Id id : std::as_const(m_children))
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? Bar()->Caption() : QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(Shown().size()); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const std::vector<int> shown = Shown();
        for (int i = 0; i < int(shown.size()); ++i) {
            if (child == this->child(i)) return i;
        }
        return -1;
    }

    QAccessibleInterface* child(int i) const override
    {
        const std::vector<int> shown = Shown();
        if (i < 0 || i >= int(shown.size())) return nullptr;
        const int index = shown[std::size_t(i)];
        if (!m_children.contains(index))
            m_children.insert(index, QAccessible::registerAccessibleInterface(new TitleButton(Bar(), index)));
        return QAccessible::accessibleInterface(m_children.value(index));
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const int index = Bar()->ButtonAt(Bar()->mapFromGlobal(QPoint(x, y)));
        const std::vector<int> shown = Shown();
        for (int i = 0; i < int(shown.size()); ++i) {
            if (shown[std::size_t(i)] == index) return child(i);
        }
        return nullptr;
    }

private:
    TsuiTitleBar* Bar() const { return static_cast<TsuiTitleBar*>(widget()); }

    // Indexes of the drawn buttons, in the order of the children.
    std::vector<int> Shown() const
    {
        const TsuiTitleBar::Layout layout = Bar()->ComputeLayout();
        std::vector<int> shown;
        if (layout.controlBox >= 0) shown.push_back(layout.controlBox);
        for (const auto& [index, r] : layout.buttons)
            shown.push_back(index);
        return shown;
    }

    mutable QMap<int, QAccessible::Id> m_children;
};

QAccessibleInterface* Describe(const QString&, QObject* object)
{
    if (auto* bar = qobject_cast<TsuiTitleBar*>(object)) return new TitleBar(bar);
    return nullptr;
}

}  // namespace

void RegisterTitleBarAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(Describe);
        return true;
    }();
    (void)installed;
}
