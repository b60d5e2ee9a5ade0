// The skinned button: faces per state, the repeat while held, click on release,
// keyboard, Default/Cancel, ModalResult, glyphs and the focus look.
#include "common/EventWait.h"
#include "skin/Suibutton.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suipublic.h"
#include "support/QtApp.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A shown, active window holding buttons, so that focus and hover behave as on screen.
struct Window {
    QWidget w;
    Window()
    {
        // The pointer stays where an earlier test left it: keep it off the new window.
        QCursor::setPos(-500, -500);
        w.resize(300, 200);
        w.show();
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    TsuiButton* Button(TsuiUIStyle style, QRect geometry, const QString& caption = QStringLiteral("Read"))
    {
        auto* b = new TsuiButton(&w);
        b->setUIStyle(style);
        b->setGeometry(geometry);
        b->setCaption(caption);
        b->show();
        return b;
    }
};

QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// What a button face of the given strip piece looks like without its caption.
QImage ExpectedFace(TsuiUIStyle style, int piece, QSize size, QColor background)
{
    QImage face;
    GetInsideThemeBitmap(style, SUI_THEME_BUTTON_STRIP, &face, 3, piece);
    QImage img(size, QImage::Format_RGB32);
    img.fill(background);
    QPainter p(&img);
    SpitDraw(face, p, img.rect(), GetInsideThemeBool(style, SUI_THEME_BUTTON_TRANSPARENT));
    return img;
}

// The top two rows carry no caption and no focus frame.
bool SameTopRows(const QImage& a, const QImage& b)
{
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

TEST(Button, NewButtonIs80By27AndFollowsTheStyleTransparency)
{
    TsuiButton b;
    EXPECT_EQ(b.size(), QSize(80, 27));
    EXPECT_EQ(b.UIStyle(), DeepBlue);
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        b.setUIStyle(style);
        EXPECT_EQ(b.Transparent(), GetInsideThemeBool(style, SUI_THEME_BUTTON_TRANSPARENT)) << int(style);
        EXPECT_EQ(b.PicTransparent(), b.Transparent());
    }
}

TEST(Button, ContainerApplyUIStyleReachesTheButton)
{
    QWidget box;
    auto* b = new TsuiButton(&box);
    ContainerApplyUIStyle(&box, BlueGlass, nullptr);
    EXPECT_EQ(b->UIStyle(), BlueGlass);
}

TEST(Button, OpaqueFaceLiesOnTheParentsColour)
{
    TsuiImagePanel panel;
    panel.setColor(0xF0CAA6);
    TsuiButton* b = new TsuiButton(&panel);
    EXPECT_EQ(b->Color(), ToQColor(0xF0CAA6));
}

TEST(Button, AutoSizeTakesOnePieceOfTheStrip)
{
    TsuiButton b;
    b.setUIStyle(Protein);
    b.setAutoSize(true);
    EXPECT_EQ(b.size(), QSize(74, 21));
    b.setUIStyle(BlueGlass);
    b.setAutoSize(true);
    EXPECT_EQ(b.size(), QSize(77, 27));
}

struct FaceCase {
    const char* name;
    std::function<void(TsuiButton*)> enter;
    int piece;
};

TEST(Button, ProteinFaceShowsThePieceOfItsState)
{
    const QImage normal = ExpectedFace(Protein, 1, QSize(65, 23), Qt::white);
    ASSERT_FALSE(SameTopRows(normal, ExpectedFace(Protein, 2, QSize(65, 23), Qt::white)));
    ASSERT_FALSE(SameTopRows(normal, ExpectedFace(Protein, 3, QSize(65, 23), Qt::white)));

    const FaceCase cases[] = {
        {"normal", [](TsuiButton*) {}, 1},
        {"hovered", [](TsuiButton* b) { QTest::mouseMove(b); }, 2},
        {"held", [](TsuiButton* b) { QTest::mousePress(b, Qt::LeftButton); }, 3},
        {"disabled", [](TsuiButton* b) { b->setEnabled(false); }, 1},
    };
    for (const FaceCase& c : cases) {
        Window win;
        QPalette pal = win.w.palette();
        pal.setColor(QPalette::Window, Qt::white);
        win.w.setPalette(pal);
        TsuiButton* b = win.Button(Protein, QRect(10, 10, 65, 23), QString());
        b->setFocusPolicy(Qt::NoFocus);
        c.enter(b);
        const QImage expected = ExpectedFace(Protein, c.piece, b->size(), Qt::white);
        EXPECT_TRUE(SameTopRows(Grab(b), expected)) << c.name;
        if (c.piece == 3) QTest::mouseRelease(b, Qt::LeftButton);
    }
}

TEST(Button, DisabledCaptionIsEngravedGrey)
{
    Window win;
    TsuiButton* b = win.Button(Protein, QRect(10, 10, 65, 23), QStringLiteral("WWWW"));
    b->setEnabled(false);
    const QImage img = Grab(b);
    bool grey = false;
    bool black = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            grey |= img.pixel(x, y) == qRgb(0x80, 0x80, 0x80);
            black |= img.pixel(x, y) == qRgb(0, 0, 0) && y > 2 && y < img.height() - 3 && x > 2 && x < img.width() - 3;
        }
    EXPECT_TRUE(grey);
    EXPECT_FALSE(black);
}

TEST(Button, HoldingRepeatsUntilReleaseAndClicksOnceOnRelease)
{
    Window win;
    TsuiButton* b = win.Button(Protein, QRect(10, 10, 65, 23));
    b->setMouseContinuouslyDownInterval(10);
    QSignalSpy ticks(b, &TsuiCustomButton::OnMouseContinuouslyDown);
    QSignalSpy clicks(b, &TsuiCustomButton::OnClick);

    QTest::mousePress(b, Qt::LeftButton);
    EXPECT_TRUE(b->Pressed());
    ASSERT_NE(b->RepeatTimer(), nullptr);
    EXPECT_EQ(b->RepeatTimer()->interval(), 10);
    ASSERT_TRUE(testcommon::WaitUntil([&] { return ticks.count() >= 3; }));
    EXPECT_EQ(clicks.count(), 0);

    QTest::mouseRelease(b, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(b->Pressed());
    EXPECT_EQ(b->RepeatTimer(), nullptr);
    // The timer is stopped and gone; whatever it had queued is handled here.
    const auto after = ticks.count();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ticks.count(), after);
}

TEST(Button, ATickHandlerMayEndThePress)
{
    Window win;
    TsuiButton* b = win.Button(Protein, QRect(10, 10, 65, 23));
    b->setMouseContinuouslyDownInterval(5);
    QSignalSpy ticks(b, &TsuiCustomButton::OnMouseContinuouslyDown);
    QObject::connect(b, &TsuiCustomButton::OnMouseContinuouslyDown, b, &QWidget::hide);
    QTest::mousePress(b, Qt::LeftButton);
    ASSERT_TRUE(testcommon::WaitUntil([&] { return ticks.count() == 1; }));
    EXPECT_FALSE(b->Pressed());
    EXPECT_EQ(b->RepeatTimer(), nullptr);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ticks.count(), 1);
}

TEST(Button, MovingOffShowsItUnpressedAndReleasingOutsideGivesNoClick)
{
    Window win;
    TsuiButton* b = win.Button(Protein, QRect(10, 10, 65, 23));
    QSignalSpy clicks(b, &TsuiCustomButton::OnClick);

    QTest::mousePress(b, Qt::LeftButton);
    QTest::mouseMove(b, QPoint(80, 5));
    EXPECT_FALSE(b->Pressed());
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(80, 5));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(b->RepeatTimer(), nullptr);

    // Back over the button before the release: the release clicks.
    QTest::mousePress(b, Qt::LeftButton);
    QTest::mouseMove(b, QPoint(80, 5));
    QTest::mouseMove(b, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
}

TEST(Button, LeavingEndsThePressAndTheRepeat)
{
    Window win;
    TsuiButton* b = win.Button(Protein, QRect(10, 10, 65, 23));
    QSignalSpy entered(b, &TsuiCustomButton::OnMouseEnter);
    QSignalSpy left(b, &TsuiCustomButton::OnMouseExit);
    QTest::mouseMove(b);
    EXPECT_TRUE(b->Hovered());
    EXPECT_EQ(entered.count(), 1);
    QTest::mousePress(b, Qt::LeftButton);
    QTest::mouseRelease(b, Qt::LeftButton);
    QTest::mousePress(b, Qt::LeftButton);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_EQ(left.count(), 1);
    EXPECT_FALSE(b->Hovered());
    EXPECT_FALSE(b->Pressed());
    EXPECT_EQ(b->RepeatTimer(), nullptr);
}

TEST(Button, SpaceClicksOnceOnRelease)
{
    Window win;
    TsuiButton* b = win.Button(Protein, QRect(10, 10, 65, 23));
    b->setFocus();
    ASSERT_TRUE(b->hasFocus());
    QSignalSpy clicks(b, &TsuiCustomButton::OnClick);
    QTest::keyPress(b, Qt::Key_Space);
    EXPECT_TRUE(b->Pressed());
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyRelease(b, Qt::Key_Space);
    EXPECT_FALSE(b->Pressed());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(Button, EnterClicksTheDefaultOrTheFocusedButtonAndEscapeTheCancelButton)
{
    Window win;
    auto* edit = new QLineEdit(&win.w);
    edit->setGeometry(10, 100, 80, 20);
    edit->show();
    TsuiButton* ok = win.Button(Protein, QRect(10, 10, 65, 23), QStringLiteral("Open"));
    TsuiButton* other = win.Button(Protein, QRect(90, 10, 65, 23), QStringLiteral("Close"));
    TsuiButton* cancel = win.Button(Protein, QRect(170, 10, 65, 23), QStringLiteral("Cancel"));
    ok->setDefault(true);
    cancel->setCancel(true);
    QSignalSpy okClicks(ok, &TsuiCustomButton::OnClick);
    QSignalSpy otherClicks(other, &TsuiCustomButton::OnClick);
    QSignalSpy cancelClicks(cancel, &TsuiCustomButton::OnClick);

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(okClicks.count(), 1);

    other->setFocus();
    QTest::keyClick(other, Qt::Key_Return);
    EXPECT_EQ(otherClicks.count(), 1);
    EXPECT_EQ(okClicks.count(), 1);

    QTest::keyClick(other, Qt::Key_Escape);
    EXPECT_EQ(cancelClicks.count(), 1);

    // With a modifier the keys are not dialog keys.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(okClicks.count(), 1);
}

TEST(Button, AcceleratorClicksWithAltOrWhileFocusIsOnAButton)
{
    Window win;
    auto* edit = new QLineEdit(&win.w);
    edit->setGeometry(10, 100, 80, 20);
    edit->show();
    TsuiButton* read = win.Button(Protein, QRect(10, 10, 65, 23), QStringLiteral("&Read"));
    TsuiButton* other = win.Button(Protein, QRect(90, 10, 65, 23), QStringLiteral("Write"));
    QSignalSpy clicks(read, &TsuiCustomButton::OnClick);

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_R);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(edit->text(), QStringLiteral("r"));
    QTest::keyClick(edit, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
    other->setFocus();
    QTest::keyClick(other, Qt::Key_R);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(Button, ModalResultEndsTheDialogOnlyWhenNotZero)
{
    for (int result : {0, 2}) {
        QDialog dialog;
        auto* b = new TsuiButton(&dialog);
        b->setModalResult(result);
        dialog.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(dialog.isVisible(), result == 0) << result;
        EXPECT_EQ(dialog.result(), result);
    }
}

// The pixel at the middle of the glyph for each layout.
TEST(Button, GlyphLayoutsAndTheDisabledImage)
{
    auto dot = [](QColor c) {
        QImage img(32, 16, QImage::Format_RGB32);
        img.fill(QColor(255, 0, 255));
        QPainter p(&img);
        p.fillRect(2, 2, 12, 12, c);
        p.fillRect(18, 2, 12, 12, Qt::darkGray);
        return img;
    };
    Window win;
    TsuiButton* b = win.Button(Protein, QRect(10, 10, 100, 60), QStringLiteral("Go"));
    b->setGlyph(dot(Qt::green));
    const int tw = QFontMetrics(b->font()).horizontalAdvance(QStringLiteral("Go"));
    const int th = QFontMetrics(b->font()).height();

    struct LayoutCase {
        TsuiButton::TButtonLayout layout;
        QPoint glyph;
    };
    const LayoutCase cases[] = {
        {TsuiButton::blGlyphLeft, {(100 - tw - 16 - 4) / 2, (60 - 16) / 2}},
        {TsuiButton::blGlyphRight, {(100 + tw + 4 - 16) / 2, (60 - 16) / 2}},
        {TsuiButton::blGlyphTop, {(100 - 16) / 2, (60 - th - 16 - 4) / 2}},
        {TsuiButton::blGlyphBottom, {(100 - 16) / 2, (60 + th + 4 - 16) / 2}},
    };
    for (const LayoutCase& c : cases) {
        b->setEnabled(true);
        b->setLayout(c.layout);
        QImage img = Grab(b);
        EXPECT_EQ(img.pixel(c.glyph + QPoint(8, 8)), qRgb(0, 255, 0)) << c.layout;
        EXPECT_NE(img.pixel(c.glyph + QPoint(0, 0)), qRgb(255, 0, 255)) << "transparent corner";
        b->setEnabled(false);
        img = Grab(b);
        EXPECT_EQ(img.pixel(c.glyph + QPoint(8, 8)), QColor(Qt::darkGray).rgb()) << c.layout;
    }
}

// Row 2 is where a margin-2 focus frame lies, away from the caption.
TEST(Button, FocusDrawsAFrameExceptInMacOSAndBlueGlass)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        Window win;
        TsuiButton* b = win.Button(style, QRect(10, 10, 80, 27));
        TsuiButton* other = win.Button(style, QRect(100, 10, 80, 27));
        other->setFocus();
        const QImage plain = Grab(b);
        b->setFocus();
        ASSERT_TRUE(b->hasFocus());
        const QImage focused = Grab(b);
        const bool frame = style != MacOS && style != BlueGlass;
        bool rowDiffers = false;
        for (int x = 2; x < 78; ++x)
            rowDiffers |= plain.pixel(x, 2) != focused.pixel(x, 2);
        EXPECT_EQ(rowDiffers, frame) << int(style);
        if (!frame) {
            EXPECT_NE(plain, focused) << "bold caption, " << int(style);
        }
    }
}

// The bold caption belongs to the paint that shows the focus: a focused paint with nothing to
// write leaves nothing behind for a later, unfocused one.
TEST(Button, BoldCaptionLastsOnlyWhileFocused)
{
    Window win;
    TsuiButton* b = win.Button(MacOS, QRect(10, 10, 80, 27), QStringLiteral("   "));
    TsuiButton* other = win.Button(MacOS, QRect(100, 10, 80, 27));
    b->setFocus();
    ASSERT_TRUE(b->hasFocus());
    Grab(b);
    other->setFocus();
    b->setCaption(QStringLiteral("Read"));
    TsuiButton* fresh = win.Button(MacOS, QRect(10, 50, 80, 27), QStringLiteral("Read"));
    EXPECT_EQ(Grab(b), Grab(fresh));
}

TEST(Button, BlankCaptionDrawsNoText)
{
    Window win;
    TsuiButton* blank = win.Button(Protein, QRect(10, 10, 65, 23), QStringLiteral("   "));
    TsuiButton* empty = win.Button(Protein, QRect(10, 50, 65, 23), QString());
    EXPECT_EQ(Grab(blank), Grab(empty));
}

}  // namespace
