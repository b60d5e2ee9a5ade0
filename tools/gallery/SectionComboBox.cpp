// Combo boxes: pick-only lists as the windows use them, in the style's colours and in
// the windows' colours, and a box that can be typed into.
#include "tools/gallery/Sections.h"

#include "skin/Suicombobox.h"
#include "ui/Controls.h"

namespace {

TsuiComboBox* MakeCombo(TsuiUIStyle style, gallery::State state, QWidget* cell, TsuiComboBox::TComboBoxStyle kind)
{
    // A press drops the list down into a window of its own, which the page picture
    // cannot show; hovering changes nothing.
    if (state == gallery::State::Hovered || state == gallery::State::Pressed) return nullptr;
    auto* combo = new TsuiComboBox(cell);
    combo->setUIStyle(style);
    combo->setStyle(kind);
    combo->addItems(BaudRateItems());
    combo->setGeometry(0, 0, 81, 21);
    return combo;
}

// The colours the windows set after the style.
void WindowColours(TsuiComboBox* combo)
{
    combo->setBorderColor(kControlGrey);
    combo->setArrowColor(kControlGrey);
    combo->setButtonColor(kButtonGrey);
}

}  // namespace

QWidget* BuildComboBoxSection(TsuiUIStyle style, QWidget* parent)
{
    auto* grid = new gallery::StateGrid(parent);
    grid->AddRow(QStringLiteral("list, style colours"), [style](gallery::State s, QWidget* cell) {
        TsuiComboBox* c = MakeCombo(style, s, cell, TsuiComboBox::csDropDownList);
        if (c) c->setCurrentIndex(3);
        return c;
    });
    grid->AddRow(QStringLiteral("list, window colours"), [style](gallery::State s, QWidget* cell) {
        TsuiComboBox* c = MakeCombo(style, s, cell, TsuiComboBox::csDropDownList);
        if (c) {
            WindowColours(c);
            c->setCurrentIndex(7);
        }
        return c;
    });
    grid->AddRow(QStringLiteral("list, nothing picked"), [style](gallery::State s, QWidget* cell) {
        TsuiComboBox* c = MakeCombo(style, s, cell, TsuiComboBox::csDropDownList);
        if (c) WindowColours(c);
        return c;
    });
    grid->AddRow(QStringLiteral("typed"), [style](gallery::State s, QWidget* cell) {
        TsuiComboBox* c = MakeCombo(style, s, cell, TsuiComboBox::csDropDown);
        if (c) c->setCurrentIndex(1);
        return c;
    });
    return grid;
}
