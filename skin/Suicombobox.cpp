#include "skin/Suicombobox.h"

#include "skin/Suimetrics.h"
#include "skin/Suipublic.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>

#include <algorithm>

namespace Metrics = SuiMetrics::ComboBox;

namespace {

// A drop-down list opens below the box, showing up to maxVisibleItems() items,
// rather than over the current item as some styles place it. The drop-down button
// is the skin's, and the text field ends where it begins.
class DropDownListStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override
    {
        QRect r = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control != CC_ComboBox || (sub != SC_ComboBoxArrow && sub != SC_ComboBoxEditField)) return r;
        const QRect button = visualRect(option->direction, option->rect, ComboButtonRect(option->rect.size()));
        if (sub == SC_ComboBoxArrow) return button;
        if (option->direction == Qt::RightToLeft)
            r.setLeft(std::max(r.left(), RectRight(button)));
        else
            r.setRight(std::min(r.right(), button.x() - 1));
        return r;
    }
};

// One for every box: each proxy style builds a base style of its own.
QStyle* SharedDropDownListStyle()
{
    static QPointer<DropDownListStyle> shared;
    if (!shared) {
        shared = new DropDownListStyle;
        shared->setParent(qApp);
    }
    return shared;
}

// A one-pixel outline in the combo box's border colour over the dropped-down list.
class ListFrame : public QWidget {
public:
    ListFrame(QWidget* listWindow, const TsuiCustomComboBox* combo)
        : QWidget(listWindow)
        , m_combo(combo)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        listWindow->installEventFilter(this);
    }

    // Lies over the whole list window, above the list.
    void cover()
    {
        setGeometry(parentWidget()->rect());
        raise();
        show();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == parentWidget() && e->type() == QEvent::Resize) cover();
        return false;
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(ToQColor(m_combo->BorderColor()));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    const TsuiCustomComboBox* m_combo;
};

// A filled triangle pointing down, from its full width at row y to 1 pixel at its tip.
void FillArrow(QPainter& p, int x, int y, const QColor& c)
{
    for (int row = 0; 2 * row < Metrics::kArrowWidth; ++row)
        p.fillRect(x + row, y + row, Metrics::kArrowWidth - 2 * row, 1, c);
}

}  // namespace

QRect ComboButtonRect(const QSize& box)
{
    const int inset = Metrics::kButtonInset;
    return RectLTRB(box.width() - inset - Metrics::kButtonWidth, inset, box.width() - inset, box.height() - inset);
}

QPoint ComboArrowOrigin(const QRect& button)
{
    return {button.x() + button.width() / 2 - Metrics::kArrowWidth / 2, button.height() / 2};
}

TsuiCustomComboBox::TsuiCustomComboBox(QWidget* parent, TComboBoxStyle style)
    : QComboBox(parent)
{
    QWidget::setStyle(SharedDropDownListStyle());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMaxVisibleItems(Metrics::kVisibleItems);
    // A list starts with no item selected; without a placeholder QComboBox would
    // select the first item added. The blank is what an empty selection shows.
    setPlaceholderText(QStringLiteral(" "));
    setColor(0xFFFFFF);
    setStyle(style);
    setUIStyle(GetSUIFormStyle(parent ? parent->window() : nullptr));
}

void TsuiCustomComboBox::setUIStyle(TsuiUIStyle style)
{
    m_uiStyle = style;
    const TsuiUIStyle effective = EffectiveStyle(m_fileTheme, style);
    m_borderColor = GetInsideThemeColor(effective, SUI_THEME_CONTROL_BORDER_COLOR);
    m_buttonColor = GetInsideThemeColor(effective, SUI_THEME_FORM_COLOR);
    m_arrowColor = 0x000000;
    m_buttonFace = LazySkinPicture(GetInsideThemePictureName(effective, SUI_THEME_COMBOBOX_BUTTON));
    m_faceHasArrow = GetInsideThemeBool(effective, SUI_THEME_COMBOBOX_BUTTON_ARROW);
    update();
}

void TsuiCustomComboBox::setFileTheme(TsuiFileTheme* theme)
{
    WatchFileTheme(this, m_fileTheme, theme, [this] { setUIStyle(DeepBlue); });
    setUIStyle(m_uiStyle);
}

void TsuiCustomComboBox::setBorderColor(TColor c)
{
    m_borderColor = c;
    update();
    if (m_listFrame) m_listFrame->update();
}

void TsuiCustomComboBox::setButtonColor(TColor c)
{
    m_buttonColor = c;
    update();
}

void TsuiCustomComboBox::setArrowColor(TColor c)
{
    m_arrowColor = c;
    update();
}

TColor TsuiCustomComboBox::Color() const { return PaletteBaseColor(this); }

void TsuiCustomComboBox::setColor(TColor c)
{
    SetPaletteBaseColor(this, c);
    update();
}

void TsuiCustomComboBox::setStyle(TComboBoxStyle style)
{
    m_style = style;
    const bool typed = style == csDropDown || style == csSimple;
    if (typed != isEditable()) {
        setEditable(typed);
        // Typing picks from the list; it never adds items.
        if (typed) setInsertPolicy(QComboBox::NoInsert);
    }
    update();
}

void TsuiCustomComboBox::showPopup()
{
    QComboBox::showPopup();
    QWidget* listWindow = view()->window();
    if (!m_listFrame || m_listFrame->parentWidget() != listWindow) m_listFrame = new ListFrame(listWindow, this);
    static_cast<ListFrame*>(m_listFrame.data())->cover();
}

void TsuiCustomComboBox::hidePopup()
{
    QComboBox::hidePopup();
    if (parentWidget()) parentWidget()->update();
}

void TsuiCustomComboBox::paintEvent(QPaintEvent* e)
{
    SuiComboBoxInfo info;
    if (m_style == csSimple || !SUIGetComboBoxInfo(this, &info)) {
        QComboBox::paintEvent(e);
        return;
    }
    if (isEditable()) QComboBox::paintEvent(e);

    QPainter p(this);
    if (!isEditable()) drawField(p, info);
    p.setBrush(Qt::NoBrush);
    p.setPen(ToQColor(m_borderColor));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(ToQColor(Color()));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
    drawButton(p, info);
}

// The text area of a pick-only box: the field colour, and the selected item's text,
// highlighted while the box has the focus and its list is closed.
void TsuiCustomComboBox::drawField(QPainter& p, const SuiComboBoxInfo& info)
{
    p.fillRect(rect(), ToQColor(Color()));
    const bool listShown = info.list && info.list->isVisible();
    QColor textColor = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    if (hasFocus() && !listShown && isEnabled()) {
        p.fillRect(info.item, palette().color(QPalette::Active, QPalette::Highlight));
        textColor = palette().color(QPalette::Active, QPalette::HighlightedText);
    }
    p.setPen(textColor);
    p.setFont(font());
    const Qt::Alignment side = layoutDirection() == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft;
    p.drawText(info.item.adjusted(2, 0, -2, 0), int(side | Qt::AlignVCenter | Qt::TextSingleLine), currentText());
}

void TsuiCustomComboBox::drawButton(QPainter& p, const SuiComboBoxInfo& info)
{
    // The button lies inside the two frame lines, as a native drop-down button lies
    // inside the box's edge; some styles give it the control's full height.
    const QRect r = info.button & rect().adjusted(2, 2, -2, -2);
    if (!m_buttonFace.isNull()) {
        p.drawImage(r, m_buttonFace.Image(devicePixelRatioF()));
    } else {
        p.fillRect(r, ToQColor(m_buttonColor));
        // The separator faces the text: the button's left edge, or its right edge
        // when the box reads right to left. It runs one row past the button each way.
        const int x = layoutDirection() == Qt::RightToLeft ? RectRight(r) - 1 : r.x();
        p.fillRect(x, r.y() - 1, 1, r.height() + 2, ToQColor(m_borderColor));
    }
    if (!m_faceHasArrow) {
        const QPoint at = ComboArrowOrigin(r);
        drawArrow(p, at.x(), at.y());
    }
}

void TsuiCustomComboBox::drawArrow(QPainter& p, int x, int y)
{
    if (isEnabled()) {
        FillArrow(p, x, y, ToQColor(m_arrowColor));
    } else {
        // Engraved: a white shadow one pixel down and right, under a grey arrow.
        FillArrow(p, x + 1, y + 1, ToQColor(0xFFFFFF));
        FillArrow(p, x, y, ToQColor(0x808080));
    }
}
