// Combo boxes: pick-only lists as the windows use them, in the style's colours and in
// the windows' colours, and a box that can be typed into.
#include "tools/gallery/Sections.h"

#include "skin/Suicombobox.h"

namespace {

const QStringList kBauds{QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),
                         QStringLiteral("9600"),  QStringLiteral("19200"), QStringLiteral("38400"),
                         QStringLiteral("57600"), QStringLiteral("115200")};

TsuiComboBox* MakeCombo(TsuiUIStyle style, gallery::State state, QWidget* cell, TsuiComboBox::TComboBoxStyle kind)
{
    // A press drops the list down into a window of its own, which the page picture
    // cannot show; hovering changes nothing.
    if (state == gallery::State::Hovered || state == gallery::State::Pressed)
        return nullptr;
    auto* combo = new TsuiComboBox(cell);
    combo->setUIStyle(style);
    combo->setStyle(kind);
    combo->addItems(kBauds);
    combo->setGeometry(0, 0, 81, 21);
    return combo;
}

// The colours the windows set after the style.
void WindowColours(TsuiComboBox* combo)
{
    combo->setBorderColor(0x7F7F7F);
    combo->setArrowColor(0x7F7F7F);
    combo->setButtonColor(0xE7E7E7);
}

} // namespace

QWidget* BuildComboBoxSection(TsuiUIStyle style, QWidget* parent)
{
    auto* grid = new gallery::StateGrid(parent);
    grid->AddRow(QStringLiteral("list, style colours"), [style](gallery::State s, QWidget* cell) {
        TsuiComboBox* c = MakeCombo(style, s, cell, TsuiComboBox::csDropDownList);
        if (c)
            c->setCurrentIndex(3);
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
        if (c)
            WindowColours(c);
        return c;
    });
    grid->AddRow(QStringLiteral("typed"), [style](gallery::State s, QWidget* cell) {
        TsuiComboBox* c = MakeCombo(style, s, cell, TsuiComboBox::csDropDown);
        if (c)
            c->setCurrentIndex(1);
        return c;
    });
    return grid;
}
