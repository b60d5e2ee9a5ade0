// The page control: the main window's layout, page insertion, removal, moving and
// activation, hidden tabs, events, and colours reaching the pages.
#include "skin/Suibutton.h"
#include "skin/Suipagecontrol.h"
#include "support/QtApp.h"

#include <QFontMetrics>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Counts {
    int changing = 0;
    int tabActive = 0;
    int change = 0;
    int show = 0;
    int hide = 0;
    int click = 0;
};

struct Fixture {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TsuiPageControl* control = new TsuiPageControl(window.get());
    QList<TsuiTabSheet*> pages;
    Counts counts;

    explicit Fixture(int pageCount, int width = 411, int height = 422)
    {
        window->resize(width + 20, height + 20);
        control->setUIStyle(MacOS);
        control->setGeometry(0, 0, width, height);
        for (int i = 0; i < pageCount; ++i)
            AddPage(QStringLiteral("Page %1").arg(i));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        control->TopPanel()->grab();
    }
    TsuiTabSheet* AddPage(const QString& caption)
    {
        auto* page = new TsuiTabSheet(control);
        page->setCaption(caption);
        pages << page;
        return page;
    }
    void Count()
    {
        QObject::connect(control, &TsuiTab::OnChanging, [this](bool*) { ++counts.changing; });
        QObject::connect(control, &TsuiTab::OnTabActive, [this](int) { ++counts.tabActive; });
        QObject::connect(control, &TsuiTab::OnChange, [this] { ++counts.change; });
        QObject::connect(control, &TsuiTab::OnClick, [this] { ++counts.click; });
        for (TsuiTabSheet* page : pages) {
            QObject::connect(page, &TsuiTabSheet::OnShow, [this] { ++counts.show; });
            QObject::connect(page, &TsuiTabSheet::OnHide, [this] { ++counts.hide; });
        }
    }
    TsuiTabControlTopPanel* row() const { return control->TopPanel(); }
    void ClickTab(int i) const
    {
        row()->grab();
        int x = row()->LeftMargin();
        for (int k = 0; k < i; ++k)
            x += row()->TabWidth(k);
        QTest::mouseClick(row(), Qt::LeftButton, {}, QPoint(x + 5, 10));
    }
    int ActiveIndex() const { return control->ActivePage() ? control->ActivePage()->PageIndex() : -1; }
};

TEST(PageControl, MainWindowLayout)
{
    QWidget window;
    window.resize(411, 500);
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0x12, 0x34, 0x56));
    window.setPalette(palette);

    auto* control = new TsuiPageControl(&window);
    control->setUIStyle(MacOS);
    control->setGeometry(0, 61, 411, 422);
    control->setLeftMargin(10);
    control->setBorderColor(0x7F7F7F);
    control->setColor(0xE7E7E7);
    auto* page = new TsuiTabSheet(control);
    page->setCaption(QStringLiteral("Radio Parameters"));
    page->setColor(0xE7E7E7);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(control->ActivePage(), page);
    EXPECT_EQ(page->PageIndex(), 0);
    EXPECT_EQ(control->Tabs(), QStringList{QStringLiteral("Radio Parameters")});
    EXPECT_EQ(control->TopPanel()->geometry(), QRect(0, 0, 411, 34));
    EXPECT_EQ(page->geometry(), QRect(3, 37, 405, 382));
    EXPECT_TRUE(page->isVisible());

    const QImage shot = control->grab().toImage();
    const int w = QFontMetrics(control->TopPanel()->font()).horizontalAdvance(QStringLiteral("Radio Parameters")) + 20;
    EXPECT_EQ(control->TopPanel()->TabWidth(0), w);
    EXPECT_FALSE(control->TopPanel()->ScrollNeeded());
    const auto at = [&](int x, int y) { return ToTColor(shot.pixel(x, y)); };
    EXPECT_EQ(at(0, 200), 0x7F7F7Fu);
    EXPECT_EQ(at(410, 200), 0x7F7F7Fu);
    EXPECT_EQ(at(200, 421), 0x7F7F7Fu);
    EXPECT_EQ(at(1, 35), 0xE7E7E7u);
    EXPECT_EQ(at(5, 5), 0x563412u) << "the window shows beside the tab";
    EXPECT_EQ(at(10 + w + 5, 5), 0x563412u) << "and after it";
    EXPECT_NE(at(10 + w / 2, 5), 0x563412u) << "the tab covers its own rectangle";
}

TEST(PageControl, NoPages)
{
    Fixture f(0);
    EXPECT_EQ(f.control->PageCount(), 0);
    EXPECT_EQ(f.control->ActivePage(), nullptr);
    EXPECT_EQ(f.control->ActivePageIndex(), 0);
    EXPECT_TRUE(f.control->Tabs().isEmpty()) << "the first tab caption is cleared";
    EXPECT_EQ(f.control->GetPage(0), nullptr);
    f.control->setActivePageIndex(0);
    EXPECT_EQ(f.control->ActivePage(), nullptr);
}

TEST(PageControl, InsertedPageBecomesActive)
{
    Fixture f(1);
    f.Count();
    TsuiTabSheet* second = f.AddPage(QStringLiteral("Second"));
    EXPECT_EQ(f.control->ActivePage(), second);
    int shown = 0, hidden = 0;
    QObject::connect(second, &TsuiTabSheet::OnHide, [&] { ++hidden; });
    auto* third = new TsuiTabSheet;
    third->setCaption(QStringLiteral("Third"));
    QObject::connect(third, &TsuiTabSheet::OnShow, [&] { ++shown; });
    third->setPageControl(f.control);

    EXPECT_EQ(f.control->ActivePage(), third);
    EXPECT_EQ(f.control->PageCount(), 3);
    EXPECT_EQ(third->PageIndex(), 2);
    EXPECT_EQ(f.control->Tabs(), (QStringList{"Page 0", "Second", "Third"}));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(f.counts.hide, 1) << "the first page hid once";
    EXPECT_EQ(f.counts.change, 2);
    EXPECT_TRUE(third->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(second->isEnabled());
}

TEST(PageControl, RemovingPageIActivatesPageIMinusOne)
{
    enum How { Delete, Reparent, Detach };
    struct Case {
        int active;
        int removed;
        How how;
        int expected;  // index among the pages before removal; -1 none
    };
    const Case cases[] = {
        {2, 1, Delete, 0},    {0, 2, Delete, 1},  {1, 1, Delete, 0}, {3, 3, Reparent, 2},
        {3, 0, Reparent, -1}, {0, 0, Detach, -1}, {1, 2, Detach, 1}, {2, 3, Delete, 2},
    };
    for (const Case& c : cases) {
        Fixture f(4);
        f.control->setActivePageIndex(c.active);
        TsuiTabSheet* removed = f.pages[c.removed];
        TsuiTabSheet* expected = c.expected < 0 ? nullptr : f.pages[c.expected];
        QWidget other;
        switch (c.how) {
        case Delete: delete removed; break;
        case Reparent: removed->setParent(&other); break;
        case Detach: removed->setPageControl(nullptr); break;
        }
        const QString where = QStringLiteral("active %1 removed %2 how %3").arg(c.active).arg(c.removed).arg(c.how);
        EXPECT_EQ(f.control->PageCount(), 3) << where.toStdString();
        EXPECT_EQ(f.control->ActivePage(), expected) << where.toStdString();
        EXPECT_EQ(f.control->Tabs().size(), 3);
        if (expected) {
            EXPECT_EQ(f.control->TabIndex(), expected->PageIndex()) << where.toStdString();
            EXPECT_TRUE(expected->isVisible() && expected->isEnabled());
        } else {
            EXPECT_EQ(f.control->TabIndex(), -1) << "no tab stays selected without a page";
        }
        if (c.how != Delete) {
            EXPECT_EQ(removed->PageControl(), nullptr);
            EXPECT_EQ(removed->PageIndex(), -1);
        }
        for (int i = 0; i < f.control->PageCount(); ++i)
            EXPECT_EQ(f.control->GetPage(i)->PageIndex(), i);
        if (c.how == Detach) delete removed;
    }
}

TEST(PageControl, PressingAPageTabAfterTheFirstWasRemovedShowsIt)
{
    Fixture f(2);
    f.control->setActivePageIndex(0);
    delete f.pages[0];
    EXPECT_EQ(f.control->ActivePage(), nullptr);
    f.ClickTab(0);
    EXPECT_EQ(f.control->ActivePage(), f.pages[1]);
}

TEST(PageControl, ClickingTheOnlyTabChangesNothing)
{
    Fixture f(1);
    f.Count();
    f.ClickTab(0);
    EXPECT_EQ(f.counts.changing + f.counts.tabActive + f.counts.change + f.counts.show + f.counts.hide, 0);
    EXPECT_EQ(f.counts.click, 1);
}

TEST(PageControl, ChangingVetoesTheMouseButNotCode)
{
    Fixture f(3);
    f.control->setActivePageIndex(0);
    f.Count();
    QObject::connect(f.control, &TsuiTab::OnChanging, [](bool* allow) { *allow = false; });
    f.ClickTab(1);
    EXPECT_EQ(f.counts.changing, 1);
    EXPECT_EQ(f.control->ActivePage(), f.pages[0]);
    EXPECT_EQ(f.counts.show + f.counts.hide + f.counts.change, 0);

    f.control->setActivePageIndex(1);
    EXPECT_EQ(f.counts.changing, 1);
    EXPECT_EQ(f.control->ActivePage(), f.pages[1]);
    EXPECT_EQ(f.control->TabIndex(), 1);
    EXPECT_EQ(f.counts.show, 1);
    EXPECT_EQ(f.counts.hide, 1);
    EXPECT_EQ(f.counts.tabActive, 1);
    EXPECT_EQ(f.counts.change, 1);

    f.control->setActivePage(f.pages[2]);
    EXPECT_EQ(f.control->ActivePageIndex(), 2);
    f.control->setActivePageIndex(7);
    EXPECT_EQ(f.control->ActivePageIndex(), 2) << "an index outside the pages is ignored";
}

TEST(PageControl, ClickingATabShowsItsPageAndFocusesItsFirstControl)
{
    Fixture f(2);
    f.control->setActivePageIndex(0);
    auto* button = new TsuiButton(f.pages[1]);
    button->setTabStop(true);
    f.row()->clearFocus();
    f.ClickTab(1);
    EXPECT_EQ(f.control->ActivePage(), f.pages[1]);
    EXPECT_TRUE(button->hasFocus());

    // While the row holds the focus it keeps it.
    f.row()->setFocus();
    f.ClickTab(0);
    f.ClickTab(1);
    EXPECT_TRUE(f.row()->hasFocus());
}

TEST(PageControl, HidingTheActiveTabActivatesTheNearestShownPage)
{
    struct Case {
        int active;
        QList<int> alreadyHidden;
        int expected;
    };
    const Case cases[] = {{2, {}, 1}, {0, {}, 1}, {2, {1}, 0}, {0, {1, 2}, 3}, {1, {0, 2, 3}, 1}};
    for (const Case& c : cases) {
        Fixture f(4);
        for (int i : c.alreadyHidden)
            f.pages[i]->setTabVisible(false);
        f.control->setActivePageIndex(c.active);
        f.pages[c.active]->setTabVisible(false);
        EXPECT_EQ(f.ActiveIndex(), c.expected) << "active " << c.active;
        EXPECT_FALSE(f.row()->TabVisibleAt(c.active));
    }

    // Hiding a page that is not active changes no page.
    Fixture f(3);
    f.control->setActivePageIndex(0);
    f.pages[1]->setTabVisible(false);
    EXPECT_EQ(f.ActiveIndex(), 0);
}

TEST(PageControl, FindingShownPagesGoesRoundTheList)
{
    struct Case {
        QList<int> hidden;
        int index;
        int next;
        int prev;
    };
    const Case cases[] = {
        {{}, 1, 2, 0},     {{}, 3, 0, 2},        {{}, 0, 1, 3},
        {{1, 2}, 0, 3, 3}, {{0, 1, 3}, 2, 2, 2}, {{0, 1, 2, 3}, 1, -1, -1},
        {{}, -1, 0, 3},    {{0}, 9, 1, 3},
    };
    for (const Case& c : cases) {
        Fixture f(4);
        for (int i : c.hidden)
            f.pages[i]->setTabVisible(false);
        EXPECT_EQ(f.control->FindNextVisiblePage(c.index), c.next) << "index " << c.index;
        EXPECT_EQ(f.control->FindPrevVisiblePage(c.index), c.prev) << "index " << c.index;
    }
    Fixture empty(0);
    EXPECT_EQ(empty.control->FindNextVisiblePage(0), -1);
    EXPECT_EQ(empty.control->FindPrevVisiblePage(0), -1);
}

TEST(PageControl, ShowControlShowsThePageAndTheOuterPagesHoldingIt)
{
    Fixture f(2);
    auto* inner = new TsuiPageControl(f.pages[1]);
    auto* first = new TsuiTabSheet(inner);
    auto* second = new TsuiTabSheet(inner);
    f.control->setActivePageIndex(0);
    inner->ActivatePage(first);
    inner->ShowControl(second);
    EXPECT_EQ(inner->ActivePage(), second);
    EXPECT_EQ(f.ActiveIndex(), 1) << "the outer page holding the inner control is shown too";
    inner->ShowControl(f.pages[0]);
    EXPECT_EQ(f.ActiveIndex(), 1) << "another control's page is not this control's to show";
}

TEST(PageControl, ImageIndexIsKeptOnlyInAPageControl)
{
    Fixture f(1);
    f.pages[0]->setImageIndex(2);
    EXPECT_EQ(f.control->GetImageIndex(0), 2);
    TsuiTabSheet loose;
    loose.setImageIndex(2);
    EXPECT_EQ(loose.ImageIndex(), -1);
}

TEST(PageControl, ShownFlagsFollowThePagesWhenTheyMove)
{
    Fixture f(3);
    f.pages[0]->setTabVisible(false);
    delete f.pages[0];
    EXPECT_TRUE(f.row()->TabVisibleAt(0)) << "the former page 1 keeps its tab";
    f.pages[2]->setTabVisible(false);
    f.pages[2]->setPageIndex(0);
    EXPECT_FALSE(f.row()->TabVisibleAt(0));
    EXPECT_TRUE(f.row()->TabVisibleAt(1));
}

TEST(PageControl, PageIndexMovesThePage)
{
    Fixture f(3);
    f.control->setActivePageIndex(0);
    f.pages[2]->setPageIndex(5);
    EXPECT_EQ(f.pages[2]->PageIndex(), 2) << "outside the pages: stays";
    f.pages[2]->setPageIndex(-1);
    EXPECT_EQ(f.pages[2]->PageIndex(), 2);
    EXPECT_EQ(f.control->ActivePage(), f.pages[0]);

    f.pages[2]->setPageIndex(0);
    EXPECT_EQ(f.pages[2]->PageIndex(), 0);
    EXPECT_EQ(f.pages[0]->PageIndex(), 1);
    EXPECT_EQ(f.control->Tabs(), (QStringList{"Page 2", "Page 0", "Page 1"}));
    EXPECT_EQ(f.control->ActivePage(), f.pages[2]);
    EXPECT_EQ(f.control->TabIndex(), 0);

    f.pages[1]->setCaption(QStringLiteral("Renamed"));
    EXPECT_EQ(f.control->Tabs()[2], QStringLiteral("Renamed"));
}

TEST(PageControl, ColoursAndStyleReachThePages)
{
    Fixture f(2);
    auto* button = new TsuiButton(f.pages[1]);
    f.control->setColor(0x123456);
    EXPECT_EQ(f.pages[0]->Color(), 0x123456u);
    EXPECT_EQ(f.pages[1]->Color(), 0x123456u);

    f.control->setUIStyle(Protein);
    EXPECT_EQ(button->UIStyle(), Protein);
    EXPECT_EQ(f.pages[0]->Color(), 0xFBFBFBu);
    f.control->setUIStyle(WinXP);
    EXPECT_EQ(f.pages[1]->Color(), 0xFFFFFFu) << "WinXP pages are white";

    const QImage shot = f.control->grab().toImage();
    const QRect r = f.control->ActivePage()->geometry();
    EXPECT_EQ(ToTColor(shot.pixel(r.center())), 0xFFFFFFu);
}

TEST(PageControl, TabsAtTheBottomMoveTheRowAndThePages)
{
    Fixture f(2, 300, 200);
    f.control->setTabPosition(suiBottom);
    const int rh = f.row()->height();
    EXPECT_EQ(f.row()->geometry(), QRect(0, 200 - rh, 300, rh));
    EXPECT_EQ(f.control->ActivePage()->geometry(), QRect(3, 3, 294, 200 - rh - 6));
    f.control->resize(320, 210);
    EXPECT_EQ(f.row()->geometry(), QRect(0, 210 - rh, 320, rh));
    EXPECT_EQ(f.pages[0]->geometry(), QRect(3, 3, 314, 210 - rh - 6));
}

TEST(PageControl, DestroyingTheControlDetachesItsPages)
{
    Fixture f(3);
    QPointer<TsuiTabSheet> page = f.pages[1];
    delete f.control;
    EXPECT_TRUE(page.isNull()) << "pages are children and go with it";

    auto control = std::make_unique<TsuiPageControl>();
    TsuiTabSheet loose;
    loose.setPageControl(control.get());
    EXPECT_EQ(control->PageCount(), 1);
    loose.setParent(nullptr);
    EXPECT_EQ(control->PageCount(), 0);
    EXPECT_EQ(loose.PageControl(), nullptr);
}

}  // namespace
