#include "skin/Suiedit.h"

#include "skin/Suipublic.h"

#include <QEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include <algorithm>

namespace {
// QLineEdit's own ceiling, used when no limit is set.
constexpr int kNoLimit = 32767;
}  // namespace

TsuiEdit::TsuiEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // A plain 2-pixel border around the text area instead of the native frame; the
    // paint below covers it with two one-pixel lines.
    setFrame(false);
    setContentsMargins(2, 2, 2, 2);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setColor(0xFFFFFF);
    setUIStyle(GetSUIFormStyle(parent ? parent->window() : nullptr));
}

void TsuiEdit::setUIStyle(TsuiUIStyle style)
{
    m_uiStyle = style;
    const TsuiUIStyle effective = EffectiveStyle(m_fileTheme, style);
    m_borderColor = GetInsideThemeColor(effective, SUI_THEME_CONTROL_BORDER_COLOR);
    UIStyleChanged();
    update();
}

void TsuiEdit::setFileTheme(TsuiFileTheme* theme)
{
    WatchFileTheme(this, m_fileTheme, theme, [this] { setUIStyle(DeepBlue); });
    setUIStyle(m_uiStyle);
}

void TsuiEdit::setBorderColor(TColor c)
{
    m_borderColor = c;
    update();
}

TColor TsuiEdit::Color() const { return PaletteBaseColor(this); }

void TsuiEdit::setColor(TColor c)
{
    SetPaletteBaseColor(this, c);
    update();
}

void TsuiEdit::setText(const QString& text)
{
    // Events sent while the limit is raised must not bring it down again.
    const QScopedValueRollback<bool> guard(m_settingText, true);
    applyTypingLimit(int(text.size()));
    QLineEdit::setText(text);
}

void TsuiEdit::setMaxLength(int length)
{
    m_maxLength = length > 0 ? length : kNoLimit;
    applyTypingLimit(int(text().size()));
}

// QLineEdit's limit cuts every text it is given, so the native limit is kept at the
// larger of our limit and the text's length: typing cannot lengthen a text beyond
// the limit, and nothing already there is cut.
void TsuiEdit::applyTypingLimit(int textLength)
{
    const int wanted = std::max(m_maxLength, textLength);
    if (wanted == QLineEdit::maxLength()) return;
    // Changing the native limit resets the cursor and the selection: keep them.
    const int cursor = cursorPosition();
    const int selStart = selectionStart();
    const int selLength = selectionLength();
    QLineEdit::setMaxLength(wanted);
    if (selStart < 0)
        setCursorPosition(cursor);
    else if (cursor == selStart)
        setSelection(selStart + selLength, -selLength);
    else
        setSelection(selStart, selLength);
}

bool TsuiEdit::event(QEvent* e)
{
    const bool handled = QLineEdit::event(e);
    // A text that was longer than the limit and has been shortened by the user
    // brings the native limit back down with it.
    if (!m_settingText && QLineEdit::maxLength() > std::max(m_maxLength, int(text().size())))
        applyTypingLimit(int(text().size()));
    return handled;
}

void TsuiEdit::paintEvent(QPaintEvent* e)
{
    QLineEdit::paintEvent(e);
    QPainter p(this);
    DrawControlBorder(p, this, m_borderColor, Color(), true);
    // The native edit hides its caret when read-only, which leaves a focused read-only edit
    // looking like any other: draw it as the editable edits do, inverting a line centred in the
    // caret's rectangle.
    if (isReadOnly() && hasFocus()) {
        const QRect caret = cursorRect();
        const int x = (caret.left() + caret.right() + 1) / 2;
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.fillRect(QRect(x, caret.top(), 1, caret.height()).intersected(contentsRect()), Qt::black);
    }
}
