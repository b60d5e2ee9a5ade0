#include "skin/Suipopupmenu.h"

#include "skin/Suimetrics.h"
#include "skin/Suipublic.h"

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace Metrics = SuiMetrics::Menu;

namespace {

// Gives the menu's own item sizes and frame to QMenu's layout.
class SuiMenuStyle : public QProxyStyle {
public:
    explicit SuiMenuStyle(TsuiPopupMenu* menu)
        : m_menu(menu)
    {
        setParent(menu);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_MenuPanelWidth: return Metrics::kFrameWidth;
        case PM_MenuHMargin:
        case PM_MenuVMargin: return 0;
        default: return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type != CT_MenuItem || !item || widget != m_menu)
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        SuiMenuItem measured;
        measured.separator = item->menuItemType == QStyleOptionMenuItem::Separator;
        measured.isDefault = item->menuItemType == QStyleOptionMenuItem::DefaultItem;
        // QMenu adds the widest short cut to every item itself.
        measured.caption = item->text.section(u'\t', 0, 0);
        return MeasureMenuItem(m_menu->Look(), measured);
    }

private:
    TsuiPopupMenu* m_menu;
};

// The window system's raised edge around a menu that is not flat.
void DrawRaisedFrame(QPainter& p, const QRect& r)
{
    const int w = r.width();
    const int h = r.height();
    auto ring = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        p.fillRect(inset, inset, w - 2 * inset, 1, topLeft);
        p.fillRect(inset, inset, 1, h - 2 * inset, topLeft);
        p.fillRect(inset, h - 1 - inset, w - 2 * inset, 1, bottomRight);
        p.fillRect(w - 1 - inset, inset, 1, h - 2 * inset, bottomRight);
    };
    ring(0, ToQColor(0xC8D0D4), ToQColor(0x404040));
    ring(1, Qt::white, ToQColor(0x808080));
}

}  // namespace

TsuiPopupMenu::TsuiPopupMenu(QWidget* owner)
    : QMenu(owner)
{
    // Values before the style is applied.
    m_look.itemHeight = Metrics::kInitialItemHeight;
    m_look.separatorHeight = Metrics::kInitialSeparatorHeight;
    m_look.barWidth = 0;
    m_look.barColor = m_look.barToColor = ToTColor(QApplication::palette().color(QPalette::Button));
    m_look.color = 0xFFFFFF;
    m_look.separatorColor = 0x808080;
    m_look.selectedBorderColor = m_look.selectedColor = ToTColor(QApplication::palette().color(QPalette::Highlight));
    m_look.selectedFontColor = 0xFFFFFF;
    m_look.fontColor = 0xFFFFFF;
    setStyle(new SuiMenuStyle(this));
    setUIStyle(GetSUIFormStyle(owner));
}

void TsuiPopupMenu::setUIStyle(TsuiUIStyle style)
{
    m_style = style;
    // A file theme is never usable here, so the sizes and colours always come from the built-in table.
    const TsuiUIStyle effective = EffectiveStyle(m_fileTheme, style);
    m_look.style = effective;
    m_look.barWidth = Metrics::kStyledBarWidth;
    m_look.itemHeight = GetInsideThemeInt(effective, SUI_THEME_MENU_ITEM_HEIGHT);
    m_look.separatorHeight = GetInsideThemeInt(effective, SUI_THEME_MENU_SEPARATOR_HEIGHT);
    m_look.separatorColor = GetInsideThemeColor(effective, SUI_THEME_MENU_SEPARATOR_COLOR);
    m_look.barColor = m_look.barToColor = GetInsideThemeColor(effective, SUI_THEME_MENU_LEFTBAR_COLOR);
    m_look.color = GetInsideThemeColor(effective, SUI_THEME_MENU_BACKGROUND_COLOR);
    m_look.fontColor = GetInsideThemeColor(effective, SUI_THEME_MENU_FONT_COLOR);
    m_look.selectedBorderColor = GetInsideThemeColor(effective, SUI_THEME_MENU_SELECTED_BORDER_COLOR);
    m_look.selectedColor = GetInsideThemeColor(effective, SUI_THEME_MENU_SELECTED_COLOR);
    m_look.selectedFontColor = GetInsideThemeColor(effective, SUI_THEME_MENU_SELECTED_FONT_COLOR);
    Changed();
}

void TsuiPopupMenu::setFileTheme(TsuiFileTheme* theme)
{
    WatchFileTheme(this, m_fileTheme, theme, [this] { setUIStyle(DeepBlue); });
    setUIStyle(m_style);
}

bool TsuiPopupMenu::HeightsFixed() const
{
    return GetInsideThemeBool(EffectiveStyle(m_fileTheme, m_style), SUI_THEME_MENU_FIXED_HEIGHTS);
}

void TsuiPopupMenu::SetHeight(int height)
{
    if (HeightsFixed()) return;
    m_look.itemHeight = height;
    Changed();
}

void TsuiPopupMenu::SetSeparatorHeight(int height)
{
    if (HeightsFixed()) return;
    m_look.separatorHeight = height;
    Changed();
}

void TsuiPopupMenu::setBarWidth(int width)
{
    m_look.barWidth = width;
    Changed();
}
void TsuiPopupMenu::setBarColor(TColor c)
{
    m_look.barColor = c;
    update();
}
void TsuiPopupMenu::setBarToColor(TColor c)
{
    m_look.barToColor = c;
    update();
}
void TsuiPopupMenu::setColor(TColor c)
{
    m_look.color = c;
    update();
}
void TsuiPopupMenu::setSeparatorColor(TColor c)
{
    m_look.separatorColor = c;
    update();
}
void TsuiPopupMenu::setSelectedBorderColor(TColor c)
{
    m_look.selectedBorderColor = c;
    update();
}
void TsuiPopupMenu::setSelectedColor(TColor c)
{
    m_look.selectedColor = c;
    update();
}
void TsuiPopupMenu::setSelectedFontColor(TColor c)
{
    m_look.selectedFontColor = c;
    update();
}
void TsuiPopupMenu::setFontColor(TColor c)
{
    m_look.fontColor = c;
    update();
}
void TsuiPopupMenu::setBorderColor(TColor c) { m_borderColor = c; }
void TsuiPopupMenu::setFlatMenu(bool flat)
{
    m_flat = flat;
    update();
}
void TsuiPopupMenu::setFontName(const QString& name)
{
    m_fontName = name;
    Changed();
}
void TsuiPopupMenu::setFontSize(int points)
{
    m_fontSize = points;
    Changed();
}
void TsuiPopupMenu::setUseSystemFont(bool use)
{
    m_useSystemFont = use;
    Changed();
}

SuiMenuLook TsuiPopupMenu::Look() const
{
    SuiMenuLook look = m_look;
    look.font = m_useSystemFont ? QApplication::font("QMenu") : QFont(m_fontName, m_fontSize);
    look.rightToLeft = layoutDirection() == Qt::RightToLeft;
    return look;
}

SuiMenuItem TsuiPopupMenu::ItemFor(QAction* action) const
{
    QStyleOptionMenuItem opt;
    initStyleOption(&opt, action);
    SuiMenuItem item;
    item.separator = action->isSeparator();
    item.caption = opt.text.section(u'\t', 0, 0);
    item.shortcut = opt.text.section(u'\t', 1);
    item.image = opt.icon;
    item.enabled = action->isEnabled();
    item.checked = action->isCheckable() && action->isChecked();
    item.isDefault = action == defaultAction();
    item.selected = action == activeAction();
    return item;
}

void TsuiPopupMenu::Changed()
{
    // QMenu lays its items out with its own font and keeps the layout until told otherwise.
    setFont(Look().font);
    QEvent relayout(QEvent::StyleChange);
    QApplication::sendEvent(this, &relayout);
    update();
}

void TsuiPopupMenu::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const SuiMenuLook look = Look();
    // Around the items the window system's menu colour shows, not the style's.
    p.fillRect(rect(), Qt::white);
    for (QAction* action : actions()) {
        const QRect r = actionGeometry(action);
        if (r.isEmpty() || !event->rect().intersects(r)) continue;
        DrawMenuItem(p, r, look, ItemFor(action));
    }
    if (m_flat)
        DrawFlatMenuBorder(p, rect(), GetInsideThemeColor(m_look.style, SUI_THEME_FORM_COLOR));
    else
        DrawRaisedFrame(p, rect());
}
