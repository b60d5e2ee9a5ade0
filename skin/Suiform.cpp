#include "skin/Suiform.h"

#include "skin/Suipublic.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>
#include <QtMath>

#include <cmath>

namespace Metrics = SuiMetrics::Frame;
constexpr int kBand = Metrics::kBand;

// Alt+Space anywhere in the host's window opens the window menu, as on a native caption.
class TsuiForm::AltSpaceWatcher : public QObject {
public:
    explicit AltSpaceWatcher(TsuiForm* form)
        : QObject(form)
        , m_form(form)
    { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Space && key->modifiers() == Qt::AltModifier)
                return m_form->HandleAltSpace(watched);
        }
        return false;
    }

private:
    TsuiForm* m_form;
};

namespace {

// Rows cut from the corners of a region rounded like the window system's round rectangles,
// whose corner ellipse is `diameter` wide and high.
QRegion CutCorners(QRegion region, int w, int h, int diameter, bool top)
{
    if (diameter <= 0) return region;
    const double r = diameter / 2.0;
    for (int row = 0; row < qCeil(r); ++row) {
        const double dy = r - row - 0.5;
        const int inset = qMax(0, int(std::lround(r - std::sqrt(qMax(0.0, r * r - dy * dy)))));
        if (inset == 0) continue;
        const int y = top ? row : h - 1 - row;
        region -= QRegion(0, y, inset, 1);
        region -= QRegion(w - inset, y, inset, 1);
    }
    return region;
}

// The size of a picture in logical pixels.
QSize LogicalSize(const QImage& picture) { return picture.deviceIndependentSize().toSize(); }

// The part of a picture at `logical` (in logical pixels); the copy keeps the picture's device pixel ratio.
QImage CutLogical(const QImage& picture, const QRect& logical)
{
    const qreal ratio = picture.devicePixelRatio();
    return picture.copy(QRect(qRound(logical.x() * ratio), qRound(logical.y() * ratio), qRound(logical.width() * ratio),
                              qRound(logical.height() * ratio)));
}

}  // namespace

TsuiForm::TsuiForm(QWidget* host)
    : QWidget(host)
    , m_host(host)
{
    for (QObject* child : host->children()) {
        if (child != this && qobject_cast<TsuiForm*>(child)) {
            m_inert = true;
            return;
        }
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_titleBar = new TsuiTitleBar(this);
    m_titleBar->setCaption(host->windowTitle());
    if (host->isWindow()) {
        const bool visible = host->isVisible();
        host->setWindowFlags(host->windowFlags() | Qt::FramelessWindowHint);
        if (visible) host->show();
    }
    // The first framed window is the application's main form, as the first window it creates.
    if (host->isWindow() && !MainForm()) SetMainForm(host);
    host->installEventFilter(this);
    m_watcher = new AltSpaceWatcher(this);
    qApp->installEventFilter(m_watcher);
    setUIStyle(DeepBlue);
}

TsuiForm::~TsuiForm()
{
    // A frame deleted with its host leaves the host alone (the host is going too, and no longer
    // lists the frame among its children); one deleted on its own gives the host its frame back.
    if (m_inert || !m_host->children().contains(this)) return;
    m_host->removeEventFilter(this);
    m_host->clearMask();
    if (m_host->isWindow()) {
        const bool visible = m_host->isVisible();
        m_host->setWindowFlags(m_host->windowFlags() & ~Qt::FramelessWindowHint);
        if (visible) m_host->show();
    }
}

int TsuiForm::BottomBand() const { return m_borderWidth == 3 ? 3 : m_borderWidth + 1; }

int TsuiForm::TitleBarHeight() const { return m_titleBar && m_titleBarVisible ? m_titleBar->height() + kBand : 0; }

void TsuiForm::SetClientSize(const QSize& client)
{
    m_host->resize(client.width() + 2 * kBand, client.height() + kBand + BottomBand());
    LayoutInHost();
}

void TsuiForm::LayoutInHost()
{
    if (m_inert) return;
    // Hidden widgets get their resize events only when shown: lay out at once.
    setGeometry(kBand, kBand, qMax(0, m_host->width() - 2 * kBand), qMax(0, m_host->height() - kBand - BottomBand()));
    m_titleBar->setGeometry(0, 0, width(), m_titleBar->height());
}

void TsuiForm::resizeEvent(QResizeEvent*)
{
    if (m_titleBar) m_titleBar->setGeometry(0, 0, width(), m_titleBar->height());
}

void TsuiForm::setUIStyle(TsuiUIStyle style)
{
    m_style = style;
    if (m_inert) return;
    const TsuiUIStyle effective = EffectiveStyle(m_fileTheme, style);
    m_roundCornerBottom = 0;
    m_borderColor = GetInsideThemeColor(effective, SUI_THEME_FORM_BORDER_COLOR);
    m_borderWidth = GetInsideThemeInt(effective, SUI_THEME_FORM_BORDER_WIDTH);
    m_color = GetInsideThemeColor(effective, SUI_THEME_FORM_COLOR);
    m_roundCorner = GetInsideThemeInt(effective, SUI_THEME_ROUND_CORNER_SIZE);
    m_titleBar->setFileTheme(m_fileTheme);
    m_titleBar->setUIStyle(style);
    if (m_autoUpdateSub) ContainerApplyUIStyle(this, style, m_fileTheme);
    LayoutInHost();
    update();
    RepaintBorder();
    RegionWindow();
    m_host->setMinimumHeight(m_titleBar->height() + kBand);
}

void TsuiForm::setFileTheme(TsuiFileTheme* theme)
{
    WatchFileTheme(this, m_fileTheme, theme, [this] { setUIStyle(DeepBlue); });
    setUIStyle(m_style);
}

bool TsuiForm::TitleBarCustom() const { return m_titleBar && m_titleBar->Custom(); }

void TsuiForm::setTitleBarCustom(bool on)
{
    if (m_titleBar) m_titleBar->setCustom(on);
}

void TsuiForm::setTitleBarVisible(bool visible)
{
    m_titleBarVisible = visible;
    if (!m_titleBar) return;
    m_titleBar->setVisible(visible);
    m_titleBar->move(0, 0);
    RepaintBorder();
}

void TsuiForm::setTitleBarButtons(std::initializer_list<TsuiTitleBarBtnType> types)
{
    if (!m_titleBar) return;
    m_titleBar->Buttons().Clear();
    for (TsuiTitleBarBtnType type : types)
        m_titleBar->Buttons().Add(type);
    m_titleBar->ProcessMaxBtn();
}

bool TsuiForm::TitleBarDrawAppIcon() const { return m_titleBar && m_titleBar->DrawAppIcon(); }

void TsuiForm::setTitleBarDrawAppIcon(bool on)
{
    if (m_titleBar) m_titleBar->setDrawAppIcon(on);
}

QString TsuiForm::Caption() const { return m_titleBar ? m_titleBar->Caption() : QString(); }

void TsuiForm::setCaption(const QString& caption)
{
    if (!m_titleBar) return;
    m_titleBar->setCaption(caption);
    m_host->setWindowTitle(caption);
}

void TsuiForm::setBorderColor(TColor c)
{
    m_borderColor = c;
    RepaintBorder();
}

void TsuiForm::setBorderWidth(int width)
{
    m_borderWidth = width;
    LayoutInHost();
    RepaintBorder();
}

void TsuiForm::setColor(TColor c)
{
    m_color = c;
    update();
    RepaintBorder();
}

TColor TsuiForm::InactiveCaptionColor() const { return m_titleBar ? m_titleBar->InactiveCaptionColor() : 0; }

void TsuiForm::setInactiveCaptionColor(TColor c)
{
    if (m_titleBar) m_titleBar->setInactiveCaptionColor(c);
}

void TsuiForm::setRoundCorner(int radius)
{
    m_roundCorner = radius;
    if (m_titleBar) m_titleBar->setRoundCorner(radius);
    RegionWindow();
}

void TsuiForm::setRoundCornerBottom(int radius)
{
    m_roundCornerBottom = radius;
    if (m_titleBar) m_titleBar->setRoundCornerBottom(radius);
    RegionWindow();
}

void TsuiForm::setTitleBarFont(const QFont& font)
{
    if (m_titleBar) m_titleBar->setFont(font);
}

void TsuiForm::RepaintBorder()
{
    if (!m_inert) m_host->update();
}

void TsuiForm::RegionWindow()
{
    if (m_inert) return;
    const int top = qMax(0, m_roundCorner);
    const int bottom = qMax(0, m_roundCornerBottom);
    if (top == 0 && bottom == 0) {
        m_host->clearMask();
        return;
    }
    const int w = m_host->width();
    const int h = m_host->height();
    QRegion region(0, 0, w, h);
    region = CutCorners(region, w, h, qMin(top, h / 2 * 2), true);
    region = CutCorners(region, w, h, qMin(bottom, h / 2 * 2), false);
    m_host->setMask(region);
}

void TsuiForm::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QString pattern
        = GetInsideThemePictureName(EffectiveStyle(m_fileTheme, m_style), SUI_THEME_FORM_BACKGROUND_PICTURE);
    const QImage tile = pattern.isEmpty() ? QImage() : LoadSkinBitmap(pattern, devicePixelRatioF());
    if (!tile.isNull())
        p.fillRect(event->rect(), QBrush(tile));
    else
        p.fillRect(event->rect(), ToQColor(m_color));
}

void TsuiForm::PaintTitleBand(QPainter& p) const
{
    // The band above the title bar continues the title pictures: at a device pixel ratio above 1 it is
    // cut from the twice-size pictures, so that it is as sharp as the bar below it.
    const qreal ratio = m_host->devicePixelRatioF();
    TsuiTitleBarSections& sections = m_titleBar->Sections();
    const QImage& left = sections.Items(0)->Picture(ratio);
    const QImage& right = sections.Items(1)->Picture(ratio);
    const QImage& middle = sections.Items(2)->Picture(ratio);
    const QSize leftSize = LogicalSize(left);
    const QSize rightSize = LogicalSize(right);
    const int w = m_host->width();
    const int side = kBand - m_borderWidth;
    if (side > 0) {
        p.drawImage(m_borderWidth, 0, CutLogical(left, QRect(0, 0, side, leftSize.height())));
        const int columns = Metrics::kRightBandColumns;
        const QImage rightEnd = rightSize.width() <= columns
            ? right
            : CutLogical(right, QRect(rightSize.width() - columns, 0, columns, rightSize.height()));
        p.drawImage(QRect(w - kBand, 0, side, rightSize.height()), rightEnd);
    }
    p.save();
    p.setClipRect(RectLTRB(2, 0, w - 3, kBand));
    p.drawImage(QRect(leftSize.width(), 0, qMax(0, w - rightSize.width() - leftSize.width()), kBand),
                CutLogical(middle, QRect(0, 0, LogicalSize(middle).width(), kBand)));
    p.drawImage(0, 0, CutLogical(left, QRect(0, 0, leftSize.width(), kBand)));
    p.drawImage(w - rightSize.width(), 0, CutLogical(right, QRect(0, 0, rightSize.width(), kBand)));
    p.restore();
}

void TsuiForm::PaintFormBorder(QPainter& p) const
{
    if (m_inert || m_host->isMinimized()) return;
    const int w = m_host->width();
    const int h = m_host->height();
    const int bw = m_borderWidth;
    const QColor border = ToQColor(m_borderColor);
    const QColor color = ToQColor(m_color);
    TsuiTitleBarSections& sections = m_titleBar->Sections();
    const bool complete = sections.Count() >= 3 && !sections.Items(0)->PictureSize().isEmpty()
        && !sections.Items(1)->PictureSize().isEmpty() && !sections.Items(2)->PictureSize().isEmpty();

    if (m_titleBarVisible && complete) {
        PaintTitleBand(p);
        if (bw == 1 && m_roundCorner == Metrics::kOutlinedCorner) {
            const int arc = Metrics::kOutlinedCornerArc;
            p.save();
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(border);
            p.drawArc(QRect(0, 0, arc, arc), 90 * 16, 90 * 16);
            p.drawArc(QRect(w - arc - 1, 0, arc, arc), 0, 90 * 16);
            p.restore();
        }
    } else if (!m_titleBarVisible) {
        p.fillRect(0, 0, w, 1, border);
        p.fillRect(RectLTRB(bw, 1, w - bw, kBand), color);
    }

    p.fillRect(0, 0, bw, h, border);
    p.fillRect(w - bw, 0, bw, h, border);
    p.fillRect(0, h - bw, w, bw, border);

    if (bw < 4) {
        const int bandTop = m_titleBarVisible ? TitleBarHeight() : kBand;
        p.fillRect(RectLTRB(bw, h - BottomBand(), w - bw, h - bw), color);
        p.fillRect(RectLTRB(bw, bandTop, kBand, h - bw), color);
        p.fillRect(RectLTRB(w - kBand, bandTop, w - bw, h - bw), color);
    }
}

bool TsuiForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_host || m_inert) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter p(m_host);
        PaintFormBorder(p);
        return true;
    }
    case QEvent::Resize:
        PlaceMaximised();
        LayoutInHost();
        RegionWindow();
        m_titleBar->ProcessMaxBtn();
        break;
    case QEvent::WindowStateChange:
        PlaceMaximised();
        m_titleBar->ProcessMaxBtn();
        RepaintBorder();
        break;
    case QEvent::ActivationChange:
        m_titleBar->setFormActive(m_host->isActiveWindow());
        RepaintBorder();
        break;
    case QEvent::WindowTitleChange:
        if (m_host->windowTitle() != m_titleBar->Caption()) m_titleBar->setCaption(m_host->windowTitle());
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void TsuiForm::PlaceMaximised()
{
    // Through the window rather than the widget, which would leave the maximised state. The window
    // system may keep its own placement of a maximised window; restoring returns to the bounds the
    // host had before, which the toolkit remembers.
    QWindow* window = m_host->isWindow() ? m_host->windowHandle() : nullptr;
    if (!window || !m_host->isMaximized()) return;
    const QRect bounds = GetMaximisedRect();
    if (window->geometry() != bounds) window->setGeometry(bounds);
}

bool TsuiForm::HandleAltSpace(QObject* receiver)
{
    const auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget) return false;
    // The watcher answers for the whole application: the main form's frame opens its menu, whichever
    // window has the focus. Without a framed main form each frame answers for its own window.
    const TsuiForm* mainFrame = MainFrame();
    if (mainFrame ? mainFrame != this : widget->window() != m_host->window()) return false;
    const QPoint topLeft = m_host->mapToGlobal(QPoint(0, 0));
    m_titleBar->PopupWindowMenu(QPoint(topLeft.x(), topLeft.y() + TitleBarHeight()));
    return true;
}

TsuiForm* TsuiForm::MainFrame()
{
    QWidget* main = MainForm();
    if (!main) return nullptr;
    for (QObject* child : main->children()) {
        auto* frame = qobject_cast<TsuiForm*>(child);
        if (frame && !frame->IsInert()) return frame;
    }
    return nullptr;
}
