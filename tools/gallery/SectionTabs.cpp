// The page control: more tabs than fit (so the scroll buttons show), tabs on top and
// at the bottom, a row scrolled to its last tab, a hidden tab, and no pages at all.
#include "tools/gallery/Sections.h"

#include "skin/Suipagecontrol.h"

#include <QGridLayout>
#include <QLabel>

namespace {

const char* const kCaptions[] = {"Radio Parameters", "Channel", "Air Rate", "Serial", "Factory ID", "Power", "About"};

TsuiPageControl* MakePageControl(TsuiUIStyle style, QWidget* parent, TsuiTabPosition position, int pages)
{
    auto* control = new TsuiPageControl(parent);
    control->setUIStyle(style);
    control->setTabPosition(position);
    control->setFixedSize(330, 120);
    for (int i = 0; i < pages; ++i) {
        auto* page = new TsuiTabSheet(control);
        page->setCaption(QString::fromLatin1(kCaptions[i]));
        auto* text = new QLabel(QStringLiteral("Page %1: %2").arg(i + 1).arg(page->Caption()), page);
        text->move(12, 12);
        text->adjustSize();
    }
    return control;
}

}  // namespace

QWidget* BuildTabsSection(TsuiUIStyle style, QWidget* parent)
{
    auto* section = new QWidget(parent);
    auto* grid = new QGridLayout(section);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(6);
    const int pages = static_cast<int>(std::size(kCaptions));

    auto* top = MakePageControl(style, section, suiTop, pages);
    top->setActivePageIndex(0);

    auto* bottom = MakePageControl(style, section, suiBottom, pages);
    bottom->setActivePageIndex(1);

    auto* scrolled = MakePageControl(style, section, suiTop, pages);
    scrolled->GetPage(2)->setTabVisible(false);

    auto* bottomScrolled = MakePageControl(style, section, suiBottom, pages);
    bottomScrolled->GetPage(2)->setTabVisible(false);

    auto* empty = MakePageControl(style, section, suiTop, 0);
    auto* single = MakePageControl(style, section, suiTop, 1);

    grid->addWidget(new QLabel(QStringLiteral("Tabs on top, first page"), section), 0, 0);
    grid->addWidget(top, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Tabs at the bottom, second page"), section), 0, 1);
    grid->addWidget(bottom, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Last page, third tab hidden"), section), 2, 0);
    grid->addWidget(scrolled, 3, 0);
    grid->addWidget(new QLabel(QStringLiteral("At the bottom, last page, third tab hidden"), section), 2, 1);
    grid->addWidget(bottomScrolled, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("No pages"), section), 4, 0);
    grid->addWidget(empty, 5, 0);
    grid->addWidget(new QLabel(QStringLiteral("One page"), section), 4, 1);
    grid->addWidget(single, 5, 1);
    return section;
}
