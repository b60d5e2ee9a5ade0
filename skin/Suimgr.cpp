#include "skin/Suimgr.h"

#include <QMetaObject>
#include <QPointer>
#include <QVariant>
#include <QWidget>

TsuiFileTheme::TsuiFileTheme(QObject* parent)
    : QObject(parent)
{ }

TsuiUIStyle GetSUIFormStyle(QObject* owner)
{
    const auto* form = qobject_cast<QWidget*>(owner);
    if (!form || !form->isWindow()) return DeepBlue;
    for (QObject* child : form->children()) {
        if (child->isWidgetType() && child->inherits("TsuiForm"))
            return child->property("UIStyle").value<TsuiUIStyle>();
    }
    return DeepBlue;
}

// Kept for the file-theme path: the rule that decides when an attached theme is read.
bool UsingFileTheme(TsuiFileTheme* theme, TsuiUIStyle requested, TsuiUIStyle& effective)
{
    effective = requested;
    if (IsBuiltInStyle(requested)) return false;
    if (theme && theme->CanUse()) return true;
    effective = DeepBlue;
    return false;
}

TsuiUIStyle EffectiveStyle(TsuiFileTheme* theme, TsuiUIStyle requested)
{
    TsuiUIStyle effective = requested;
    if (UsingFileTheme(theme, requested, effective)) effective = DeepBlue;
    return effective;
}

void WatchFileTheme(QObject* control, QPointer<TsuiFileTheme>& slot, TsuiFileTheme* theme,
                    const std::function<void()>& gone)
{
    if (slot) QObject::disconnect(slot, &QObject::destroyed, control, nullptr);
    slot = theme;
    if (theme) {
        // The connection dies with control, so slot (a member of control) outlives it.
        QObject::connect(theme, &QObject::destroyed, control, [&slot, gone] {
            slot = nullptr;
            gone();
        });
    }
}

void ContainerApplyUIStyle(QWidget* container, TsuiUIStyle style, TsuiFileTheme* theme)
{
    if (!container) return;
    // A style setter may add or delete children of the container: walk a guarded copy.
    QList<QPointer<QObject>> children;
    for (QObject* child : container->children())
        children.append(child);
    for (const QPointer<QObject>& child : children) {
        if (!child || !child->isWidgetType() || !IsHasProperty(child, "FileTheme") || !IsHasProperty(child, "UIStyle"))
            continue;
        child->setProperty("FileTheme", QVariant::fromValue(theme));
        child->setProperty("UIStyle", QVariant::fromValue(style));
    }
}

bool IsHasProperty(QObject* obj, const char* name)
{
    return obj && name && obj->metaObject()->indexOfProperty(name) >= 0;
}
