// Image panels (plain colour, stretched status gradient with its text, tiled pattern,
// the page picture unscaled) and group boxes (opaque, transparent over the page
// picture, without a caption), with the controls the windows put in them.
#include "tools/gallery/Sections.h"

#include "skin/JpegImage.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"
#include "skin/Suigroupbox.h"
#include "skin/Suiimagepanel.h"
#include "ui/Controls.h"

#include <QLabel>

namespace {

// Only the disabled state changes a group box (its caption turns grey).
bool GroupBoxState(gallery::State state)
{
    return state == gallery::State::Normal || state == gallery::State::Disabled;
}

TsuiImagePanel* MakePanel(QWidget* parent, QRect geometry)
{
    auto* panel = new TsuiImagePanel(parent);
    panel->setGeometry(geometry);
    return panel;
}

// The channel group as the main window lays it out.
TsuiGroupBox* MakeChannelGroup(TsuiUIStyle style, QWidget* parent, QPoint at)
{
    auto* box = new TsuiGroupBox(parent);
    box->setGeometry(QRect(at, QSize(165, 65)));
    box->setCaption(QStringLiteral("Channel and Frequency"));
    auto* channel = new QLabel(QStringLiteral("Channel"), box);
    channel->move(16, 16);
    auto* frequency = new QLabel(QStringLiteral(" Frequency"), box);
    frequency->move(16, 40);
    auto* combo = new TsuiComboBox(box);
    combo->setStyle(TsuiComboBox::csDropDownList);
    channel->adjustSize();
    frequency->adjustSize();
    for (int i = 1; i <= 32; ++i)
        combo->addItem(QString::number(i));
    combo->setGeometry(72, 13, 81, 21);
    combo->setCurrentIndex(0);
    auto* edit = new TsuiEdit(box);
    edit->setGeometry(72, 40, 81, 17);
    edit->setReadOnly(true);
    edit->setText(QStringLiteral("433.000MHz"));
    // The group box hands its style to the controls inside it.
    box->setUIStyle(style);
    return box;
}

}  // namespace

QWidget* BuildPanelsSection(TsuiUIStyle style, QWidget* parent)
{
    auto* grid = new gallery::StateGrid(parent);
    grid->AddRow(QStringLiteral("group box"), [style](gallery::State s, QWidget* cell) -> QWidget* {
        if (!GroupBoxState(s)) return nullptr;
        return MakeChannelGroup(style, cell, QPoint(0, 0));
    });
    grid->AddRow(QStringLiteral("transparent, on the page picture"),
                 [style](gallery::State s, QWidget* cell) -> QWidget* {
                     if (!GroupBoxState(s)) return nullptr;
                     TsuiImagePanel* page = MakePanel(cell, QRect(0, 0, 185, 85));
                     page->setPicture(LoadPageBackground());
                     TsuiGroupBox* box = MakeChannelGroup(style, page, QPoint(10, 10));
                     box->setTransparent(true);
                     return page;
                 });
    grid->AddRow(QStringLiteral("no caption"), [style](gallery::State s, QWidget* cell) -> QWidget* {
        if (!GroupBoxState(s)) return nullptr;
        auto* box = new TsuiGroupBox(cell);
        box->setUIStyle(style);
        box->setGeometry(0, 0, 160, 40);
        return box;
    });
    grid->AddRow(QStringLiteral("panels"), [](gallery::State s, QWidget* cell) -> QWidget* {
        if (s != gallery::State::Normal) return nullptr;
        TsuiImagePanel* bar = MakePanel(cell, QRect(0, 0, 411, 41));
        bar->setColor(kSkyBlue);
        TsuiImagePanel* status = MakePanel(cell, QRect(0, 47, 411, 28));
        status->setDrawStyle(TsuiImagePanel::suiStretch);
        status->setPicture(LoadStatusGradient());
        status->setCaption(QStringLiteral("   Open Com Succeed:COM3,9600,No     Read channel..."));
        TsuiImagePanel* tiled = MakePanel(cell, QRect(0, 81, 200, 40));
        tiled->setDrawStyle(TsuiImagePanel::suiTile);
        tiled->setPicture(LoadSkinBitmap(QStringLiteral("MACOS_FORM_BACKGROUND")));
        tiled->setCaption(QStringLiteral("tiled"));
        TsuiImagePanel* page = MakePanel(cell, QRect(211, 81, 200, 40));
        page->setPicture(LoadPageBackground());
        page->setCaption(QStringLiteral("unscaled"));
        page->setAlignment(TsuiImagePanel::taLeftJustify);
        return bar;
    });
    return grid;
}
