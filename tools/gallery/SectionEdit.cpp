// Edits: the frequency field and the ID field, in the style's colours and in the
// colours the windows give them.
#include "tools/gallery/Sections.h"

#include "skin/Suiedit.h"
#include "ui/Controls.h"

namespace {

QWidget* MakeEdit(TsuiUIStyle style, gallery::State state, QWidget* cell, QSize size, const QString& text,
                  bool windowColours)
{
    // Edits have no hovered or pressed look.
    if (state == gallery::State::Hovered || state == gallery::State::Pressed) return nullptr;
    auto* edit = new TsuiEdit(cell);
    edit->setUIStyle(style);
    if (windowColours) edit->setBorderColor(kControlGrey);
    edit->setGeometry(QRect(QPoint(0, 0), size));
    edit->setText(text);
    return edit;
}

}  // namespace

QWidget* BuildEditSection(TsuiUIStyle style, QWidget* parent)
{
    auto* grid = new gallery::StateGrid(parent);
    grid->AddRow(QStringLiteral("81 x 17, style colours"), [style](gallery::State s, QWidget* cell) {
        return MakeEdit(style, s, cell, QSize(81, 17), QStringLiteral("433.000MHz"), false);
    });
    grid->AddRow(QStringLiteral("81 x 17, read-only"), [style](gallery::State s, QWidget* cell) {
        QWidget* w = MakeEdit(style, s, cell, QSize(81, 17), QStringLiteral("470.000MHz"), true);
        if (w) static_cast<TsuiEdit*>(w)->setReadOnly(true);
        return w;
    });
    grid->AddRow(QStringLiteral("68 x 23, limit 5"), [style](gallery::State s, QWidget* cell) {
        QWidget* w = MakeEdit(style, s, cell, QSize(68, 23), QStringLiteral("00000"), true);
        if (w) static_cast<TsuiEdit*>(w)->setMaxLength(5);
        return w;
    });
    return grid;
}
