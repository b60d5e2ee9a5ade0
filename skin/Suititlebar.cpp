// The title bar's window menu, its style and its layout.
#include "skin/Suititlebar.h"

#include "skin/Suipublic.h"

#include <QEvent>

namespace Metrics = SuiMetrics::TitleBar;

// ---- window menu ---------------------------------------------------------------------------

TsuiTitleBarPopupMenu::TsuiTitleBarPopupMenu(TsuiTitleBar* bar)
    : TsuiPopupMenu(bar)
    , m_bar(bar)
{
    m_minimize = addAction(QStringLiteral("Mi&nimize"));
    m_maximize = addAction(QStringLiteral("Ma&ximize/Restore"));
    addSeparator();
    m_close = addAction(QStringLiteral("&Close"));
    connect(m_minimize, &QAction::triggered, this, [this] {
        const int index = m_bar->Buttons().IndexOf(suiMin);
        if (index >= 0) m_bar->ClickButton(index);
    });
    connect(m_maximize, &QAction::triggered, this, [this] {
        const TsuiTitleBarButtons& buttons = m_bar->Buttons();
        for (int i = buttons.IndexOf(suiMax); i >= 0; i = buttons.IndexOf(suiMax, i + 1))
            m_bar->ClickButton(i);
    });
    connect(m_close, &QAction::triggered, this, [this] { m_bar->Host()->close(); });
}

void TsuiTitleBarPopupMenu::UpdateItems()
{
    const TsuiTitleBarButtons& buttons = m_bar->Buttons();
    m_minimize->setEnabled(buttons.IndexOf(suiMin) >= 0);
    m_maximize->setEnabled(buttons.IndexOf(suiMax) >= 0);
    m_close->setEnabled(buttons.IndexOf(suiClose) >= 0);
}

// ---- title bar -----------------------------------------------------------------------------

TsuiTitleBar::TsuiTitleBar(QWidget* parent)
    : QWidget(parent)
{
    RegisterTitleBarAccessibility();
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
    if (InsideFrame() && parentWidget()->parentWidget()) return parentWidget()->parentWidget();
    return window();
}

bool TsuiTitleBar::InsideFrame() const { return parentWidget() && parentWidget()->inherits("TsuiForm"); }

void TsuiTitleBar::setFileTheme(TsuiFileTheme* theme)
{
    m_fileTheme = theme;
    setUIStyle(m_style);
}

void TsuiTitleBar::setUIStyle(TsuiUIStyle style)
{
    if (m_custom) return;
    m_style = style;
    const TsuiUIStyle effective = EffectiveStyle(m_fileTheme, style);

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

    const int band = InsideFrame() ? SuiMetrics::Frame::kBand : 0;
    m_leftBtnXOffset = GetInsideThemeInt(effective, SUI_THEME_TITLE_LEFT_BUTTON_OFFSET);
    m_rightBtnXOffset = GetInsideThemeInt(effective, SUI_THEME_TITLE_RIGHT_BUTTON_OFFSET);
    m_buttonTop = GetInsideThemeInt(effective, SUI_THEME_TITLE_BUTTON_TOP) - band;
    m_roundCorner = GetInsideThemeInt(effective, SUI_THEME_ROUND_CORNER_SIZE);
    m_roundCornerBottom = 0;
    if (InsideFrame()) {
        // The frame sets the final minimum height after its own style.
        Host()->setMinimumSize(GetInsideThemeInt(effective, SUI_THEME_FORM_MIN_WIDTH), Metrics::kMinimumHostHeight);
    }
    for (int i = 0; i < m_buttons.Count(); ++i)
        m_buttons.Items(i)->setUIStyle(style);
    m_windowMenu->setUIStyle(effective);
    m_fontColor = GetInsideThemeColor(effective, SUI_THEME_TITLE_FONT_COLOR);
    m_autoSize = true;
    ApplyAutoSize();
    Relayout();
}

void TsuiTitleBar::setAutoSize(bool on)
{
    m_autoSize = on;
    ApplyAutoSize();
}

void TsuiTitleBar::ApplyAutoSize()
{
    if (!m_autoSize || m_sections.Count() == 0 || m_sections.Items(0)->PictureSize().isEmpty()) return;
    const int h = m_sections.Items(0)->PictureSize().height() - (InsideFrame() ? SuiMetrics::Frame::kBand : 0);
    if (h != height()) resize(width(), h);
}

void TsuiTitleBar::setButtonInterval(int pixels)
{
    m_buttonInterval = pixels;
    Relayout();
}
void TsuiTitleBar::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}
void TsuiTitleBar::setFormActive(bool active)
{
    m_formActive = active;
    update();
}
void TsuiTitleBar::setLeftBtnXOffset(int x)
{
    m_leftBtnXOffset = x;
    Relayout();
}
void TsuiTitleBar::setRightBtnXOffset(int x)
{
    m_rightBtnXOffset = x;
    Relayout();
}
void TsuiTitleBar::setDrawAppIcon(bool on)
{
    m_drawAppIcon = on;
    Relayout();
}
void TsuiTitleBar::setRoundCorner(int radius)
{
    m_roundCorner = radius;
    update();
}
void TsuiTitleBar::setRoundCornerBottom(int radius)
{
    m_roundCornerBottom = radius;
    update();
}
void TsuiTitleBar::setInactiveCaptionColor(TColor c)
{
    m_inactiveCaptionColor = c;
    update();
}
void TsuiTitleBar::setFontColor(TColor c)
{
    m_fontColor = c;
    update();
}

void TsuiTitleBar::SectionsChanged()
{
    ApplyAutoSize();
    update();
    if (InsideFrame()) Host()->update();
}

void TsuiTitleBar::ButtonsChanged() { Relayout(); }

void TsuiTitleBar::Relayout()
{
    m_layout = ComputeLayout();
    m_hovered = rect().contains(m_mousePos) ? ButtonAt(m_mousePos) : -1;
    update();
}

void TsuiTitleBar::resizeEvent(QResizeEvent*) { Relayout(); }

bool TsuiTitleBar::event(QEvent* event)
{
    // Moving into or out of a frame changes the inset the layout counts with.
    if (event->type() == QEvent::ParentChange) Relayout();
    return QWidget::event(event);
}

TsuiTitleBar::Layout TsuiTitleBar::ComputeLayout() const
{
    Layout layout;
    const int w = width();
    const int k = FrameInset();
    int cursor = w - m_rightBtnXOffset + k - 1;
    layout.captionRight = w;
    for (int i = 0; i < m_buttons.Count(); ++i) {
        const TsuiTitleBarButton* b = m_buttons.Items(i);
        if (!b->Visible() || !b->HasPictures()) continue;
        if (b->ButtonType() == suiControlBox) {
            layout.controlBox = i;
            continue;
        }
        const int pw = b->PicSize().width();
        cursor -= b->ButtonType() == suiClose ? pw : pw + m_buttonInterval + Metrics::kButtonGap;
        if (cursor + pw > w - 1) cursor = w - pw - 1;
        const QRect r(cursor, m_buttonTop, pw, b->PicSize().height());
        layout.buttons.emplace_back(i, r);
        layout.captionRight = qMin(layout.captionRight, r.x());
    }

    const int p = qMax(0, m_leftBtnXOffset - Metrics::kLeftOffsetPadding - (k - 1));
    if (layout.controlBox >= 0) {
        const QSize pic = m_buttons.Items(layout.controlBox)->PicSize();
        layout.controlBoxRect = QRect(p, m_buttonTop, pic.width(), pic.height());
        layout.captionX
            = m_drawAppIcon ? p + Metrics::kCaptionAfterIcon : p + pic.width() + Metrics::kCaptionAfterControlBox;
    } else {
        layout.captionX = p == 0 ? Metrics::kCaptionLeftAlone : p;
    }
    layout.captionY
        = m_buttonTop + GetInsideThemeInt(EffectiveStyle(m_fileTheme, m_style), SUI_THEME_TITLE_CAPTION_TOP);
    return layout;
}

int TsuiTitleBar::ButtonAt(const QPoint& pos) const
{
    for (const auto& [index, r] : m_layout.buttons) {
        if (r.contains(pos)) return index;
    }
    if (m_layout.controlBox >= 0 && m_layout.controlBoxRect.contains(pos)) return m_layout.controlBox;
    return -1;
}

QString TsuiTitleBar::CutCaption(const QString& caption, int width) const
{
    const QFontMetrics fm(font());
    if (fm.horizontalAdvance(caption) <= width) return caption;
    const QString dots = QStringLiteral("...");
    for (qsizetype n = caption.size() - 1; n > 0; --n) {
        const QString candidate = caption.left(n) + dots;
        if (fm.horizontalAdvance(candidate) <= width) return candidate;
    }
    return dots;
}
