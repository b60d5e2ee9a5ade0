// The button's properties, its click, and what a style or an action sets on it.
#include "skin/Suibutton.h"

#include "skin/Suiaccessible.h"
#include "skin/Suimetrics.h"
#include "skin/Suipublic.h"

#include <QAction>
#include <QDialog>

namespace Metrics = SuiMetrics::Button;

TsuiCustomButton::TsuiCustomButton(QWidget* parent)
    : QWidget(parent)
{
    RegisterSkinAccessibility();
    InstallDialogKeys();
    setFocusPolicy(Qt::TabFocus);
    m_uiStyle = GetSUIFormStyle(parent ? parent->window() : nullptr);
    m_transparent = GetInsideThemeBool(EffectiveStyle(), SUI_THEME_BUTTON_TRANSPARENT);
    m_picTransparent = m_transparent;
}

TsuiUIStyle TsuiCustomButton::EffectiveStyle() const { return ::EffectiveStyle(m_fileTheme, m_uiStyle); }

void TsuiCustomButton::setUIStyle(TsuiUIStyle style)
{
    m_uiStyle = style;
    UIStyleChanged();
    update();
}

void TsuiCustomButton::setFileTheme(TsuiFileTheme* theme)
{
    WatchFileTheme(this, m_fileTheme, theme, [this] { setUIStyle(DeepBlue); });
    setUIStyle(m_uiStyle);
}

void TsuiCustomButton::setCaption(const QString& caption)
{
    m_caption = caption;
    setAccessibleName(caption);
    CaptionChanged();
    update();
}

void TsuiCustomButton::setAutoSize(bool on)
{
    m_autoSize = on;
    AutoSizeChanged();
    update();
}

void TsuiCustomButton::setTransparent(bool on)
{
    m_transparent = on;
    TransparentChanged();
    update();
}

void TsuiCustomButton::setPicTransparent(bool on)
{
    m_picTransparent = on;
    update();
}

void TsuiCustomButton::setFocusedRectMargin(int margin)
{
    m_focusedRectMargin = margin;
    update();
}

void TsuiCustomButton::setTabStop(bool on)
{
    m_tabStop = on;
    // Tab only: the press handler takes the focus itself.
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

void TsuiCustomButton::setFontColor(TColor color)
{
    m_fontColor = color;
    update();
}

void TsuiCustomButton::setAction(QAction* action)
{
    if (m_action) disconnect(m_action, nullptr, this, nullptr);
    m_action = action;
    if (action) {
        connect(action, &QAction::changed, this, &TsuiCustomButton::ActionChange);
        ActionChange();
    }
}

void TsuiCustomButton::ActionChange()
{
    if (m_action) setCaption(m_action->text());
}

void TsuiCustomButton::AutoSizeChanged()
{
    if (!m_autoSize) return;
    QImage strip;
    GetInsideThemeBitmap(EffectiveStyle(), SUI_THEME_BUTTON_STRIP, &strip);
    // Kept for the file-theme path: without a button picture a blank face stands in for the whole
    // strip and is divided like one.
    const QSize size = strip.isNull() ? QSize(Metrics::kBlankFaceWidth, Metrics::kBlankFaceHeight) : strip.size();
    resize(size.width() / 3, size.height());
}

void TsuiCustomButton::FontChanged() { update(); }

void TsuiCustomButton::TransparentChanged() { m_picTransparent = m_transparent; }

QColor TsuiCustomButton::Color() const
{
    const QWidget* parent = parentWidget();
    return parent ? ColorOfParent(*parent) : palette().color(QPalette::Window);
}

bool TsuiCustomButton::IsActive() const
{
    if (auto* focused = qobject_cast<TsuiCustomButton*>(window()->focusWidget())) return focused == this;
    return m_default;
}

bool TsuiCustomButton::CanTakeFocus() const { return isEnabled() && isVisible() && window()->isEnabled(); }

QChar TsuiCustomButton::Accelerator() const
{
    for (qsizetype i = 0; i + 1 < m_caption.size(); ++i) {
        if (m_caption.at(i) != u'&') continue;
        if (m_caption.at(i + 1) != u'&') return m_caption.at(i + 1).toUpper();
        ++i;
    }
    return {};
}

void TsuiCustomButton::Click()
{
    if (m_pressed) {
        DestroyRepeatTimer();
        m_pressed = false;
        update();
    }
    if (parentWidget()) {
        QWidget* form = window();
        if (auto* dialog = qobject_cast<QDialog*>(form)) {
            dialog->setResult(m_modalResult);
            if (m_modalResult != 0) dialog->done(m_modalResult);
        } else if (IsHasProperty(form, "ModalResult")) {
            form->setProperty("ModalResult", m_modalResult);
        }
    }
    emit OnClick();
    if (m_action) m_action->trigger();
}

TsuiButton::TsuiButton(QWidget* parent)
    : TsuiCustomButton(parent)
{
    resize(Metrics::kWidth, Metrics::kHeight);
}

void TsuiButton::UIStyleChanged()
{
    // A usable file theme would supply both; none is, so they come from the built-in table.
    setTransparent(GetInsideThemeBool(EffectiveStyle(), SUI_THEME_BUTTON_TRANSPARENT));
    setFontColor(0x000000);
}

void TsuiButton::setGlyph(const QImage& glyph)
{
    m_glyph = glyph;
    update();
}

void TsuiButton::setLayout(TButtonLayout layout)
{
    m_layout = layout;
    update();
}

void TsuiButton::setSpacing(int spacing)
{
    m_spacing = spacing;
    update();
}

void TsuiButton::ActionChange()
{
    TsuiCustomButton::ActionChange();
    QAction* action = Action();
    if (!action || !m_glyph.isNull() || action->icon().isNull()) return;
    const QList<QSize> sizes = action->icon().availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(Metrics::kActionGlyphSize, Metrics::kActionGlyphSize) : sizes.first();
    setGlyph(action->icon().pixmap(size).toImage());
}
