#include "skin/Suibutton.h"

#include "skin/Suiaccessible.h"
#include "skin/Suipublic.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

void DrawFocusFrame(QPainter& p, const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    // Every other pixel along the frame, counted around it as the window system does.
    QPolygon dots;
    const int right = RectRight(r) - 1;
    const int bottom = RectBottom(r) - 1;
    for (int x = r.x(); x <= right; ++x) {
        if ((x - r.x()) % 2 == 0)
            dots << QPoint(x, r.y());
        if (bottom > r.y() && (x - r.x() + bottom - r.y()) % 2 == 0)
            dots << QPoint(x, bottom);
    }
    for (int y = r.y() + 1; y < bottom; ++y) {
        if ((y - r.y()) % 2 == 0)
            dots << QPoint(r.x(), y);
        if (right > r.x() && (right - r.x() + y - r.y()) % 2 == 0)
            dots << QPoint(right, y);
    }
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.setPen(Qt::white);
    p.drawPoints(dots);
    p.restore();
}

// Enter and Escape that no control of a window took reach the window itself; this
// filter hands them to the window's buttons there, as it does with accelerator
// characters. With Alt held an accelerator goes to the buttons before the focused
// control sees it.
class SuiDialogKeys : public QObject {
public:
    static void Install()
    {
        // Guarded: the filter goes with the application object that owns it.
        static QPointer<SuiDialogKeys> filter;
        if (!filter && qApp) {
            filter = new SuiDialogKeys(qApp);
            qApp->installEventFilter(filter);
        }
    }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress || !obj->isWidgetType())
            return false;
        auto* target = static_cast<QWidget*>(obj);
        auto* key = static_cast<QKeyEvent*>(e);
        const bool alt = key->modifiers().testFlag(Qt::AltModifier);
        if (alt && target == QApplication::focusWidget() && !target->isWindow())
            return Accelerate(target->window(), key);
        if (!target->isWindow())
            return false;
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::NoModifier) {
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            const bool escape = key->key() == Qt::Key_Escape;
            if (enter || escape) {
                for (TsuiCustomButton* b : target->findChildren<TsuiCustomButton*>()) {
                    if ((enter ? b->IsActive() : b->Cancel()) && b->CanTakeFocus()) {
                        b->Click();
                        return true;
                    }
                }
                return false;
            }
        }
        return Accelerate(target, key);
    }

private:
    using QObject::QObject;

    static bool Accelerate(QWidget* window, QKeyEvent* key)
    {
        QChar ch;
        if (key->key() >= Qt::Key_0 && key->key() <= Qt::Key_Z)
            ch = QChar(key->key());
        else if (key->text().size() == 1)
            ch = key->text().at(0).toUpper();
        if (ch.isNull())
            return false;
        const bool alt = key->modifiers().testFlag(Qt::AltModifier);
        const bool focusOnButton = qobject_cast<TsuiCustomButton*>(window->focusWidget()) != nullptr;
        if (!alt && !focusOnButton)
            return false;
        for (TsuiCustomButton* b : window->findChildren<TsuiCustomButton*>()) {
            const QWidget* parent = b->parentWidget();
            if (b->Accelerator() == ch && parent && parent->isEnabled() && b->isEnabled() && b->isVisible()) {
                b->Click();
                return true;
            }
        }
        return false;
    }
};

TsuiCustomButton::TsuiCustomButton(QWidget* parent) : QWidget(parent)
{
    RegisterSkinAccessibility();
    SuiDialogKeys::Install();
    setFocusPolicy(Qt::TabFocus);
    uiStyle_ = GetSUIFormStyle(parent);
    transparent_ = GetInsideThemeBool(EffectiveStyle(), SUI_THEME_BUTTON_TRANSPARENT);
    picTransparent_ = transparent_;
}

TsuiUIStyle TsuiCustomButton::EffectiveStyle() const
{
    TsuiUIStyle effective = uiStyle_;
    UsingFileTheme(fileTheme_, uiStyle_, effective);
    return effective;
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
    if (!parent)
        return palette().color(QPalette::Window);
    if (IsHasProperty(const_cast<QWidget*>(parent), "Color")) {
        const QVariant v = parent->property("Color");
        if (v.metaType() == QMetaType::fromType<QColor>())
            return v.value<QColor>();
        bool ok = false;
        const uint c = v.toUInt(&ok);
        if (ok)
            return ToQColor(c);
    }
    return parent->palette().color(parent->backgroundRole());
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

void TsuiCustomButton::FetchStripPiece(QImage& face, int piece) const
{
    GetInsideThemeBitmap(EffectiveStyle(), SUI_THEME_BUTTON_STRIP, &face, 3, piece, devicePixelRatioF());
}

void TsuiCustomButton::PaintButtonNormal(QImage& face)
{
    FetchStripPiece(face, 1);
}

void TsuiCustomButton::PaintButtonMouseOn(QImage& face)
{
    FetchStripPiece(face, 2);
}

void TsuiCustomButton::PaintButtonMouseDown(QImage& face)
{
    FetchStripPiece(face, 3);
}

void TsuiCustomButton::PaintButtonDisabled(QImage& face)
{
    FetchStripPiece(face, 1);
}

void TsuiCustomButton::PaintPic(QPainter& p, const QImage& face)
{
    SpitDraw(face, p, rect(), picTransparent_);
}

void TsuiCustomButton::PaintFocus(QPainter& p)
{
    const int m = focusedRectMargin_;
    DrawFocusFrame(p, RectLTRB(m, m, width() - m, height() - m));
}

void TsuiCustomButton::PaintText(QPainter& p, const QString& text)
{
    QRect r = rect();
    if (pressed_ && isEnabled())
        r.translate(1, 1);
    QFont f = font();
    if (boldRequest_)
        f.setBold(true);
    p.setFont(f);
    p.setBrush(Qt::NoBrush);

    const int flags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic;
    const QRect block = p.boundingRect(QRect(0, 0, r.width(), 0x3FFFFFFF), flags | Qt::AlignHCenter | Qt::AlignTop, text);
    const QRect textRect(r.x() + (r.width() - block.width()) / 2, r.y() + (r.height() - block.height()) / 2,
                         block.width(), block.height());
    const int drawFlags = flags | Qt::AlignHCenter | Qt::AlignTop;
    if (!isEnabled()) {
        p.setPen(ToQColor(0xFFFFFF));
        p.drawText(textRect.translated(1, 1), drawFlags, text);
        p.setPen(ToQColor(0x808080));
        p.drawText(textRect, drawFlags, text);
    } else {
        p.setPen(ToQColor(fontColor_));
        p.drawText(textRect, drawFlags, text);
    }
    boldRequest_ = false;
}

void TsuiCustomButton::paintEvent(QPaintEvent*)
{
    QImage face;
    if (!isEnabled())
        PaintButtonDisabled(face);
    else if (pressed_)
        PaintButtonMouseDown(face);
    else if (hover_)
        PaintButtonMouseOn(face);
    else
        PaintButtonNormal(face);
    if (face.isNull()) {
        face = QImage(74, 21, QImage::Format_RGB32);
        face.fill(Qt::white);
    }

    QPainter p(this);
    // A transparent face leaves the background alone: Qt has composed the parent there.
    if (!transparent_)
        p.fillRect(rect(), Color());
    else
        DoTrans(p, this);
    PaintPic(p, face);
    if (hasFocus() && tabStop_)
        PaintFocus(p);
    p.setFont(font());
    if (!caption_.trimmed().isEmpty())
        PaintText(p, caption_);
}

void TsuiCustomButton::DestroyRepeatTimer()
{
    if (!repeatTimer_)
        return;
    // Later: a tick's handler may end the press while the timer is still emitting.
    repeatTimer_->stop();
    repeatTimer_->deleteLater();
    repeatTimer_ = nullptr;
}

void TsuiCustomButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        pressed_ = true;
        clickPending_ = true;
        if (!repeatTimer_) {
            repeatTimer_ = new QTimer(this);
            repeatTimer_->setInterval(std::max(repeatInterval_, 0));
            connect(repeatTimer_, &QTimer::timeout, this, &TsuiCustomButton::OnMouseContinuouslyDown);
            repeatTimer_->start();
        }
        if (tabStop_ && CanTakeFocus())
            setFocus(Qt::MouseFocusReason);
        update();
    }
    QWidget::mousePressEvent(e);
}

void TsuiCustomButton::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (pos.x() < 0 || pos.y() < 0 || pos.x() > width() || pos.y() > height()) {
        if (hover_ || pressed_) {
            hover_ = false;
            pressed_ = false;
            update();
        }
    }
    QWidget::mouseMoveEvent(e);
}

void TsuiCustomButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        const bool click = clickPending_ && rect().contains(e->position().toPoint());
        clickPending_ = false;
        // The repeat belongs to the press: it never outlives the release, wherever it happens.
        DestroyRepeatTimer();
        if (click)
            Click();
        else if (pressed_) {
            pressed_ = false;
            update();
        }
    }
    QWidget::mouseReleaseEvent(e);
}

void TsuiCustomButton::enterEvent(QEnterEvent* e)
{
    hover_ = true;
    update();
    emit OnMouseEnter();
    QWidget::enterEvent(e);
}

void TsuiCustomButton::leaveEvent(QEvent* e)
{
    hover_ = false;
    pressed_ = false;
    DestroyRepeatTimer();
    update();
    emit OnMouseExit();
    QWidget::leaveEvent(e);
}

void TsuiCustomButton::CancelMode()
{
    hover_ = false;
    pressed_ = false;
    clickPending_ = false;
    DestroyRepeatTimer();
    update();
}

void TsuiCustomButton::keyPressEvent(QKeyEvent* e)
{
    // Enter goes on to the window, where it clicks the active button (this one).
    if (e->key() == Qt::Key_Space && e->modifiers() == Qt::NoModifier && isEnabled()) {
        if (!e->isAutoRepeat()) {
            pressed_ = true;
            update();
        }
        return;
    }
    QWidget::keyPressEvent(e);
}

void TsuiCustomButton::keyReleaseEvent(QKeyEvent* e)
{
    const bool ours = e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    // A held key repeats as release/press pairs; only the real release clicks.
    if (ours && !e->isAutoRepeat() && hasFocus() && pressed_ && isEnabled()) {
        pressed_ = false;
        update();
        Click();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void TsuiCustomButton::focusInEvent(QFocusEvent* e)
{
    update();
    QWidget::focusInEvent(e);
}

void TsuiCustomButton::focusOutEvent(QFocusEvent* e)
{
    update();
    QWidget::focusOutEvent(e);
}

void TsuiCustomButton::changeEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::EnabledChange:
        EnableChanged();
        update();
        break;
    case QEvent::FontChange:
        FontChanged();
        break;
    case QEvent::ActivationChange:
        if (!isActiveWindow() && (pressed_ || repeatTimer_))
            CancelMode();
        break;
    default:
        break;
    }
    QWidget::changeEvent(e);
}

void TsuiCustomButton::hideEvent(QHideEvent* e)
{
    if (pressed_ || repeatTimer_)
        CancelMode();
    QWidget::hideEvent(e);
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
    TsuiUIStyle effective = UIStyle();
    if (UsingFileTheme(FileTheme(), UIStyle(), effective))
        return;
    setTransparent(GetInsideThemeBool(effective, SUI_THEME_BUTTON_TRANSPARENT));
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

void TsuiButton::PaintPic(QPainter& p, const QImage& face)
{
    TsuiCustomButton::PaintPic(p, face);
    if (glyph_.isNull())
        return;

    const QFontMetrics fm(font());
    const int tw = fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic, Caption()).width();
    const int th = fm.height();
    int gw = glyph_.width();
    const int gh = glyph_.height();
    const bool twoImages = gw == 2 * gh;
    if (twoImages)
        gw = gh;

    const int w = width();
    const int h = height();
    int gx = 0;
    int gy = 0;
    switch (layout_) {
    case blGlyphLeft:
        gx = (w - tw - gw - spacing_) / 2;
        gy = (h - gh) / 2;
        textPos_ = QPoint(gx + gw + spacing_, (h - th) / 2);
        break;
    case blGlyphRight:
        gx = (w + tw + spacing_ - gw) / 2;
        gy = (h - gh) / 2;
        textPos_ = QPoint(gx - tw - spacing_, (h - th) / 2);
        break;
    case blGlyphTop:
        gx = (w - gw) / 2;
        gy = (h - th - gh - spacing_) / 2;
        textPos_ = QPoint((w - tw) / 2, gy + gh + spacing_);
        break;
    case blGlyphBottom:
        gx = (w - gw) / 2;
        gy = (h + th + spacing_ - gh) / 2;
        textPos_ = QPoint((w - tw) / 2, gy - th - spacing_);
        break;
    }
    if (Pressed()) {
        gx += 1;
        gy += 1;
    }

    QImage image = twoImages ? glyph_.copy(isEnabled() ? 0 : gw, 0, gw, gh) : glyph_;
    const TColor key = ToTColor(image.pixel(0, 0));
    if (!isEnabled() && !twoImages) {
        QStyleOption opt;
        opt.initFrom(this);
        const QPixmap masked = QPixmap::fromImage(MaskedImage(image, key));
        p.drawPixmap(gx, gy, style()->generatedIconPixmap(QIcon::Disabled, masked, &opt));
        return;
    }
    DrawTransparent(p, gx, gy, image, key);
}

void TsuiButton::PaintText(QPainter& p, const QString& text)
{
    if (glyph_.isNull()) {
        TsuiCustomButton::PaintText(p, text);
        return;
    }
    QPoint pos = textPos_;
    if (Pressed() && isEnabled())
        pos += QPoint(1, 1);
    p.setFont(font());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    const auto at = [&](QPoint o) { return QRect(o, QPoint(width() - 1, height() - 1)); };
    if (!isEnabled()) {
        p.setPen(ToQColor(0xFFFFFF));
        p.drawText(at(pos + QPoint(1, 1)), flags, text);
        p.setPen(ToQColor(0x808080));
        p.drawText(at(pos), flags, text);
    } else {
        p.setPen(ToQColor(FontColor()));
        p.drawText(at(pos), flags, text);
    }
    boldRequest_ = false;
}

void TsuiButton::PaintFocus(QPainter& p)
{
    const TsuiUIStyle style = UIStyle();
    if (style == MacOS || style == BlueGlass)
        boldRequest_ = true;
    else
        TsuiCustomButton::PaintFocus(p);
}
