// The spin button: its default size and the ID field's 15 x 33.
#include "tools/gallery/Sections.h"

#include "widgets/Cspin.h"

namespace {

QWidget* MakeSpin(TsuiUIStyle style, gallery::State state, QWidget* cell, QSize size)
{
    auto* spin = new TCSpinButton(cell);
    spin->setUIStyle(style);
    spin->SetBounds(0, 0, size.width(), size.height());
    switch (state) {
    case gallery::State::Hovered:
    case gallery::State::Pressed: return spin->UpButton();
    case gallery::State::Focused:
        // The focus frame shows only on a spin button that is a tab stop.
        spin->setTabStop(true);
        return spin;
    default: return spin;
    }
}

}  // namespace

QWidget* BuildSpinSection(TsuiUIStyle style, QWidget* parent)
{
    auto* grid = new gallery::StateGrid(parent);
    grid->AddRow(QStringLiteral("20 x 25"),
                 [style](gallery::State s, QWidget* cell) { return MakeSpin(style, s, cell, QSize(20, 25)); });
    grid->AddRow(QStringLiteral("15 x 33"),
                 [style](gallery::State s, QWidget* cell) { return MakeSpin(style, s, cell, QSize(15, 33)); });
    return grid;
}
