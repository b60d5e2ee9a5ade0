// The button's properties, its click, and what a style or an action sets on it.
#include "skin/Suibutton.h"

#include "skin/Suiaccessible.h"
#include "skin/Suipublic.h"

#include <QAction>
#include <QDialog>

TsuiCustomButton::TsuiCustomButton(QWidget* parent) : QWidget(parent)
{
    RegisterSkinAccessibility();
    InstallDialogKeys();
    setFocusPolicy(Qt::TabFocus);
    uiStyle_ = GetSUIFormStyle(parent);
    transparent_ = GetInsideThemeBool(EffectiveStyle(), SUI_THEME_BUTTON_TRANSPARENT);
    picTransparent_ = transparent_;
}

TsuiUIStyle TsuiCustomButton::EffectiveStyle() const
{
    return ::EffectiveStyle(fileTheme_, uiStyle_);
}

void TsuiCustomButton::setUIStyle(TsuiUIStyle style)
{
    uiStyle_ = style;
    UIStyleChanged();
    update();
}

void TsuiCustomButton::setFileTheme(TsuiFileTheme* theme)
{
    WatchFileTheme(this, fileTheme_, theme, [this] { setUIStyle(DeepBlue); });
    setUIStyle(uiStyle_);
}

void TsuiCustomButton::setCaption(const QString& caption)
{
    caption_ = caption;
    setAccessibleName(caption);
    CaptionChanged();
    update();
}

void TsuiCustomButton::setAutoSize(bool on)
{
    autoSize_ = on;
    AutoSizeChanged();
    update();
}

void TsuiCustomButton::setTransparent(bool on)
{
    transparent_ = on;
    TransparentChanged();
    update();
}

void TsuiCustomButton::setPicTransparent(bool on)
{
    picTransparent_ = on;
    update();
}

void TsuiCustomButton::setFocusedRectMargin(int margin)
{
    focusedRectMargin_ = margin;
    update();
}

void TsuiCustomButton::setTabStop(bool on)
{
    tabStop_ = on;
    // Tab only: the press handler takes the focus itself.
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

void TsuiCustomButton::setFontColor(TColor color)
{
    fontColor_ = color;
    update();
}

void TsuiCustomButton::setAction(QAction* action)
{
    if (action_)
        disconnect(action_, nullptr, this, nullptr);
    action_ = action;
    if (action) {
        connect(action, &QAction::changed, this, &TsuiCustomButton::ActionChange);
        ActionChange();
    }
}

void TsuiCustomButton::ActionChange()
{
    if (action_)
        setCaption(action_->text());
}

void TsuiCustomButton::AutoSizeChanged()
{
    if (!autoSize_)
        return;
    QImage strip;
    GetInsideThemeBitmap(EffectiveStyle(), SUI_THEME_BUTTON_STRIP, &strip);
    // Kept for the file-theme path: a theme without a button picture sizes from a 74 x 21 strip.
    const QSize size = strip.isNull() ? QSize(74, 21) : strip.size();
    resize(size.width() / 3, size.height());
}

void TsuiCustomButton::FontChanged()
{
    update();
}

void TsuiCustomButton::TransparentChanged()
{
    picTransparent_ = transparent_;
}

QColor TsuiCustomButton::Color() const
{
    const QWidget* parent = parentWidget();
    return parent ? ColorOfParent(*parent) : palette().color(QPalette::Window);
}

bool TsuiCustomButton::IsActive() const
{
    if (auto* focused = qobject_cast<TsuiCustomButton*>(window()->focusWidget()))
        return focused == this;
    return default_;
}

bool TsuiCustomButton::CanTakeFocus() const
{
    return isEnabled() && isVisible() && window()->isEnabled();
}

QChar TsuiCustomButton::Accelerator() const
{
    for (qsizetype i = 0; i + 1 < caption_.size(); ++i) {
        if (caption_.at(i) != u'&')
            continue;
        if (caption_.at(i + 1) != u'&')
            return caption_.at(i + 1).toUpper();
        ++i;
    }
    return {};
}

void TsuiCustomButton::Click()
{
    if (pressed_) {
        DestroyRepeatTimer();
        pressed_ = false;
        update();
    }
    if (parentWidget()) {
        QWidget* form = window();
        if (auto* dialog = qobject_cast<QDialog*>(form)) {
            dialog->setResult(modalResult_);
            if (modalResult_ != 0)
                dialog->done(modalResult_);
        } else if (IsHasProperty(form, "ModalResult")) {
            form->setProperty("ModalResult", modalResult_);
        }
    }
    emit OnClick();
    if (action_)
        action_->trigger();
}

TsuiButton::TsuiButton(QWidget* parent) : TsuiCustomButton(parent)
{
    resize(80, 27);
}

void TsuiButton::UIStyleChanged()
{
    // A usable file theme would supply both; none is, so they come from the built-in table.
    setTransparent(GetInsideThemeBool(EffectiveStyle(), SUI_THEME_BUTTON_TRANSPARENT));
    setFontColor(0x000000);
}

void TsuiButton::setGlyph(const QImage& glyph)
{
    glyph_ = glyph;
    update();
}

void TsuiButton::setLayout(TButtonLayout layout)
{
    layout_ = layout;
    update();
}

void TsuiButton::setSpacing(int spacing)
{
    spacing_ = spacing;
    update();
}

void TsuiButton::ActionChange()
{
    TsuiCustomButton::ActionChange();
    QAction* action = Action();
    if (!action || !glyph_.isNull() || action->icon().isNull())
        return;
    const QList<QSize> sizes = action->icon().availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(16, 16) : sizes.first();
    setGlyph(action->icon().pixmap(size).toImage());
}
