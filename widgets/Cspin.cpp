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

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent) : QToolButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TTimerSpeedButton::SetTimerFlags(TTimerFlags flags)
{
    if (flags_ == flags)
        return;
    flags_ = flags;
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

void TTimerSpeedButton::SetGlyph(const QImage& glyph, const QImage& glyph2x)
{
    glyph_ = glyph;
    if (glyph.isNull()) {
        setIcon(QIcon());
    } else {
        QIcon icon(MaskedGlyph(glyph));
        // A screen at twice the density takes the twice-size glyph instead of a blurred one.
        if (!glyph2x.isNull())
            icon.addPixmap(MaskedGlyph(glyph2x));
        setIcon(icon);
        setIconSize(glyph.size());
    }
    update();
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* e)
{
    emit MouseDown(e->button());
    QToolButton::mousePressEvent(e);
    if (e->button() == Qt::LeftButton && isDown())
        holdsMouse_ = true;
    if (flags_.testFlag(tfAutoRepeat)) {
        if (!repeatTimer_) {
            repeatTimer_ = new QTimer(this);
            repeatTimer_->setTimerType(Qt::PreciseTimer);
            connect(repeatTimer_, &QTimer::timeout, this, &TTimerSpeedButton::TimerExpired);
        }
        repeatTimer_->setInterval(kFirstRepeatMs);
        repeatTimer_->start();
    }
    // Keep the release for this arrow, also after a press of another button.
    e->accept();
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* e)
{
    QToolButton::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton)
        holdsMouse_ = false;
    if (repeatTimer_)
        repeatTimer_->stop();
    e->accept();
}

void TTimerSpeedButton::TimerExpired()
{
    if (repeatTimer_)
        repeatTimer_->setInterval(kRepeatMs);
    if (!(isDown() && holdsMouse_))
        return;
    try {
        RepeatClick();
    } catch (...) {
        if (repeatTimer_)
            repeatTimer_->stop();
        throw;
    }
}

void TTimerSpeedButton::RepeatClick()
{
    // click() would end the pressed state while the button is still held.
    emit clicked(false);
}

void TTimerSpeedButton::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    update();
}

QRect TTimerSpeedButton::GlyphRect() const
{
    const QRect r(QPoint((width() - glyph_.width()) / 2, (height() - glyph_.height()) / 2), glyph_.size());
    return isDown() ? r.translated(1, 1) : r;
}

QRect TTimerSpeedButton::FocusRect() const
{
    // A frame around the glyph with a pixel of face between them, kept inside the face's border.
    // The inset frame of a larger button would fall on the arrow of a 15-pixel one.
    return GlyphRect().adjusted(-2, -2, 2, 2).intersected(rect().adjusted(1, 1, -1, -1));
}

void TTimerSpeedButton::paintEvent(QPaintEvent*)
{
    const TsuiUIStyle effective = EffectiveStyle(nullptr, style_);
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
    if (!icon().isNull())
        icon().paint(&p, GlyphRect(), Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    if (flags_.testFlag(tfDrawFocus))
        DrawFocusDots(p, FocusRect());
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

TCSpinButton::TCSpinButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    upButton_ = CreateButton();
    downButton_ = CreateButton();
    SetUpGlyph(QImage());
    SetDownGlyph(QImage());
    SetBounds(x(), y(), 20, 25);
    focusedButton_ = upButton_;
    SetUIStyle(GetSUIFormStyle(parent ? parent->window() : nullptr));
}

void TCSpinButton::SetUIStyle(TsuiUIStyle style)
{
    upButton_->SetUIStyle(style);
    downButton_->SetUIStyle(style);
}

TTimerSpeedButton* TCSpinButton::CreateButton()
{
    auto* b = new TTimerSpeedButton(this);
    connect(b, &QAbstractButton::clicked, this, [this, b] { BtnClick(b); });
    connect(b, &TTimerSpeedButton::MouseDown, this, [this, b](Qt::MouseButton m) { BtnMouseDown(b, m); });
    b->SetTimerFlags(TTimerSpeedButton::tfAutoRepeat);
    b->setEnabled(true);
    b->setVisible(true);
    return b;
}

void TCSpinButton::AdjustSize(int& width, int& height)
{
    if (!upButton_ || !downButton_)
        return;
    if (width < kMinWidth)
        width = kMinWidth;
    const int upHeight = height / 2;
    upButton_->setGeometry(0, 0, width, upHeight);
    downButton_->setGeometry(0, upHeight - 1, width, height - upHeight + 1);
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
    if (w != width() || h != height())
        resize(w, h);
}

QImage TCSpinButton::UpGlyph() const
{
    return upButton_->Glyph();
}

void TCSpinButton::SetUpGlyph(const QImage& glyph)
{
    if (glyph.isNull())
        upButton_->SetGlyph(LoadSkinBitmap(QStringLiteral("SpinUp")), LoadSkinBitmap(QStringLiteral("SpinUp"), 2.0));
    else
        upButton_->SetGlyph(glyph);
}

QImage TCSpinButton::DownGlyph() const
{
    return downButton_->Glyph();
}

void TCSpinButton::SetDownGlyph(const QImage& glyph)
{
    if (glyph.isNull())
        downButton_->SetGlyph(LoadSkinBitmap(QStringLiteral("SpinDown")), LoadSkinBitmap(QStringLiteral("SpinDown"), 2.0));
    else
        downButton_->SetGlyph(glyph);
}

void TCSpinButton::SetTabStop(bool on)
{
    tabStop_ = on;
    // Tab only: a press on an arrow decides about the focus itself (BtnMouseDown).
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

bool TCSpinButton::CanFocus() const
{
    return isEnabled() && isVisible() && window()->isEnabled();
}

void TCSpinButton::SetDrawFocus(TTimerSpeedButton* button, bool on)
{
    auto flags = button->TimerFlags();
    flags.setFlag(TTimerSpeedButton::tfDrawFocus, on);
    button->SetTimerFlags(flags);
    button->repaint();
}

void TCSpinButton::SetFocusBtn(TTimerSpeedButton* button)
{
    if (!tabStop_ || !CanFocus() || button == focusedButton_)
        return;
    SetDrawFocus(focusedButton_, false);
    focusedButton_ = button;
    if (hasFocus())
        SetDrawFocus(button, true);
}

void TCSpinButton::BtnClick(TTimerSpeedButton* sender)
{
    if (sender == upButton_)
        emit OnUpClick();
    else
        emit OnDownClick();
}

void TCSpinButton::BtnMouseDown(TTimerSpeedButton* sender, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    SetFocusBtn(sender);
    QWidget* fc = focusControl_;
    if (fc && fc->focusPolicy() != Qt::NoFocus && fc->isEnabled() && fc->isVisible() && !fc->hasFocus()) {
        fc->setFocus(Qt::MouseFocusReason);
        return;
    }
    if (tabStop_ && !hasFocus() && CanFocus())
        setFocus(Qt::MouseFocusReason);
}

void TCSpinButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Space:
        BtnClick(focusedButton_);
        break;
    case Qt::Key_Up:
        SetFocusBtn(upButton_);
        BtnClick(upButton_);
        break;
    case Qt::Key_Down:
        SetFocusBtn(downButton_);
        BtnClick(downButton_);
        break;
    default:
        e->ignore();
        return;
    }
    e->accept();
}

void TCSpinButton::focusInEvent(QFocusEvent*)
{
    SetDrawFocus(focusedButton_, true);
}

void TCSpinButton::focusOutEvent(QFocusEvent*)
{
    SetDrawFocus(focusedButton_, false);
}
