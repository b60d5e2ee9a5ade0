#include "widgets/Cspin.h"

#include "skin/Suimgr.h"
#include "skin/Suipublic.h"
#include "skin/Suithemes.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent)
    : QToolButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TTimerSpeedButton::setTimerFlags(TTimerFlags flags)
{
    if (m_flags == flags) return;
    m_flags = flags;
    update();
}

namespace {

// The glyph as an icon picture: its bottom-left pixel's colour left out.
QPixmap MaskedGlyph(const QImage& glyph)
{
    QPixmap pm = QPixmap::fromImage(glyph);
    const QColor key = glyph.pixelColor(0, glyph.height() - 1);
    pm.setMask(pm.createMaskFromColor(key, Qt::MaskInColor));
    return pm;
}

}  // namespace

void TTimerSpeedButton::setGlyph(const QImage& glyph, const QImage& glyph2x)
{
    m_glyph = glyph;
    if (glyph.isNull()) {
        setIcon(QIcon());
    } else {
        QIcon icon(MaskedGlyph(glyph));
        // A screen at twice the density takes the twice-size glyph instead of a blurred one.
        if (!glyph2x.isNull()) icon.addPixmap(MaskedGlyph(glyph2x));
        setIcon(icon);
        setIconSize(glyph.size());
    }
    update();
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* e)
{
    emit MouseDown(e->button());
    QToolButton::mousePressEvent(e);
    if (e->button() == Qt::LeftButton && isDown()) m_holdsMouse = true;
    if (m_flags.testFlag(tfAutoRepeat)) {
        if (!m_repeatTimer) {
            m_repeatTimer = new QTimer(this);
            m_repeatTimer->setTimerType(Qt::PreciseTimer);
            connect(m_repeatTimer, &QTimer::timeout, this, &TTimerSpeedButton::TimerExpired);
        }
        m_repeatTimer->setInterval(kFirstRepeatMs);
        m_repeatTimer->start();
    }
    // Keep the release for this arrow, also after a press of another button.
    e->accept();
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* e)
{
    QToolButton::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton) m_holdsMouse = false;
    if (m_repeatTimer) m_repeatTimer->stop();
    e->accept();
}

void TTimerSpeedButton::TimerExpired()
{
    if (m_repeatTimer) m_repeatTimer->setInterval(kRepeatMs);
    if (!(isDown() && m_holdsMouse)) return;
    try {
        RepeatClick();
    } catch (...) {
        if (m_repeatTimer) m_repeatTimer->stop();
        throw;
    }
}

void TTimerSpeedButton::RepeatClick()
{
    // click() would end the pressed state while the button is still held.
    emit clicked(false);
}

void TTimerSpeedButton::setUIStyle(TsuiUIStyle style)
{
    m_style = style;
    update();
}

QRect TTimerSpeedButton::GlyphRect() const
{
    const QRect r(QPoint((width() - m_glyph.width()) / 2, (height() - m_glyph.height()) / 2), m_glyph.size());
    return isDown() ? r.translated(1, 1) : r;
}

QRect TTimerSpeedButton::FocusRect() const
{
    // The face inset by 3 on every side, sinking with the face while held; at the sizes the spin
    // button takes it runs through the glyph's background rows and columns, never over the arrow.
    const QRect r = rect().adjusted(3, 3, -3, -3);
    return isDown() ? r.translated(1, 1) : r;
}

void TTimerSpeedButton::paintEvent(QPaintEvent*)
{
    const TsuiUIStyle effective = EffectiveStyle(nullptr, m_style);
    const int piece = isDown() ? 3 : underMouse() && isEnabled() ? 2 : 1;
    QImage face;
    GetInsideThemeBitmap(effective, SUI_THEME_BUTTON_STRIP, &face, 3, piece, devicePixelRatioF());
    QPainter p(this);
    if (GetInsideThemeBool(effective, SUI_THEME_BUTTON_TRANSPARENT) && !face.isNull()) {
        // Round-ended faces would pinch to a diamond on an arrow this small: the face's middle
        // column, stretched across, inside a frame of its border colour.
        const int mid = face.width() / 2;
        p.drawImage(rect(), face.copy(mid, 0, 1, face.height()));
        p.setPen(face.pixelColor(mid, 0));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
        SpitDraw(face, p, rect(), false);
    }
    if (!icon().isNull()) icon().paint(&p, GlyphRect(), Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    if (m_flags.testFlag(tfDrawFocus)) DrawFocusDots(p, FocusRect());
}

void TTimerSpeedButton::enterEvent(QEnterEvent* e)
{
    QToolButton::enterEvent(e);
    update();
}

void TTimerSpeedButton::leaveEvent(QEvent* e)
{
    QToolButton::leaveEvent(e);
    update();
}

TCSpinButton::TCSpinButton(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    m_upButton = CreateButton();
    m_downButton = CreateButton();
    // The arrows show only a glyph: a screen reader needs their names.
    m_upButton->setAccessibleName(QStringLiteral("Up"));
    m_downButton->setAccessibleName(QStringLiteral("Down"));
    SetUpGlyph(QImage());
    SetDownGlyph(QImage());
    SetBounds(x(), y(), 20, 25);
    m_focusedButton = m_upButton;
    setUIStyle(GetSUIFormStyle(parent ? parent->window() : nullptr));
}

void TCSpinButton::setUIStyle(TsuiUIStyle style)
{
    m_upButton->setUIStyle(style);
    m_downButton->setUIStyle(style);
}

TTimerSpeedButton* TCSpinButton::CreateButton()
{
    auto* b = new TTimerSpeedButton(this);
    connect(b, &QAbstractButton::clicked, this, [this, b] { BtnClick(b); });
    connect(b, &TTimerSpeedButton::MouseDown, this, [this, b](Qt::MouseButton m) { BtnMouseDown(b, m); });
    b->setTimerFlags(TTimerSpeedButton::tfAutoRepeat);
    b->setEnabled(true);
    b->setVisible(true);
    return b;
}

void TCSpinButton::AdjustSize(int& width, int& height)
{
    if (!m_upButton || !m_downButton) return;
    if (width < kMinWidth) width = kMinWidth;
    const int upHeight = height / 2;
    m_upButton->setGeometry(0, 0, width, upHeight);
    m_downButton->setGeometry(0, upHeight - 1, width, height - upHeight + 1);
}

void TCSpinButton::SetBounds(int left, int top, int width, int height)
{
    AdjustSize(width, height);
    setGeometry(left, top, width, height);
}

void TCSpinButton::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    int w = width();
    int h = height();
    AdjustSize(w, h);
    if (w != width() || h != height()) resize(w, h);
}

QImage TCSpinButton::UpGlyph() const { return m_upButton->Glyph(); }

void TCSpinButton::SetUpGlyph(const QImage& glyph)
{
    if (glyph.isNull())
        m_upButton->setGlyph(LoadSkinBitmap(QStringLiteral("SpinUp")), LoadSkinBitmap(QStringLiteral("SpinUp"), 2.0));
    else
        m_upButton->setGlyph(glyph);
}

QImage TCSpinButton::DownGlyph() const { return m_downButton->Glyph(); }

void TCSpinButton::SetDownGlyph(const QImage& glyph)
{
    if (glyph.isNull())
        m_downButton->setGlyph(LoadSkinBitmap(QStringLiteral("SpinDown")),
                               LoadSkinBitmap(QStringLiteral("SpinDown"), 2.0));
    else
        m_downButton->setGlyph(glyph);
}

void TCSpinButton::setTabStop(bool on)
{
    m_tabStop = on;
    // Tab only: a press on an arrow decides about the focus itself (BtnMouseDown).
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

bool TCSpinButton::CanFocus() const { return isEnabled() && isVisible() && window()->isEnabled(); }

void TCSpinButton::SetDrawFocus(TTimerSpeedButton* button, bool on)
{
    auto flags = button->TimerFlags();
    flags.setFlag(TTimerSpeedButton::tfDrawFocus, on);
    button->setTimerFlags(flags);
    button->repaint();
}

void TCSpinButton::SetFocusBtn(TTimerSpeedButton* button)
{
    if (!m_tabStop || !CanFocus() || button == m_focusedButton) return;
    SetDrawFocus(m_focusedButton, false);
    m_focusedButton = button;
    if (hasFocus()) SetDrawFocus(button, true);
}

void TCSpinButton::BtnClick(TTimerSpeedButton* sender)
{
    if (sender == m_upButton)
        emit OnUpClick();
    else
        emit OnDownClick();
}

void TCSpinButton::BtnMouseDown(TTimerSpeedButton* sender, Qt::MouseButton button)
{
    if (button != Qt::LeftButton) return;
    SetFocusBtn(sender);
    QWidget* fc = m_focusControl;
    if (fc && fc->focusPolicy() != Qt::NoFocus && fc->isEnabled() && fc->isVisible() && !fc->hasFocus()) {
        fc->setFocus(Qt::MouseFocusReason);
        return;
    }
    if (m_tabStop && !hasFocus() && CanFocus()) setFocus(Qt::MouseFocusReason);
}

void TCSpinButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Space: BtnClick(m_focusedButton); break;
    case Qt::Key_Up:
        SetFocusBtn(m_upButton);
        BtnClick(m_upButton);
        break;
    case Qt::Key_Down:
        SetFocusBtn(m_downButton);
        BtnClick(m_downButton);
        break;
    default: e->ignore(); return;
    }
    e->accept();
}

void TCSpinButton::focusInEvent(QFocusEvent*) { SetDrawFocus(m_focusedButton, true); }

void TCSpinButton::focusOutEvent(QFocusEvent*) { SetDrawFocus(m_focusedButton, false); }
