#include "skin/Suititlebar.h"

#include "platform/MessageBox.h"
#include "skin/Suipublic.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

// Last piece (1-based) of a button's normal, mouse-over, pressed triple in the title-button strip.
int LastPieceOf(TsuiTitleBarBtnType type)
{
    switch (type) {
    case suiControlBox: return 3;
    case suiHelp: return 6;
    case suiMax: return 9;
    case suiMin: return 15;
    case suiClose: return 18;
    case suiCustom: break;
    }
    return 0;
}

constexpr int kRestoreLastPiece = 12;
constexpr int kTitleButtonPieces = 18;

} // namespace

void ShowSuiErrorBox(QWidget* parent, const QString& text)
{
    platform::ShowMessageBox(parent, text, QStringLiteral("Error"), QMessageBox::Critical);
}

// ---- sections ------------------------------------------------------------------------------

void TsuiTitleBarSection::setAutoSize(bool on) { m_autoSize = on; m_owner->Changed(); }

int TsuiTitleBarSection::Width() const
{
    return m_autoSize && !m_picture.isNull() ? m_picture.Size().width() : m_width;
}

void TsuiTitleBarSection::setWidth(int width) { m_width = width; m_owner->Changed(); }

void TsuiTitleBarSection::setAlign(TsuiTitleBarAlign align)
{
    if (align == suiClient) {
        for (int i = 0; i < m_owner->Count(); ++i) {
            const TsuiTitleBarSection* other = m_owner->Items(i);
            if (other != this && other->Align() == suiClient) {
                ShowSuiErrorBox(m_owner->Bar(),
                                QStringLiteral("Sorry, only one section's Align property can be \"suiClient\""));
                return;
            }
        }
        m_stretch = true;
    }
    m_align = align;
    m_owner->Changed();
}

void TsuiTitleBarSection::setPicture(const LazySkinPicture& picture) { m_picture = picture; m_owner->Changed(); }
void TsuiTitleBarSection::setStretch(bool on) { m_stretch = on; m_owner->Changed(); }
void TsuiTitleBarSection::setCapSec(bool on) { m_capSec = on; m_owner->Changed(); }

TsuiTitleBarSection* TsuiTitleBarSections::Add()
{
    m_items.push_back(std::make_unique<TsuiTitleBarSection>(this));
    Changed();
    return m_items.back().get();
}

void TsuiTitleBarSections::Clear()
{
    m_items.clear();
    Changed();
}

void TsuiTitleBarSections::Changed() { m_bar->SectionsChanged(); }

// ---- buttons -------------------------------------------------------------------------------

void TsuiTitleBarButton::setButtonType(TsuiTitleBarBtnType type)
{
    if (type == suiControlBox) {
        for (int i = 0; i < m_owner->Count(); ++i) {
            const TsuiTitleBarButton* other = m_owner->Items(i);
            if (other != this && other->ButtonType() == suiControlBox) {
                ShowSuiErrorBox(m_owner->Bar(),
                                QStringLiteral("Sorry, only one button's ButtonType property can be \"suiControlBox\""));
                return;
            }
        }
    }
    m_type = type;
    setUIStyle(m_style);
}

void TsuiTitleBarButton::setVisible(bool on) { m_visible = on; m_owner->Changed(); }
void TsuiTitleBarButton::setTransparent(bool on) { m_transparent = on; m_owner->Changed(); }
void TsuiTitleBarButton::setTop(int top) { m_top = top; m_owner->Changed(); }
void TsuiTitleBarButton::setControlBoxMenu(QMenu* menu) { m_controlBoxMenu = menu; m_owner->Changed(); }

void TsuiTitleBarButton::setPictures(const QImage& normal, const QImage& mouseOn, const QImage& mouseDown)
{
    m_picNormal = normal;
    m_picMouseOn = mouseOn;
    m_picMouseDown = mouseDown;
    m_owner->Changed();
}

bool TsuiTitleBarButton::HasPictures() const
{
    return !m_picNormal.isNull() && !m_picMouseOn.isNull() && !m_picMouseDown.isNull();
}

void TsuiTitleBarButton::setUIStyle(TsuiUIStyle style)
{
    m_style = style;
    TsuiUIStyle effective = style;
    UsingFileTheme(m_owner->Bar()->FileTheme(), style, effective);
    m_transparent = GetInsideThemeBool(effective, SUI_THEME_TITLE_BUTTON_TRANSPARENT);
    if (m_type != suiCustom)
        LoadPictures(LastPieceOf(m_type));
    m_owner->Changed();
}

void TsuiTitleBarButton::ShowRestorePictures(bool restore)
{
    if (m_type != suiMax)
        return;
    LoadPictures(restore ? kRestoreLastPiece : LastPieceOf(suiMax));
    m_owner->Changed();
}

void TsuiTitleBarButton::LoadPictures(int lastPiece)
{
    TsuiUIStyle effective = m_style;
    UsingFileTheme(m_owner->Bar()->FileTheme(), m_style, effective);
    const QString strip = GetInsideThemePictureName(effective, SUI_THEME_TITLE_BUTTON_STRIP);
    m_picNormal = LazySkinPicture(strip, kTitleButtonPieces, lastPiece - 2);
    m_picMouseOn = LazySkinPicture(strip, kTitleButtonPieces, lastPiece - 1);
    m_picMouseDown = LazySkinPicture(strip, kTitleButtonPieces, lastPiece);
}

TsuiTitleBarButton* TsuiTitleBarButtons::Add()
{
    m_items.push_back(std::make_unique<TsuiTitleBarButton>(this));
    Changed();
    return m_items.back().get();
}

TsuiTitleBarButton* TsuiTitleBarButtons::Add(TsuiTitleBarBtnType type)
{
    TsuiTitleBarButton* button = Add();
    button->setUIStyle(m_bar->UIStyle());
    button->setButtonType(type);
    return button;
}

void TsuiTitleBarButtons::Clear()
{
    m_items.clear();
    Changed();
}

void TsuiTitleBarButtons::Changed() { m_bar->ButtonsChanged(); }

// ---- window menu ---------------------------------------------------------------------------

TsuiTitleBarPopupMenu::TsuiTitleBarPopupMenu(TsuiTitleBar* bar) : TsuiPopupMenu(bar), m_bar(bar)
{
    m_minimize = addAction(QStringLiteral("Mi&nimize"));
    m_maximize = addAction(QStringLiteral("Ma&ximize/Restore"));
    addSeparator();
    m_close = addAction(QStringLiteral("&Close"));
    connect(m_minimize, &QAction::triggered, this, [this] {
        for (int i = 0; i < m_bar->Buttons().Count(); ++i) {
            const TsuiTitleBarButton* b = m_bar->Buttons().Items(i);
            if (b->Visible() && b->ButtonType() == suiMin) {
                m_bar->ClickButton(i);
                return;
            }
        }
    });
    connect(m_maximize, &QAction::triggered, this, [this] {
        for (int i = 0; i < m_bar->Buttons().Count(); ++i) {
            const TsuiTitleBarButton* b = m_bar->Buttons().Items(i);
            if (b->Visible() && b->ButtonType() == suiMax)
                m_bar->ClickButton(i);
        }
    });
    connect(m_close, &QAction::triggered, this, [this] { m_bar->Host()->close(); });
}

void TsuiTitleBarPopupMenu::UpdateItems()
{
    bool hasMin = false;
    bool hasMax = false;
    bool hasClose = false;
    for (int i = 0; i < m_bar->Buttons().Count(); ++i) {
        const TsuiTitleBarButton* b = m_bar->Buttons().Items(i);
        if (!b->Visible())
            continue;
        hasMin |= b->ButtonType() == suiMin;
        hasMax |= b->ButtonType() == suiMax;
        hasClose |= b->ButtonType() == suiClose;
    }
    m_minimize->setEnabled(hasMin);
    m_maximize->setEnabled(hasMax);
    m_close->setEnabled(hasClose);
}

// ---- title bar -----------------------------------------------------------------------------

TsuiTitleBar::TsuiTitleBar(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    QFont caption(QStringLiteral("Tahoma"));
    caption.setPixelSize(11);
    caption.setBold(true);
    setFont(caption);
    m_windowMenu = new TsuiTitleBarPopupMenu(this);
    m_windowMenu->installEventFilter(this);
    m_buttons.Add(suiControlBox);
    m_buttons.Add(suiClose);
    m_buttons.Add(suiMax);
    m_buttons.Add(suiMin);
    setUIStyle(GetSUIFormStyle(parent));
}

QWidget* TsuiTitleBar::Host() const
{
    if (InsideFrame() && parentWidget()->parentWidget())
        return parentWidget()->parentWidget();
    return window();
}

bool TsuiTitleBar::InsideFrame() const
{
    return parentWidget() && parentWidget()->inherits("TsuiForm");
}

void TsuiTitleBar::setFileTheme(TsuiFileTheme* theme)
{
    m_fileTheme = theme;
    setUIStyle(m_style);
}

void TsuiTitleBar::setUIStyle(TsuiUIStyle style)
{
    if (m_custom)
        return;
    m_style = style;
    TsuiUIStyle effective = style;
    UsingFileTheme(m_fileTheme, style, effective);

    m_sections.Clear();
    const auto addSection = [&](int element, TsuiTitleBarAlign align) {
        TsuiTitleBarSection* section = m_sections.Add();
        section->setPicture(LazySkinPicture(GetInsideThemePictureName(effective, element)));
        section->setAutoSize(align != suiClient);
        section->setAlign(align);
    };
    addSection(SUI_THEME_TITLE_LEFT_PICTURE, suiLeft);
    addSection(SUI_THEME_TITLE_RIGHT_PICTURE, suiRight);
    addSection(SUI_THEME_TITLE_CLIENT_PICTURE, suiClient);

    m_leftBtnXOffset = GetInsideThemeInt(effective, SUI_THEME_TITLE_LEFT_BUTTON_OFFSET);
    m_rightBtnXOffset = GetInsideThemeInt(effective, SUI_THEME_TITLE_RIGHT_BUTTON_OFFSET);
    m_buttonTop = GetInsideThemeInt(effective, SUI_THEME_TITLE_BUTTON_TOP) - (InsideFrame() ? 3 : 0);
    m_roundCorner = GetInsideThemeInt(effective, SUI_THEME_ROUND_CORNER_SIZE);
    m_roundCornerBottom = 0;
    if (InsideFrame()) {
        // The frame sets the final minimum height after its own style.
        Host()->setMinimumSize(GetInsideThemeInt(effective, SUI_THEME_FORM_MIN_WIDTH), 50);
    }
    for (int i = 0; i < m_buttons.Count(); ++i)
        m_buttons.Items(i)->setUIStyle(style);
    m_windowMenu->setUIStyle(effective);
    m_fontColor = effective == MacOS ? 0x000000 : 0xFFFFFF;
    // There is no system inactive caption colour here; a dimmed one that still reads on the bar:
    // dark grey on the light pinstripes, a pale blue-white on the dark bars.
    m_inactiveCaptionColor = effective == MacOS ? 0x505050 : 0xF8ECE4;
    m_autoSize = true;
    ApplyAutoSize();
    update();
}

void TsuiTitleBar::setAutoSize(bool on)
{
    m_autoSize = on;
    ApplyAutoSize();
}

void TsuiTitleBar::ApplyAutoSize()
{
    if (!m_autoSize || m_sections.Count() == 0 || m_sections.Items(0)->PictureSize().isEmpty())
        return;
    const int h = m_sections.Items(0)->PictureSize().height() - (InsideFrame() ? 3 : 0);
    if (h != height())
        resize(width(), h);
}

void TsuiTitleBar::setButtonInterval(int pixels) { m_buttonInterval = pixels; update(); }
void TsuiTitleBar::setCaption(const QString& caption) { m_caption = caption; update(); }
void TsuiTitleBar::setFormActive(bool active) { m_formActive = active; update(); }
void TsuiTitleBar::setLeftBtnXOffset(int x) { m_leftBtnXOffset = x; update(); }
void TsuiTitleBar::setRightBtnXOffset(int x) { m_rightBtnXOffset = x; update(); }
void TsuiTitleBar::setDrawAppIcon(bool on) { m_drawAppIcon = on; update(); }
void TsuiTitleBar::setRoundCorner(int radius) { m_roundCorner = radius; update(); }
void TsuiTitleBar::setRoundCornerBottom(int radius) { m_roundCornerBottom = radius; update(); }
void TsuiTitleBar::setInactiveCaptionColor(TColor c) { m_inactiveCaptionColor = c; update(); }
void TsuiTitleBar::setFontColor(TColor c) { m_fontColor = c; update(); }

void TsuiTitleBar::SectionsChanged()
{
    ApplyAutoSize();
    update();
    if (InsideFrame())
        Host()->update();
}

void TsuiTitleBar::ButtonsChanged() { update(); }

TsuiTitleBar::Layout TsuiTitleBar::ComputeLayout() const
{
    Layout layout;
    const int w = width();
    const int k = FrameInset();
    int cursor = w - m_rightBtnXOffset + k - 1;
    layout.captionRight = w;
    for (int i = 0; i < m_buttons.Count(); ++i) {
        const TsuiTitleBarButton* b = m_buttons.Items(i);
        if (!b->Visible() || !b->HasPictures())
            continue;
        if (b->ButtonType() == suiControlBox) {
            layout.controlBox = i;
            continue;
        }
        const int pw = b->PicSize().width();
        cursor -= b->ButtonType() == suiClose ? pw : pw + m_buttonInterval + 1;
        if (cursor + pw > w - 1)
            cursor = w - pw - 1;
        const QRect r(cursor, m_buttonTop, pw, b->PicSize().height());
        layout.buttons.emplace_back(i, r);
        layout.captionRight = qMin(layout.captionRight, r.x());
    }

    const int p = qMax(0, m_leftBtnXOffset - 4 - (k - 1));
    if (layout.controlBox >= 0) {
        const QSize pic = m_buttons.Items(layout.controlBox)->PicSize();
        layout.controlBoxRect = QRect(p, m_buttonTop, pic.width(), pic.height());
        layout.captionX = m_drawAppIcon ? p + 21 : p + pic.width() + 5;
    } else {
        layout.captionX = p == 0 ? 6 : p;
    }
    TsuiUIStyle effective = m_style;
    UsingFileTheme(m_fileTheme.data(), m_style, effective);
    layout.captionY = effective == Protein ? m_buttonTop + 3 : m_buttonTop;
    return layout;
}

int TsuiTitleBar::ButtonAt(const QPoint& pos) const
{
    const Layout layout = ComputeLayout();
    for (const auto& [index, r] : layout.buttons) {
        if (r.contains(pos))
            return index;
    }
    if (layout.controlBox >= 0 && layout.controlBoxRect.contains(pos))
        return layout.controlBox;
    return -1;
}

QString TsuiTitleBar::CutCaption(const QString& caption, int width) const
{
    const QFontMetrics fm(font());
    if (fm.horizontalAdvance(caption) <= width)
        return caption;
    const QString dots = QStringLiteral("...");
    for (qsizetype n = caption.size() - 1; n > 0; --n) {
        const QString candidate = caption.left(n) + dots;
        if (fm.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    return dots;
}

void TsuiTitleBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const Layout layout = ComputeLayout();
    m_hovered = rect().contains(m_mousePos) ? ButtonAt(m_mousePos) : -1;
    DrawSectionsTo(p);
    DrawButtons(p, layout);
    DrawControlBoxAndIcon(p, layout);
    DrawCaption(p, layout);
}

void TsuiTitleBar::DrawSectionsTo(QPainter& p) const
{
    const int k = FrameInset();
    const int top = InsideFrame() ? -3 : 0;
    int left = -k;
    int right = width() + k;
    const TsuiTitleBarSection* client = nullptr;
    for (int i = 0; i < m_sections.Count(); ++i) {
        const TsuiTitleBarSection* s = m_sections.Items(i);
        switch (s->Align()) {
        case suiLeft:
            p.drawImage(left, top, s->Picture(devicePixelRatioF()));
            left += s->Width();
            break;
        case suiRight:
            right -= s->Width();
            p.drawImage(right, top, s->Picture(devicePixelRatioF()));
            break;
        case suiClient:
            client = s;
            break;
        }
    }
    if (client && !client->Picture().isNull() && right > left)
        p.drawImage(QRect(left, top, right - left, client->Picture().height()), client->Picture(devicePixelRatioF()));
}

void TsuiTitleBar::DrawButtons(QPainter& p, const Layout& layout)
{
    for (const auto& [index, r] : layout.buttons) {
        const TsuiTitleBarButton* b = m_buttons.Items(index);
        const bool hovered = index == m_hovered;
        const QImage& pic = b->Pic(hovered, m_mouseDown, devicePixelRatioF());
        if (b->Transparent())
            DrawTransparent(p, r.x(), r.y(), pic, ToTColor(pic.pixel(0, pic.height() - 1)));
        else
            p.drawImage(r.topLeft(), pic);
    }
}

void TsuiTitleBar::DrawControlBoxAndIcon(QPainter& p, const Layout& layout) const
{
    if (layout.controlBox < 0)
        return;
    const QRect& r = layout.controlBoxRect;
    if (m_drawAppIcon) {
        const QIcon icon = Host()->windowIcon();
        if (!icon.isNull())
            p.drawPixmap(r.x() + 3, r.y(), icon.pixmap(QSize(16, 16), devicePixelRatioF()));
        return;
    }
    const TsuiTitleBarButton* b = m_buttons.Items(layout.controlBox);
    const bool hovered = layout.controlBox == m_hovered;
    const QImage& pic = b->Pic(hovered, m_mouseDown, devicePixelRatioF());
    if (b->Transparent())
        DrawTransparent(p, r.x(), r.y() - 1, pic, ToTColor(pic.pixel(0, pic.height() - 1)));
    else
        p.drawImage(r.x(), r.y() - 1, pic);
}

void TsuiTitleBar::DrawCaption(QPainter& p, const Layout& layout) const
{
    const int space = layout.captionRight - layout.captionX;
    if (space <= 0 || m_caption.isEmpty())
        return;
    p.save();
    p.setClipRect(QRect(layout.captionX, 0, space, height()));
    p.setFont(font());
    p.setPen(ToQColor(m_formActive ? m_fontColor : m_inactiveCaptionColor));
    const QFontMetrics fm(font());
    p.drawText(QRect(layout.captionX, layout.captionY, space, fm.height()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, CutCaption(m_caption, space));
    p.restore();
}

void TsuiTitleBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_mousePos = event->position().toPoint();
    m_mouseDown = true;
    update();
    QWidget* host = Host();
    if (ButtonAt(m_mousePos) >= 0 || host->isMaximized())
        return;
    m_mouseDown = false;
    QWindow* window = host->isWindow() ? host->windowHandle() : nullptr;
    if (window && window->startSystemMove())
        return;
    m_dragging = true;
    m_dragStart = event->globalPosition().toPoint();
    m_hostStart = host->pos();
}

void TsuiTitleBar::mouseMoveEvent(QMouseEvent* event)
{
    m_mousePos = event->position().toPoint();
    if (m_dragging)
        Host()->move(m_hostStart + event->globalPosition().toPoint() - m_dragStart);
    update();
}

void TsuiTitleBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_mousePos = event->position().toPoint();
    m_dragging = false;
    const bool wasDown = m_mouseDown;
    m_mouseDown = false;
    update();
    if (!wasDown)
        return;
    const int index = ButtonAt(m_mousePos);
    if (index < 0)
        return;
    const TsuiTitleBarButton* b = m_buttons.Items(index);
    if (b->ButtonType() == suiControlBox && !b->ControlBoxMenu()) {
        PopupWindowMenu(mapToGlobal(QPoint(0, height())));
        m_menuOpenedByIcon.start();
        return;
    }
    ClickButton(index);
}

void TsuiTitleBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = ButtonAt(event->position().toPoint());
    if (index < 0) {
        for (int i = 0; i < m_buttons.Count(); ++i) {
            const TsuiTitleBarButton* b = m_buttons.Items(i);
            if (b->Visible() && b->ButtonType() == suiMax) {
                ClickButton(i);
                return;
            }
        }
        return;
    }
    if (m_buttons.Items(index)->ButtonType() == suiControlBox) {
        m_windowMenu->hide();
        CloseHost();
    }
}

void TsuiTitleBar::leaveEvent(QEvent*)
{
    m_mousePos = QPoint(-1, -1);
    update();
}

bool TsuiTitleBar::eventFilter(QObject* watched, QEvent* event)
{
    // The window menu takes the second click of a double click on the icon that opened it.
    if (watched == m_windowMenu &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint pos = mapFromGlobal(mouse->globalPosition().toPoint());
        const int index = ButtonAt(pos);
        if (mouse->button() == Qt::LeftButton && index >= 0 && index == ComputeLayout().controlBox &&
            m_menuOpenedByIcon.isValid() && m_menuOpenedByIcon.elapsed() <= QApplication::doubleClickInterval()) {
            m_menuOpenedByIcon.invalidate();
            m_windowMenu->hide();
            CloseHost();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TsuiTitleBar::PopupWindowMenu(const QPoint& globalPos)
{
    m_windowMenu->UpdateItems();
    m_windowMenu->popup(QPoint(qMax(globalPos.x(), 0), globalPos.y()));
}

void TsuiTitleBar::ClickButton(int index)
{
    const TsuiTitleBarButton* b = m_buttons.Items(index);
    QWidget* host = Host();
    switch (b->ButtonType()) {
    case suiClose:
        CloseHost();
        break;
    case suiMin: {
        bool allow = true;
        emit MinClick(&allow);
        if (allow)
            host->showMinimized();
        break;
    }
    case suiMax: {
        bool allow = true;
        emit MaxClick(&allow);
        if (!allow)
            break;
        if (host->isMaximized())
            host->showNormal();
        else
            host->showMaximized();
        ProcessMaxBtn();
        break;
    }
    case suiControlBox:
        if (b->ControlBoxMenu())
            b->ControlBoxMenu()->popup(mapToGlobal(QPoint(0, height())));
        break;
    case suiHelp:
        emit HelpBtnClick(index);
        break;
    case suiCustom:
        emit CustomBtnsClick(index);
        break;
    }
}

void TsuiTitleBar::ProcessMaxBtn()
{
    if (m_custom)
        return;
    const bool maximised = Host()->isMaximized();
    for (int i = 0; i < m_buttons.Count(); ++i)
        m_buttons.Items(i)->ShowRestorePictures(maximised);
}

void TsuiTitleBar::CloseHost() { Host()->close(); }
