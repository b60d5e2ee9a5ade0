// The tab row: its height per style, tab widths, cutting and scrolling, selection by
// mouse, key and code, tabs at the bottom, and the framed page area.
#include "skin/Suipublic.h"
#include "skin/Suitabcontrol.h"
#include "support/PaintCounter.h"
#include "support/QtApp.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

// The smallest tab control: images by a table, no pages.
class TestTab : public TsuiTab {
public:
    explicit TestTab(QWidget* parent = nullptr)
        : TsuiTab(parent, new TsuiTabControlTopPanel)
    { }
    int GetImageIndex(int tabIndex) const override
    {
        const auto it = images.find(tabIndex);
        return it == images.end() ? -1 : it->second;
    }
    std::map<int, int> images;
};

struct Fixture {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TestTab* tab = new TestTab(window.get());

    Fixture(TsuiUIStyle style, int width, int height, const QStringList& tabs)
    {
        window->resize(width + 20, height + 20);
        tab->setUIStyle(style);
        tab->setGeometry(0, 0, width, height);
        tab->setTabs(tabs);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        Paint();
    }
    TsuiTabControlTopPanel* row() const { return tab->TopPanel(); }
    QImage Paint() const { return row()->grab().toImage(); }
    int CaptionWidth(const QString& caption) const { return QFontMetrics(row()->font()).horizontalAdvance(caption); }
    // Left edge of tab i as drawn, counted from the first drawn tab.
    int TabLeft(int i) const
    {
        int x = row()->LeftMargin();
        int first = 0;
        for (int skipped = 0; skipped < row()->FirstShownTab(); ++first)
            if (row()->TabVisibleAt(first)) ++skipped;
        for (int k = first; k < i; ++k)
            x += row()->TabWidth(k);
        return x;
    }
    void ClickTab(int i) const { QTest::mouseClick(row(), Qt::LeftButton, {}, QPoint(TabLeft(i) + 5, 10)); }
};

void MovePointer(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QStringList Numbered(int count)
{
    QStringList tabs;
    for (int i = 0; i < count; ++i)
        tabs << QStringLiteral("Parameters %1").arg(i);
    return tabs;
}

TEST(TabRow, HeightAndScrollButtonsFollowTheStyle)
{
    struct Case {
        TsuiUIStyle style;
        int tabHeight;
        int rowHeight;
        QSize button;
    };
    // Tab piece height + base line height; scroll button piece.
    const Case cases[] = {
        {MacOS, 27, 27 + 7, {18, 18}},   {WinXP, 18, 18 + 1, {18, 18}},     {DeepBlue, 17, 17 + 5, {18, 17}},
        {Protein, 17, 17 + 5, {18, 17}}, {BlueGlass, 17, 17 + 5, {18, 17}},
    };
    for (const Case& c : cases) {
        Fixture f(c.style, 300, 120, {QStringLiteral("One")});
        EXPECT_EQ(f.row()->height(), c.rowHeight) << int(c.style);
        EXPECT_EQ(f.row()->TabHeight(), c.tabHeight) << int(c.style);
        EXPECT_EQ(f.row()->ScrollButtonSize(), c.button) << int(c.style);
        EXPECT_EQ(f.row()->geometry(), QRect(0, 0, 300, c.rowHeight));
    }
}

TEST(TabRow, TabWidthIsCaptionWidthPlusTwentyOrEightyWhenEmpty)
{
    Fixture f(MacOS, 600, 100,
              {QStringLiteral("Radio Parameters"), QString(), QStringLiteral("A"), QStringLiteral("W")});
    EXPECT_EQ(f.row()->TabWidth(0), f.CaptionWidth(QStringLiteral("Radio Parameters")) + 20);
    EXPECT_EQ(f.row()->TabWidth(1), 80);
    EXPECT_EQ(f.row()->TabWidth(2), f.CaptionWidth(QStringLiteral("A")) + 20);
    EXPECT_EQ(f.row()->TabWidth(4), -1);
    EXPECT_FALSE(f.row()->ScrollNeeded());

    // A hidden tab takes no room; an image widens its tab by the image width + 4.
    TImageList images;
    QPixmap picture(16, 12);
    picture.fill(Qt::red);
    images.Add(picture);
    f.tab->setImages(&images);
    f.tab->images = {{0, 0}, {2, 5}};
    f.row()->setTabVisibleAt(1, false);
    f.Paint();
    EXPECT_EQ(f.row()->TabWidth(0), f.CaptionWidth(QStringLiteral("Radio Parameters")) + 20 + 16 + 4);
    EXPECT_EQ(f.row()->TabWidth(1), 0);
    EXPECT_EQ(f.row()->TabWidth(2), f.CaptionWidth(QStringLiteral("A")) + 20) << "index outside the list";
    const QImage shot = f.Paint();
    EXPECT_EQ(shot.pixel(10 + 8 + 3, 8), qRgb(255, 0, 0)) << "image at left + 8";
}

TEST(TabRow, LastTabThatDoesNotFitIsCutAndTheScrollButtonsShow)
{
    const int w = 300;
    Fixture f(MacOS, w, 120, Numbered(8));
    const int bw = f.row()->ScrollButtonSize().width();
    const int limit = w - 2 * bw - 2;
    ASSERT_TRUE(f.row()->ScrollNeeded());

    int x = f.row()->LeftMargin();
    int cutTab = 0;
    while (x + f.CaptionWidth(QStringLiteral("Parameters %1").arg(cutTab)) + 20 <= limit)
        x += f.row()->TabWidth(cutTab++);
    ASSERT_GT(cutTab, 0);
    EXPECT_EQ(f.row()->TabWidth(cutTab), limit - x) << "an inactive cut tab records its cut width";
    EXPECT_EQ(f.row()->TabWidth(cutTab + 1), -1) << "drawing stops after the cut tab";

    const QRect right = f.row()->RightScrollButtonRect();
    const QRect left = f.row()->LeftScrollButtonRect();
    EXPECT_EQ(right, QRect(w - bw - 2, (34 - 18) / 2 - 2, bw, 18));
    EXPECT_EQ(left, QRect(w - 2 * bw - 2, right.y(), bw, 18));

    // The buttons show their strip pieces: right is piece 1, left piece 3 (not hovered).
    const QImage shot = f.Paint();
    QImage piece;
    for (const auto& [rect, index] : {std::pair{right, 1}, std::pair{left, 3}}) {
        GetInsideThemeBitmap(MacOS, SUI_THEME_TAB_SCROLL_BUTTON_STRIP, &piece, 4, index);
        int compared = 0;
        for (int py = 0; py < piece.height(); ++py)
            for (int px = 0; px < piece.width(); ++px) {
                if (ToTColor(piece.pixel(px, py)) == kSuiTransparentColor) continue;
                ++compared;
                ASSERT_EQ(shot.pixel(rect.x() + px, rect.y() + py) | 0xFF000000, piece.pixel(px, py) | 0xFF000000)
                    << "piece " << index << " at " << px << ", " << py;
            }
        EXPECT_GT(compared, 0);
    }

    // The right button scrolls one shown tab at a time; the left one stops at the first.
    QTest::mouseClick(f.row(), Qt::LeftButton, {}, right.center());
    EXPECT_EQ(f.row()->FirstShownTab(), 1);
    f.Paint();
    EXPECT_EQ(f.row()->TabIndex(), 0);
    f.ClickTab(1);
    EXPECT_EQ(f.row()->TabIndex(), 1) << "the first drawn tab is tab 1 after one scroll";
    QTest::mouseClick(f.row(), Qt::LeftButton, {}, left.center());
    QTest::mouseClick(f.row(), Qt::LeftButton, {}, left.center());
    EXPECT_EQ(f.row()->FirstShownTab(), 0);
}

TEST(TabRow, PointerOverAScrollButtonShowsItsHoverPiece)
{
    Fixture f(Protein, 300, 120, Numbered(8));
    const auto moveTo = [&](QPoint at) {
        MovePointer(f.row(), at);
        f.Paint();
    };
    const QRect right = f.row()->RightScrollButtonRect();
    moveTo(right.center());
    EXPECT_EQ(f.row()->HoveredScrollButton(), 1);
    moveTo(QPoint(right.x(), right.y()));
    EXPECT_EQ(f.row()->HoveredScrollButton(), -1) << "the shared edge belongs to the left button";
    moveTo(QPoint(RectRight(right), RectBottom(right)));
    EXPECT_EQ(f.row()->HoveredScrollButton(), 1) << "edges count as over the button";
    moveTo(QPoint(20, 5));
    EXPECT_EQ(f.row()->HoveredScrollButton(), 0);
}

TEST(TabRow, TabsFromPosition63OnAreDrawnButNotSelectable)
{
    QStringList tabs;
    for (int i = 0; i < 70; ++i)
        tabs << QStringLiteral("i");
    Fixture f(DeepBlue, 2000, 100, tabs);
    const int w = f.CaptionWidth(QStringLiteral("i")) + 20;
    ASSERT_LT(10 + 70 * w, 2000 - 10) << "all tabs fit";
    EXPECT_EQ(f.row()->TabWidth(62), w);
    EXPECT_EQ(f.row()->TabWidth(63), -1);
    QTest::mouseClick(f.row(), Qt::LeftButton, {}, QPoint(10 + 62 * w + 3, 8));
    EXPECT_EQ(f.tab->TabIndex(), 62);
    QTest::mouseClick(f.row(), Qt::LeftButton, {}, QPoint(10 + 64 * w + 3, 8));
    EXPECT_EQ(f.tab->TabIndex(), 62);
    f.tab->setTabIndex(65);
    EXPECT_EQ(f.tab->TabIndex(), 65) << "code reaches any tab";
}

TEST(TabRow, SelectingTheLastTabScrollsItIntoView)
{
    Fixture f(MacOS, 300, 120, Numbered(8));
    f.tab->setTabIndex(7);
    f.Paint();
    EXPECT_GT(f.row()->FirstShownTab(), 0);
    const int limit = 300 - 2 * 18 - 2;
    EXPECT_LE(f.TabLeft(7) + f.row()->TabWidth(7), limit) << "the active tab is whole";
}

// The active tab's left end and the right scroll button, drawn at the scale k the program runs
// at: in device pixels they are the style's art at that scale, at the same logical places.
void ExpectRowDrawnFromItsArt(int k)
{
    struct Case {
        TsuiUIStyle style;
    };
    for (const Case c : {Case{MacOS}, Case{WinXP}, Case{DeepBlue}, Case{Protein}, Case{BlueGlass}}) {
        SCOPED_TRACE(std::string("style ") + std::to_string(int(c.style)) + " x" + std::to_string(k));
        Fixture f(c.style, 300, 120, Numbered(8));
        ASSERT_EQ(f.row()->devicePixelRatioF(), k);
        const QImage shot = f.Paint();
        ASSERT_EQ(shot.size(), f.row()->size() * k);

        QImage tab, button;
        GetInsideThemeBitmap(c.style, SUI_THEME_TAB_STRIP, &tab, 2, 1, k);
        GetInsideThemeBitmap(c.style, SUI_THEME_TAB_SCROLL_BUTTON_STRIP, &button, 4, 1, k);
        ASSERT_EQ(tab.devicePixelRatio(), k);
        const QRect right = f.row()->RightScrollButtonRect();
        const QImage tabEnd = tab.copy(0, 0, tab.width() / 3, tab.height());
        const TColor tabMask = ToTColor(tab.pixel(0, 0));
        for (const auto& [piece, at, mask] :
             {std::tuple{tabEnd, QPoint(10, 1), tabMask}, std::tuple{button, right.topLeft(), kSuiTransparentColor}}) {
            int compared = 0;
            for (int y = 0; y < piece.height(); ++y)
                for (int x = 0; x < piece.width(); ++x) {
                    if (ToTColor(piece.pixel(x, y)) == mask) continue;
                    ++compared;
                    ASSERT_EQ(shot.pixel(at.x() * k + x, at.y() * k + y) | 0xFF000000, piece.pixel(x, y) | 0xFF000000)
                        << "at " << x << ", " << y;
                }
            EXPECT_GT(compared, 0);
        }
    }
}

// At 200 % the row draws from the twice-size art. The program runs itself again at that scale,
// which is fixed when the application starts.
TEST(TabRow, DrawsItsArtAtOneAndTwoTimesTheSize)
{
    const int k = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? 2 : 1;
    ExpectRowDrawnFromItsArt(k);
    if (k == 2) return;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=TabRow.DrawsItsArtAtOneAndTwoTimesTheSize")});
    ASSERT_TRUE(child.waitForFinished(240000)) << "the run at scale 2 did not end";
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

TEST(TabRow, ChangingVetoesAMouseSelectionButNotOneFromCode)
{
    Fixture f(Protein, 500, 120, {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    int changing = 0, changed = 0;
    QList<int> active;
    bool allow = false;
    QObject::connect(f.tab, &TsuiTab::OnChanging, [&](bool* ok) {
        ++changing;
        EXPECT_TRUE(*ok) << "the flag starts on";
        *ok = allow;
    });
    QObject::connect(f.tab, &TsuiTab::OnChange, [&] { ++changed; });
    QObject::connect(f.tab, &TsuiTab::OnTabActive, [&](int i) { active << i; });

    f.ClickTab(2);
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(f.tab->TabIndex(), 0);
    EXPECT_EQ(changed, 0);

    f.tab->setTabIndex(2);
    EXPECT_EQ(changing, 1) << "code does not ask";
    EXPECT_EQ(f.tab->TabIndex(), 2);
    EXPECT_EQ(active, QList<int>{2});
    EXPECT_EQ(changed, 1);

    allow = true;
    f.Paint();
    f.ClickTab(1);
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(f.tab->TabIndex(), 1);
    EXPECT_EQ(active, (QList<int>{2, 1}));

    // The same tab again changes nothing and asks nothing.
    f.ClickTab(1);
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
}

TEST(TabRow, PressesOutsideTheTabsSelectNothing)
{
    for (TsuiTabPosition position : {suiTop, suiBottom}) {
        Fixture f(MacOS, 500, 120, {QStringLiteral("One"), QStringLiteral("Two")});
        f.tab->setTabPosition(position);
        f.Paint();
        const int h = f.row()->height();
        const int x = f.TabLeft(1) + 5;
        const int belowTabs = position == suiTop ? h - 1 : 0;
        QTest::mouseClick(f.row(), Qt::LeftButton, {}, QPoint(x, belowTabs));
        EXPECT_EQ(f.tab->TabIndex(), 0) << "on the base line";
        QTest::mouseClick(f.row(), Qt::LeftButton, {}, QPoint(f.TabLeft(1), h / 2));
        EXPECT_EQ(f.tab->TabIndex(), 0) << "on a tab's left edge";
        QTest::mouseClick(f.row(), Qt::RightButton, {}, QPoint(x, h / 2));
        EXPECT_EQ(f.tab->TabIndex(), 0) << "right button";
        QTest::mouseClick(f.row(), Qt::LeftButton, {}, QPoint(x, position == suiTop ? 3 : h - 3));
        EXPECT_EQ(f.tab->TabIndex(), 1) << "inside the tab";
    }
}

TEST(TabRow, IndexOutsideTheTabsChangesNothing)
{
    Fixture f(DeepBlue, 500, 120, {QStringLiteral("One"), QStringLiteral("Two")});
    int changed = 0;
    QObject::connect(f.tab, &TsuiTab::OnChange, [&] { ++changed; });
    f.tab->setTabIndex(2);
    f.tab->setTabIndex(-2);
    EXPECT_EQ(f.tab->TabIndex(), 0);
    EXPECT_EQ(changed, 0);
    f.tab->setTabIndex(-1);
    EXPECT_EQ(f.tab->TabIndex(), -1) << "no tab selected is allowed";
    EXPECT_EQ(changed, 1);

    f.tab->setTabs({});
    f.tab->setTabIndex(1);
    EXPECT_EQ(f.tab->TabIndex(), -1);
    f.Paint();
    EXPECT_FALSE(f.row()->ScrollNeeded());
}

TEST(TabRow, TabKeyReachingTheRowSelectsTheNextTabHiddenOrNotAndWraps)
{
    Fixture f(WinXP, 500, 120, {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    f.row()->setTabVisibleAt(1, false);
    f.row()->setFocus();
    for (int expected : {1, 2, 0}) {
        QTest::keyClick(f.row(), Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(f.tab->TabIndex(), expected);
    }
    f.tab->setTabIndex(-1);
    QTest::keyClick(f.row(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(f.tab->TabIndex(), 0) << "from no tab to the first";
}

// Scrolled to the end the buttons stay, but the tabs fit: pointer moves then repaint nothing,
// though the hovered button still follows the pointer for the next paint.
TEST(TabRow, PointerMovesRepaintOnlyWhileScrollingIsNeeded)
{
    struct Case {
        int scrolls;
        bool scrollNeeded;
    };
    for (const Case c : {Case{0, true}, Case{7, false}}) {
        SCOPED_TRACE(c.scrolls);
        Fixture f(Protein, 300, 120, Numbered(8));
        const QRect right = f.row()->RightScrollButtonRect();
        for (int i = 0; i < c.scrolls; ++i)
            QTest::mouseClick(f.row(), Qt::LeftButton, {}, right.center());
        ASSERT_EQ(f.row()->ScrollNeeded(), c.scrollNeeded);
        ASSERT_EQ(f.row()->FirstShownTab() > 0, c.scrolls > 0);

        int paints = 0;
        PaintCounter counter(f.row(), paints);
        MovePointer(f.row(), QPoint(20, 5));
        QApplication::processEvents();
        paints = 0;
        MovePointer(f.row(), right.center());
        QApplication::processEvents();
        EXPECT_EQ(f.row()->HoveredScrollButton(), 1);
        EXPECT_EQ(paints > 0, c.scrollNeeded);
    }
}

TEST(TabRow, ClicksReachTheTabControl)
{
    Fixture f(BlueGlass, 500, 120, {QStringLiteral("One")});
    int clicks = 0, doubles = 0;
    QObject::connect(f.tab, &TsuiTab::OnClick, [&] { ++clicks; });
    QObject::connect(f.tab, &TsuiTab::OnDblClick, [&] { ++doubles; });
    f.row()->clearFocus();
    QTest::mouseClick(f.row(), Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(f.row()->hasFocus()) << "a click does not take the focus";
    QTest::mouseDClick(f.row(), Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(doubles, 1);
    EXPECT_TRUE(f.row()->hasFocus()) << "a double click does";
}

// The base line of an empty row, drawn 1:1 (the row is the line's width + 2).
TEST(TabRow, TabsAtTheBottomTurnThePicturesAround)
{
    QImage line;
    GetInsideThemeBitmap(MacOS, SUI_THEME_TAB_LINE, &line);
    ASSERT_FALSE(line.isNull());
    const int w = line.width() + 2;
    Fixture f(MacOS, w, 100, {});
    const TColor border = f.tab->BorderColor();

    QImage shot = f.Paint();
    const int hi = f.row()->height() - line.height();
    for (int y = 0; y < line.height(); ++y) {
        for (int x = 0; x < line.width(); ++x)
            ASSERT_EQ(shot.pixel(1 + x, hi + y) | 0xFF000000, line.pixel(x, y) | 0xFF000000) << x << ", " << y;
        EXPECT_EQ(ToTColor(shot.pixel(0, hi + y)), border);
        EXPECT_EQ(ToTColor(shot.pixel(w - 1, hi + y)), border);
    }

    f.tab->setTabPosition(suiBottom);
    EXPECT_EQ(f.row()->geometry(), QRect(0, 100 - f.row()->height(), w, f.row()->height()));
    shot = f.Paint();
    for (int y = 0; y < line.height(); ++y)
        for (int x = 0; x < line.width(); ++x)
            ASSERT_EQ(shot.pixel(1 + x, y) | 0xFF000000,
                      line.pixel(line.width() - 1 - x, line.height() - 1 - y) | 0xFF000000)
                << x << ", " << y;
}

TEST(TabControl, PageAreaIsFilledAndFramedOnItsThreeOpenSides)
{
    struct Case {
        TsuiUIStyle style;
        TsuiTabPosition position;
        TColor fill;
    };
    const Case cases[] = {{MacOS, suiTop, 0xE7E7E7}, {WinXP, suiTop, 0xFFFFFF}, {Protein, suiBottom, 0xFBFBFB}};
    for (const Case& c : cases) {
        Fixture f(c.style, 200, 150, {QStringLiteral("One")});
        f.tab->setTabPosition(c.position);
        EXPECT_EQ(f.tab->Color(), c.fill);
        EXPECT_EQ(f.row()->Color(), GetInsideThemeColor(c.style, SUI_THEME_PAGE_COLOR));
        const TColor border = GetInsideThemeColor(c.style, SUI_THEME_CONTROL_BORDER_COLOR);
        EXPECT_EQ(f.tab->BorderColor(), border);

        const int rh = f.row()->height();
        const QImage shot = f.tab->grab().toImage();
        const auto at = [&](int x, int y) { return ToTColor(shot.pixel(x, y)); };
        if (c.position == suiTop) {
            EXPECT_EQ(f.tab->PageRect(), QRect(3, rh + 3, 194, 150 - rh - 6));
            EXPECT_EQ(at(0, rh + 10), border);
            EXPECT_EQ(at(199, rh + 10), border);
            EXPECT_EQ(at(100, 149), border);
            EXPECT_EQ(at(100, rh), c.fill) << "no top edge under the tabs";
            EXPECT_EQ(at(1, 148), c.fill);
        } else {
            const int bottom = 150 - rh;
            EXPECT_EQ(f.tab->PageRect(), QRect(3, 3, 194, bottom - 6));
            EXPECT_EQ(at(0, 10), border);
            EXPECT_EQ(at(199, 10), border);
            EXPECT_EQ(at(100, 0), border);
            EXPECT_EQ(at(100, bottom - 1), c.fill) << "no bottom edge over the tabs";
            EXPECT_EQ(at(1, 1), c.fill);
        }
    }
}

}  // namespace
