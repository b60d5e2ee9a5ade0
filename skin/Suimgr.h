// Style management shared by the skinned controls: file themes, the style a new
// control starts with, and handing a style down to child controls.
#pragma once

#include "skin/Suithemes.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// A theme read from a skin file. This program reads no skin files, so a file
// theme is never usable and every control falls back to the built-in table.
class TsuiFileTheme : public QObject {
    Q_OBJECT
public:
    explicit TsuiFileTheme(QObject* parent = nullptr);

    bool CanUse() const { return false; }
};

// The style a new control starts with: the UIStyle of the first TsuiForm among the
// direct children of the owner when the owner is a window; DeepBlue otherwise.
TsuiUIStyle GetSUIFormStyle(QObject* owner);

// effective := requested, or DeepBlue for FromThemeFile without a usable theme.
// True only when the file theme is to be consulted (never here: kept for the file-theme path).
bool UsingFileTheme(TsuiFileTheme* theme, TsuiUIStyle requested, TsuiUIStyle& effective);

// The style a control draws with, the one whose built-in table it reads: the requested
// one, or DeepBlue for FromThemeFile (a file theme carries no pictures or colours here).
TsuiUIStyle EffectiveStyle(TsuiFileTheme* theme, TsuiUIStyle requested);

// Points slot at theme for control. The watch on the previous theme is dropped; when
// the new theme is destroyed, slot is cleared and gone runs.
void WatchFileTheme(QObject* control, QPointer<TsuiFileTheme>& slot, TsuiFileTheme* theme,
                    const std::function<void()>& gone);

// Every direct child widget with both a FileTheme and a UIStyle property gets the
// theme, then the style (in that order).
void ContainerApplyUIStyle(QWidget* container, TsuiUIStyle style, TsuiFileTheme* theme);

// True when the object's class declares a Q_PROPERTY of that name.
bool IsHasProperty(QObject* obj, const char* name);

// Every skinned control declares
//   Q_PROPERTY(TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
//   Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE setFileTheme)
