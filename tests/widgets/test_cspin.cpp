// The spin button: the size rule, clicks and auto-repeat of its arrows, keyboard and focus.
#include "common/EventWait.h"
#include "skin/Suithemes.h"
#include "skin/support/QtApp.h"
#include "widgets/Cspin.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

struct Window {
    QWidget w;
    TCSpinButton* spin = new TCSpinButton(&w);
    Window()
    {
        w.resize(200, 100);
        spin->SetBounds(20, 20, 15, 33);
        w.show();
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
};

struct SenderProbe : QObject {
    QObject* seen = nullptr;
    void Record() { seen = sender(); }
};

struct SizeCase {
    QSize requested;
    QSize size;
    QRect up;
    QRect down;
};

const SizeCase kSizes[] = {
    {{20, 25}, {20, 25}, {0, 0, 20, 12}, {0, 11, 20, 14}},
    {{15, 33}, {15, 33}, {0, 0, 15, 16}, {0, 15, 15, 18}},
    {{10, 33}, {15, 33}, {0, 0, 15, 16}, {0, 15, 15, 18}},
    {{30, 8}, {30, 8}, {0, 0, 30, 4}, {0, 3, 30, 5}},
};

TEST(SpinButton, NewSpinButtonIs20By25)
{
    TCSpinButton spin;
    EXPECT_EQ(spin.size(), QSize(20, 25));
    EXPECT_EQ(spin.UpButton()->geometry(), QRect(0, 0, 20, 12));
    EXPECT_EQ(spin.DownButton()->geometry(), QRect(0, 11, 20, 14));
    EXPECT_EQ(spin.FocusedButton(), spin.UpButton());
    EXPECT_FALSE(spin.TabStop());
}

TEST(SpinButton, SizeRuleThroughSetBoundsAndThroughResizing)
{
    for (const SizeCase& c : kSizes) {
        TCSpinButton spin;
        spin.SetBounds(5, 6, c.requested.width(), c.requested.height());
        EXPECT_EQ(spin.geometry(), QRect(QPoint(5, 6), c.size));
        EXPECT_EQ(spin.UpButton()->geometry(), c.up);
        EXPECT_EQ(spin.DownButton()->geometry(), c.down);

        QWidget parent;
        auto* shown = new TCSpinButton(&parent);
        parent.show();
        shown->resize(c.requested);
        EXPECT_EQ(shown->size(), c.size);
        EXPECT_EQ(shown->UpButton()->geometry(), c.up);
        EXPECT_EQ(shown->DownButton()->geometry(), c.down);
    }
}

TEST(SpinButton, DefaultGlyphsAreTheBuiltInArrows)
{
    TCSpinButton spin;
    const QImage up = LoadSkinBitmap(QStringLiteral("SpinUp"));
    ASSERT_FALSE(up.isNull());
    EXPECT_EQ(spin.UpGlyph(), up);
    EXPECT_EQ(spin.DownGlyph(), LoadSkinBitmap(QStringLiteral("SpinDown")));

    QImage mine(9, 6, QImage::Format_RGB32);
    mine.fill(Qt::red);
    spin.SetUpGlyph(mine);
    EXPECT_EQ(spin.UpGlyph(), mine);
    spin.SetUpGlyph(QImage());
    EXPECT_EQ(spin.UpGlyph(), up);
}

TEST(SpinButton, ShortPressClicksOnceOnReleaseWithTheSpinButtonAsSender)
{
    Window win;
    QSignalSpy up(win.spin, &TCSpinButton::OnUpClick);
    QSignalSpy down(win.spin, &TCSpinButton::OnDownClick);
    SenderProbe probe;
    QObject::connect(win.spin, &TCSpinButton::OnUpClick, &probe, &SenderProbe::Record);

    QTest::mousePress(win.spin->UpButton(), Qt::LeftButton);
    EXPECT_EQ(up.count(), 0);
    QTest::mouseRelease(win.spin->UpButton(), Qt::LeftButton);
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(probe.seen, win.spin);

    QTest::mouseClick(win.spin->DownButton(), Qt::LeftButton);
    EXPECT_EQ(down.count(), 1);
    EXPECT_EQ(up.count(), 1);
    EXPECT_FALSE(win.spin->DownButton()->RepeatTimer()->isActive());
}

// The ticks are driven by hand: a 1050 ms hold is the first tick and six more.
TEST(SpinButton, HoldingRepeatsAfter400ThenEvery100Milliseconds)
{
    Window win;
    TTimerSpeedButton* arrow = win.spin->UpButton();
    QSignalSpy up(win.spin, &TCSpinButton::OnUpClick);

    QTest::mousePress(arrow, Qt::LeftButton);
    ASSERT_NE(arrow->RepeatTimer(), nullptr);
    EXPECT_TRUE(arrow->RepeatTimer()->isActive());
    EXPECT_EQ(arrow->RepeatTimer()->interval(), 400);
    for (int tick = 1; tick <= 7; ++tick) {
        arrow->TimerExpired();
        EXPECT_EQ(arrow->RepeatTimer()->interval(), 100);
        EXPECT_EQ(up.count(), tick);
    }
    QTest::mouseRelease(arrow, Qt::LeftButton);
    EXPECT_EQ(up.count(), 8);
    EXPECT_FALSE(arrow->RepeatTimer()->isActive());

    // The timer is kept and re-armed at 400 ms by the next press.
    QTimer* timer = arrow->RepeatTimer();
    QTest::mousePress(arrow, Qt::LeftButton);
    EXPECT_EQ(arrow->RepeatTimer(), timer);
    EXPECT_EQ(timer->interval(), 400);
    QTest::mouseRelease(arrow, Qt::LeftButton);
}

// On the real clock the repeat timer clicks once per expiry while the arrow is down (the first after
// 400 ms, the rest at 100 ms); the release adds its one click and stops it.
TEST(SpinButton, RepeatOnTheRealClockClicksOncePerTimerExpiry)
{
    Window win;
    TTimerSpeedButton* arrow = win.spin->DownButton();
    struct Click {
        int expiriesBefore;
        bool down;
    };
    QList<Click> clicks;
    int expiries = 0;
    QObject::connect(win.spin, &TCSpinButton::OnDownClick, win.spin, [&] {
        clicks.append({expiries, arrow->isDown()});
    });

    QTest::mousePress(arrow, Qt::LeftButton);
    ASSERT_NE(arrow->RepeatTimer(), nullptr);
    EXPECT_EQ(arrow->RepeatTimer()->interval(), 400);
    EXPECT_TRUE(clicks.isEmpty());
    // Counted after the arrow has handled the same expiry.
    QObject::connect(arrow->RepeatTimer(), &QTimer::timeout, win.spin, [&] { ++expiries; });
    ASSERT_TRUE(testcommon::WaitUntil([&] { return clicks.size() >= 3; }));
    EXPECT_EQ(arrow->RepeatTimer()->interval(), 100);
    const auto repeated = clicks.size();
    QTest::mouseRelease(arrow, Qt::LeftButton);
    EXPECT_FALSE(arrow->RepeatTimer()->isActive());
    EXPECT_EQ(expiries, repeated);
    ASSERT_EQ(clicks.size(), repeated + 1);
    for (int i = 0; i < repeated; ++i) {
        EXPECT_EQ(clicks[i].expiriesBefore, i) << "click " << i;
        EXPECT_TRUE(clicks[i].down) << "click " << i;
    }
    EXPECT_FALSE(clicks.back().down);
}

TEST(SpinButton, DraggingOffPausesTheClicksAndReleasingOffGivesNone)
{
    Window win;
    TTimerSpeedButton* arrow = win.spin->UpButton();
    QSignalSpy up(win.spin, &TCSpinButton::OnUpClick);
    const QPoint off(arrow->width() + 20, arrow->height() / 2);

    QTest::mousePress(arrow, Qt::LeftButton);
    QTest::mouseMove(arrow, off);
    EXPECT_FALSE(arrow->isDown());
    arrow->TimerExpired();
    arrow->TimerExpired();
    EXPECT_EQ(up.count(), 0);

    QTest::mouseMove(arrow, arrow->rect().center());
    arrow->TimerExpired();
    EXPECT_EQ(up.count(), 1);

    QTest::mouseMove(arrow, off);
    QTest::mouseRelease(arrow, Qt::LeftButton, {}, off);
    EXPECT_EQ(up.count(), 1);
    EXPECT_FALSE(arrow->RepeatTimer()->isActive());
}

TEST(SpinButton, RightButtonArmsTheTimerButNeverClicks)
{
    Window win;
    TTimerSpeedButton* arrow = win.spin->UpButton();
    QSignalSpy up(win.spin, &TCSpinButton::OnUpClick);
    QTest::mousePress(arrow, Qt::RightButton);
    EXPECT_FALSE(arrow->isDown());
    ASSERT_NE(arrow->RepeatTimer(), nullptr);
    EXPECT_TRUE(arrow->RepeatTimer()->isActive());
    arrow->TimerExpired();
    QTest::mouseRelease(arrow, Qt::RightButton);
    EXPECT_EQ(up.count(), 0);
    EXPECT_FALSE(arrow->RepeatTimer()->isActive());
}

TEST(SpinButton, AFailingHandlerStopsTheRepeat)
{
    Window win;
    TTimerSpeedButton* arrow = win.spin->UpButton();
    QObject::connect(win.spin, &TCSpinButton::OnUpClick, win.spin, [] { throw std::runtime_error("bad value"); });
    QTest::mousePress(arrow, Qt::LeftButton);
    EXPECT_THROW(arrow->TimerExpired(), std::runtime_error);
    EXPECT_FALSE(arrow->RepeatTimer()->isActive());
}

TEST(SpinButton, WithoutTabStopAClickLeavesTheFocusWhereItWas)
{
    Window win;
    auto* other = new QWidget(&win.w);
    other->setFocusPolicy(Qt::StrongFocus);
    other->show();
    other->setFocus();
    QTest::mouseClick(win.spin->DownButton(), Qt::LeftButton);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(win.spin->FocusedButton(), win.spin->UpButton());
    EXPECT_FALSE(win.spin->UpButton()->TimerFlags().testFlag(TTimerSpeedButton::tfDrawFocus));
}

TEST(SpinButton, FocusControlTakesTheFocusOnAPress)
{
    Window win;
    auto* edit = new QWidget(&win.w);
    edit->setFocusPolicy(Qt::StrongFocus);
    edit->show();
    win.spin->setTabStop(true);
    win.spin->setFocusControl(edit);
    QTest::mouseClick(win.spin->UpButton(), Qt::LeftButton);
    EXPECT_TRUE(edit->hasFocus());
    // Already focused: the spin button takes it.
    QTest::mouseClick(win.spin->UpButton(), Qt::LeftButton);
    EXPECT_TRUE(win.spin->hasFocus());
}

TEST(SpinButton, KeysClickTheArrowsAndMoveTheFocusFrame)
{
    Window win;
    win.spin->setTabStop(true);
    win.spin->setFocus();
    ASSERT_TRUE(win.spin->hasFocus());
    TTimerSpeedButton* up = win.spin->UpButton();
    TTimerSpeedButton* down = win.spin->DownButton();
    EXPECT_TRUE(up->TimerFlags().testFlag(TTimerSpeedButton::tfDrawFocus));
    QSignalSpy ups(win.spin, &TCSpinButton::OnUpClick);
    QSignalSpy downs(win.spin, &TCSpinButton::OnDownClick);

    QTest::keyClick(win.spin, Qt::Key_Down);
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(win.spin->FocusedButton(), down);
    EXPECT_TRUE(down->TimerFlags().testFlag(TTimerSpeedButton::tfDrawFocus));
    EXPECT_FALSE(up->TimerFlags().testFlag(TTimerSpeedButton::tfDrawFocus));

    QTest::keyClick(win.spin, Qt::Key_Space);
    EXPECT_EQ(downs.count(), 2);
    QTest::keyClick(win.spin, Qt::Key_Up);
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(win.spin->FocusedButton(), up);

    win.spin->clearFocus();
    EXPECT_FALSE(up->TimerFlags().testFlag(TTimerSpeedButton::tfDrawFocus));
}

// The arrows wear the style's button faces: held down looks different from at rest, and the
// focus mark, drawn or not, never changes a pixel of the arrow, at either size, at rest or held.
TEST(SpinButton, FacesFollowTheStateAndTheFocusMarkLeavesTheArrowClear)
{
    EnsureQtApp();
    for (QSize size : {QSize(20, 25), QSize(15, 33)})
        for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
            SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()) + " style "
                         + std::to_string(int(style)));
            TCSpinButton spin;
            spin.setUIStyle(style);
            spin.SetBounds(0, 0, size.width(), size.height());
            TTimerSpeedButton* up = spin.UpButton();
            const QImage rest = up->grab().toImage();
            up->setDown(true);
            const QImage held = up->grab().toImage();
            EXPECT_NE(rest, held);
            for (bool down : {false, true}) {
                up->setDown(down);
                up->setTimerFlags(TTimerSpeedButton::tfAutoRepeat);
                const QImage plain = up->grab().toImage();
                up->setTimerFlags(TTimerSpeedButton::tfAutoRepeat | TTimerSpeedButton::tfDrawFocus);
                const QImage focused = up->grab().toImage();
                EXPECT_NE(plain, focused);
                const QImage glyph = up->Glyph();
                const QRgb key = glyph.pixel(0, glyph.height() - 1);
                const QPoint at = up->GlyphRect().topLeft();
                for (int y = 0; y < glyph.height(); ++y)
                    for (int x = 0; x < glyph.width(); ++x) {
                        if (glyph.pixel(x, y) != key) {
                            EXPECT_EQ(plain.pixel(at + QPoint(x, y)), focused.pixel(at + QPoint(x, y)))
                                << x << "," << y;
                        }
                    }
            }
        }
}

}  // namespace
