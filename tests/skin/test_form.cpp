#include "common/MessageBoxRecorder.h"
#include "skin/Suiform.h"
#include "skin/Suipublic.h"
#include "support/QtApp.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window as the program builds them: a Protein frame around a 411 x 512 client area.
struct FramedWindow {
    explicit FramedWindow(const QString& caption = QStringLiteral("Com Setting"))
    {
        EnsureQtApp();
        host = std::make_unique<QDialog>();
        host->setWindowTitle(caption);
        form = new TsuiForm(host.get());
        form->setUIStyle(Protein);
        form->SetClientSize(QSize(411, 512));
        bar = form->TitleBar();
        host->move(100, 80);
    }
    void Show()
    {
        host->show();
        QApplication::setActiveWindow(host.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    }
    QPoint CloseCentre() const
    {
        for (const auto& [index, r] : bar->ComputeLayout().buttons)
            if (bar->Buttons().Items(index)->ButtonType() == suiClose) return r.center();
        ADD_FAILURE() << "no close button";
        return {};
    }
    QPoint IconCentre() const { return bar->ComputeLayout().controlBoxRect.center(); }
    // A click on the icon; it opens the window menu returned.
    TsuiTitleBarPopupMenu* ClickIcon()
    {
        QTest::mouseClick(bar, Qt::LeftButton, {}, IconCentre());
        return bar->WindowMenu();
    }

    std::unique_ptr<QDialog> host;
    TsuiForm* form = nullptr;
    TsuiTitleBar* bar = nullptr;
};

void UseTwoButtons(TsuiTitleBar* bar)
{
    // The program's windows keep only the control box and the close button.
    auto* form = qobject_cast<TsuiForm*>(bar->parentWidget());
    ASSERT_NE(form, nullptr);
    form->setTitleBarButtons({suiControlBox, suiClose});
    ASSERT_EQ(bar->Buttons().Count(), 2);
}

TEST(Form, ProteinTitleBarGeometry)
{
    FramedWindow w;
    EXPECT_EQ(w.host->size(), QSize(417, 517));
    EXPECT_EQ(w.form->geometry(), QRect(3, 3, 411, 512));
    EXPECT_EQ(w.bar->geometry(), QRect(0, 0, 411, 20));
    EXPECT_EQ(w.form->TitleBarHeight(), 23);

    const TsuiTitleBar::Layout layout = w.bar->ComputeLayout();
    ASSERT_GE(layout.controlBox, 0);
    EXPECT_EQ(layout.controlBoxRect.x() + 3, 3);  // the icon
    EXPECT_EQ(layout.captionX, 21);
    EXPECT_EQ(layout.captionY, 2);
    ASSERT_FALSE(layout.buttons.empty());
    const auto& [closeIndex, close] = layout.buttons.front();
    EXPECT_EQ(w.bar->Buttons().Items(closeIndex)->ButtonType(), suiClose);
    EXPECT_EQ(close, QRect(411 - 20, -1, 19, 19));

    // Drawn: the 16 x 16 icon from x 3, the white caption from x 21.
    QPixmap icon(16, 16);
    icon.fill(Qt::red);
    w.host->setWindowIcon(QIcon(icon));
    const QImage bar = w.bar->grab().toImage();
    EXPECT_NE(bar.pixelColor(2, 6), QColor(Qt::red));
    EXPECT_EQ(bar.pixelColor(3, 6), QColor(Qt::red));
    EXPECT_EQ(bar.pixelColor(18, 6), QColor(Qt::red));
    EXPECT_NE(bar.pixelColor(19, 6), QColor(Qt::red));
    int firstWhite = -1;
    for (int x = 0; x < 60 && firstWhite < 0; ++x)
        for (int y = 0; y < 20 && firstWhite < 0; ++y)
            if (bar.pixelColor(x, y) == Qt::white) firstWhite = x;
    EXPECT_GE(firstWhite, 21);
    EXPECT_LE(firstWhite, 23);
}

TEST(Form, ProteinMinimumSizeAndColours)
{
    FramedWindow w;
    EXPECT_EQ(w.host->minimumSize(), QSize(130, 23));
    EXPECT_EQ(w.form->BorderColor(), 0x000000u);
    EXPECT_EQ(w.form->BorderWidth(), 1);
    EXPECT_EQ(w.form->Color(), 0xFBFBFBu);
    EXPECT_EQ(w.form->Caption(), QStringLiteral("Com Setting"));
    EXPECT_TRUE(w.host->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(w.host->windowFlags().testFlag(Qt::Dialog));
}

TEST(Form, BorderAndBandPixels)
{
    FramedWindow w;
    w.Show();
    const QImage shot = w.host->grab().toImage();
    const int W = shot.width();
    const int H = shot.height();
    const QImage left = LoadSkinBitmap(QStringLiteral("PROTEIN_TITLE_LEFT"));
    ASSERT_FALSE(left.isNull());
    // Border one pixel wide at the sides and the bottom; the band continues the title picture.
    EXPECT_EQ(shot.pixelColor(0, 100), Qt::black);
    EXPECT_EQ(shot.pixelColor(W - 1, 100), Qt::black);
    EXPECT_EQ(shot.pixelColor(200, H - 1), Qt::black);
    EXPECT_EQ(shot.pixelColor(1, 10), left.pixelColor(0, 10));
    EXPECT_EQ(shot.pixelColor(2, 10), left.pixelColor(1, 10));
    EXPECT_EQ(shot.pixelColor(3, 10), left.pixelColor(2, 10));
    EXPECT_EQ(shot.pixelColor(20, 1), left.pixelColor(20, 1));
    // Below the title bar the band is in the frame colour.
    EXPECT_EQ(shot.pixelColor(1, 100), ToQColor(0xFBFBFB));
    EXPECT_EQ(shot.pixelColor(W - 2, 100), ToQColor(0xFBFBFB));
    EXPECT_EQ(shot.pixelColor(200, H - 2), ToQColor(0xFBFBFB));
}

TEST(Form, CloseButtonClosesOnlyWhenReleasedOverIt)
{
    FramedWindow w;
    w.Show();
    const QPoint close = w.CloseCentre();

    QTest::mousePress(w.bar, Qt::LeftButton, {}, close);
    QTest::mouseMove(w.bar, QPoint(200, 8));
    QTest::mouseRelease(w.bar, Qt::LeftButton, {}, QPoint(200, 8));
    EXPECT_TRUE(w.host->isVisible());

    QSignalSpy finished(w.host.get(), &QDialog::finished);
    QTest::mouseClick(w.bar, Qt::LeftButton, {}, close);
    EXPECT_FALSE(w.host->isVisible());
    EXPECT_EQ(finished.count(), 1);
}

TEST(Form, CloseButtonPicturesFollowThePointer)
{
    FramedWindow w;
    w.Show();
    const QPoint close = w.CloseCentre();
    const TsuiTitleBarButton* button = w.bar->Buttons().Items(w.bar->ButtonAt(close));
    ASSERT_EQ(button->ButtonType(), suiClose);
    const QPoint topLeft(411 - 20, -1);
    // A pixel where the three pictures differ.
    QPoint probe(-1, -1);
    for (int y = 2; y < 17 && probe.x() < 0; ++y)
        for (int x = 2; x < 17 && probe.x() < 0; ++x) {
            const QColor n = button->PicNormal().pixelColor(x, y);
            const QColor o = button->PicMouseOn().pixelColor(x, y);
            const QColor d = button->PicMouseDown().pixelColor(x, y);
            if (n != o && o != d && n != d) probe = QPoint(x, y);
        }
    ASSERT_GE(probe.x(), 0);
    const auto shown = [&] { return w.bar->grab().toImage().pixelColor(topLeft + probe); };

    EXPECT_EQ(shown(), button->PicNormal().pixelColor(probe));
    QTest::mouseMove(w.bar, close);
    EXPECT_EQ(shown(), button->PicMouseOn().pixelColor(probe));
    QTest::mousePress(w.bar, Qt::LeftButton, {}, close);
    EXPECT_EQ(shown(), button->PicMouseDown().pixelColor(probe));
    QTest::mouseMove(w.bar, QPoint(200, 8));
    EXPECT_EQ(shown(), button->PicNormal().pixelColor(probe));
    QTest::mouseRelease(w.bar, Qt::LeftButton, {}, QPoint(200, 8));
    EXPECT_TRUE(w.host->isVisible());
}

TEST(Form, IconOpensWindowMenuWithOnlyCloseEnabled)
{
    FramedWindow w;
    UseTwoButtons(w.bar);
    w.Show();
    TsuiTitleBarPopupMenu* menu = w.ClickIcon();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), w.bar->mapToGlobal(QPoint(0, 20)));
    EXPECT_FALSE(menu->MinimizeItem()->isEnabled());
    EXPECT_FALSE(menu->MaximizeItem()->isEnabled());
    EXPECT_TRUE(menu->CloseItem()->isEnabled());
    EXPECT_EQ(menu->UIStyle(), Protein);
    EXPECT_EQ(menu->MenuItemHeight(), 21);

    menu->CloseItem()->trigger();
    EXPECT_FALSE(w.host->isVisible());
}

TEST(Form, WindowMenuFollowsTheButtons)
{
    FramedWindow w;
    TsuiTitleBarPopupMenu* menu = w.bar->WindowMenu();
    menu->UpdateItems();
    EXPECT_TRUE(menu->MinimizeItem()->isEnabled());
    EXPECT_TRUE(menu->MaximizeItem()->isEnabled());
    EXPECT_TRUE(menu->CloseItem()->isEnabled());
    for (int i = 0; i < w.bar->Buttons().Count(); ++i)
        w.bar->Buttons().Items(i)->setVisible(false);
    menu->UpdateItems();
    EXPECT_FALSE(menu->MinimizeItem()->isEnabled());
    EXPECT_FALSE(menu->MaximizeItem()->isEnabled());
    EXPECT_FALSE(menu->CloseItem()->isEnabled());
}

TEST(Form, DoubleClickOnIconCloses)
{
    {
        // As the window system delivers it: the first click opens the menu, which takes the second.
        FramedWindow w;
        UseTwoButtons(w.bar);
        w.Show();
        TsuiTitleBarPopupMenu* menu = w.ClickIcon();
        ASSERT_TRUE(menu->isVisible());
        const QPoint onIcon = menu->mapFromGlobal(w.bar->mapToGlobal(w.IconCentre()));
        QTest::mousePress(menu, Qt::LeftButton, {}, onIcon);
        EXPECT_FALSE(menu->isVisible());
        EXPECT_FALSE(w.host->isVisible());
    }
    {
        FramedWindow w;
        UseTwoButtons(w.bar);
        w.Show();
        QTest::mouseDClick(w.bar, Qt::LeftButton, {}, w.IconCentre());
        EXPECT_FALSE(w.host->isVisible());
    }
}

TEST(Form, SecondClickElsewhereOnlyDismissesTheMenu)
{
    FramedWindow w;
    UseTwoButtons(w.bar);
    w.Show();
    TsuiTitleBarPopupMenu* menu = w.ClickIcon();
    ASSERT_TRUE(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->mapFromGlobal(w.bar->mapToGlobal(QPoint(200, 8))));
    EXPECT_FALSE(menu->isVisible());
    EXPECT_TRUE(w.host->isVisible());
}

TEST(Form, AltSpaceOpensWindowMenuBelowTitleBar)
{
    FramedWindow w;
    UseTwoButtons(w.bar);
    w.Show();
    QTest::keyClick(w.host.get(), Qt::Key_Space, Qt::AltModifier);
    TsuiTitleBarPopupMenu* menu = w.bar->WindowMenu();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), w.host->mapToGlobal(QPoint(0, 23)));
    EXPECT_TRUE(menu->CloseItem()->isEnabled());
    menu->hide();
}

// The watcher answers for the whole application: Alt+Space in a modal dialog opens the main
// form's menu below the main form's title bar, not the dialog's.
TEST(Form, AltSpaceInADialogOpensTheMainFormsMenu)
{
    FramedWindow main(QStringLiteral("Orvane"));
    EXPECT_EQ(MainForm(), main.host.get()) << "the first framed window is the main form";
    main.host->move(40, 30);
    main.Show();
    FramedWindow dialog;
    dialog.host->setWindowModality(Qt::ApplicationModal);
    auto* edit = new QLineEdit(dialog.form);
    dialog.Show();
    edit->setFocus();

    QTest::keyClick(edit, Qt::Key_Space, Qt::AltModifier);
    TsuiTitleBarPopupMenu* menu = main.bar->WindowMenu();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_FALSE(dialog.bar->WindowMenu()->isVisible());
    EXPECT_EQ(menu->pos(), main.host->mapToGlobal(QPoint(0, 23)));
    menu->hide();
}

TEST(Form, DraggingTheCaptionMovesTheWindow)
{
    FramedWindow w;
    w.Show();
    const QPoint start = w.host->pos();
    QTest::mousePress(w.bar, Qt::LeftButton, {}, QPoint(150, 8));
    QTest::mouseMove(w.bar, QPoint(180, 28));
    QTest::mouseRelease(w.bar, Qt::LeftButton, {}, QPoint(180, 28));
    EXPECT_EQ(w.host->pos(), start + QPoint(30, 20));
    EXPECT_TRUE(w.host->isVisible());
}

TEST(Form, InactiveWindowUsesInactiveCaptionColour)
{
    FramedWindow a(QStringLiteral("A"));
    FramedWindow b(QStringLiteral("B"));
    a.Show();
    b.Show();
    QApplication::setActiveWindow(a.host.get());
    EXPECT_TRUE(a.bar->FormActive());
    EXPECT_FALSE(b.bar->FormActive());
    QApplication::setActiveWindow(b.host.get());
    EXPECT_FALSE(a.bar->FormActive());
    EXPECT_TRUE(b.bar->FormActive());

    // The caption of the inactive window is drawn in the inactive colour.
    const QImage shot = a.bar->grab().toImage();
    const QColor inactive = ToQColor(a.bar->InactiveCaptionColor());
    bool found = false;
    for (int y = 0; y < shot.height() && !found; ++y)
        for (int x = 21; x < 40 && !found; ++x)
            found = shot.pixelColor(x, y) == inactive;
    EXPECT_TRUE(found);
}

TEST(Form, LongCaptionIsCutBeforeTheButtons)
{
    const QString caption = QStringLiteral("Orvane V1.00.05 2012-11-7 Support Com10 and a good deal more text");
    FramedWindow w(caption);
    w.host->resize(200, 100);
    const TsuiTitleBar::Layout layout = w.bar->ComputeLayout();
    const int space = layout.captionRight - layout.captionX;
    const QString cut = w.bar->CutCaption(caption, space);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_LE(QFontMetrics(w.bar->font()).horizontalAdvance(cut), space);
    EXPECT_EQ(w.bar->CutCaption(QStringLiteral("Com"), space), QStringLiteral("Com"));
    EXPECT_EQ(w.bar->CutCaption(caption, 1), QStringLiteral("..."));
    for (const auto& [index, r] : layout.buttons)
        EXPECT_GE(r.x(), layout.captionRight);
}

TEST(Form, RefusesSecondClientSectionAndSecondControlBox)
{
    FramedWindow w;
    MessageBoxRecorder boxes;
    TsuiTitleBarSection* extra = w.bar->Sections().Add();
    extra->setAlign(suiClient);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("Sorry, only one section's Align property can be \"suiClient\""));
    EXPECT_EQ(extra->Align(), suiLeft);

    TsuiTitleBarButton* button = w.bar->Buttons().Add();
    button->setButtonType(suiControlBox);
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[1].text,
              QStringLiteral("Sorry, only one button's ButtonType property can be \"suiControlBox\""));
    EXPECT_EQ(button->ButtonType(), suiCustom);
    EXPECT_EQ(boxes.boxes()[1].title, QStringLiteral("Error"));
}

TEST(Form, SecondFrameOnAHostIsInert)
{
    FramedWindow w;
    auto* second = new TsuiForm(w.host.get());
    EXPECT_TRUE(second->IsInert());
    EXPECT_EQ(second->TitleBar(), nullptr);
    EXPECT_FALSE(w.form->IsInert());
}

TEST(Form, DeletingTheFrameGivesTheHostItsNativeFrameBack)
{
    FramedWindow w;
    w.Show();
    delete w.form;
    EXPECT_FALSE(w.host->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(w.host->isVisible());
}

// The maximised host keeps its maximised state while the frame places it, shows the restore
// pictures, and comes back to its bounds.
TEST(Form, MaximisedHostRestoresToItsBounds)
{
    FramedWindow w;
    w.Show();
    const QRect bounds = w.host->geometry();
    const int max = w.bar->Buttons().IndexOf(suiMax);
    ASSERT_GE(max, 0);
    const QImage maximise = w.bar->Buttons().Items(max)->PicNormal();
    w.bar->ClickButton(max);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.host->isMaximized(); }, 5000));
    EXPECT_NE(w.bar->Buttons().Items(max)->PicNormal(), maximise);
    w.bar->ClickButton(max);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.host->geometry() == bounds; }, 5000));
    EXPECT_FALSE(w.host->isMaximized());
    EXPECT_EQ(w.bar->Buttons().Items(max)->PicNormal(), maximise);
}

// Minimise on the main form minimises every window of the application; on another window,
// that window only.
TEST(Form, MinimiseOnTheMainFormMinimisesTheApplication)
{
    for (const bool onMain : {true, false}) {
        SCOPED_TRACE(onMain ? "main form" : "other window");
        FramedWindow main(QStringLiteral("Orvane"));
        FramedWindow other;
        main.Show();
        other.Show();
        TsuiTitleBar* bar = onMain ? main.bar : other.bar;
        bar->ClickButton(bar->Buttons().IndexOf(suiMin));
        EXPECT_EQ(main.host->isMinimized(), onMain);
        EXPECT_TRUE(other.host->isMinimized());
    }
}

// A screen reader finds the title bar under the frame, and in it the icon and the close
// button as push buttons with their names, where they are drawn; pressing Close closes.
TEST(Form, TitleBarButtonsReachAssistiveTechnology)
{
    FramedWindow w;
    UseTwoButtons(w.bar);
    w.Show();
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(w.bar);
    ASSERT_NE(bar, nullptr);
    EXPECT_GE(QAccessible::queryAccessibleInterface(w.form)->indexOfChild(bar), 0);
    EXPECT_EQ(bar->role(), QAccessible::TitleBar);
    EXPECT_EQ(bar->text(QAccessible::Name), QStringLiteral("Com Setting"));

    const TsuiTitleBar::Layout layout = w.bar->ComputeLayout();
    const std::pair<const char*, QRect> expected[]
        = {{"Window menu", layout.controlBoxRect}, {"Close", layout.buttons.front().second}};
    ASSERT_EQ(bar->childCount(), int(std::size(expected)));
    for (int i = 0; i < bar->childCount(); ++i) {
        QAccessibleInterface* button = bar->child(i);
        ASSERT_NE(button, nullptr);
        const auto& [name, drawn] = expected[i];
        SCOPED_TRACE(name);
        EXPECT_EQ(button->role(), QAccessible::Button);
        EXPECT_EQ(button->text(QAccessible::Name), QString::fromLatin1(name));
        EXPECT_EQ(button->rect(), QRect(w.bar->mapToGlobal(drawn.topLeft()), drawn.size()));
        EXPECT_EQ(bar->indexOfChild(button), i);
        EXPECT_FALSE(button->state().hotTracked);
    }
    QAccessibleInterface* close = bar->child(1);
    QTest::mouseMove(w.bar, QPoint(200, 8));
    QTest::mouseMove(w.bar, w.CloseCentre());
    EXPECT_TRUE(close->state().hotTracked);
    EXPECT_EQ(bar->childAt(close->rect().center().x(), close->rect().center().y()), close);
    ASSERT_NE(close->actionInterface(), nullptr);
    close->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(w.host->isVisible());
}

struct StyleFrame {
    TsuiUIStyle style;
    int barHeight;
    int borderWidth;
    int minWidth;
    int roundCorner;
};

TEST(Form, EveryStyleSizesBarAndHost)
{
    const StyleFrame table[] = {
        {MacOS, 20, 1, 130, 0},   {WinXP, 26, 3, 150, 13},     {DeepBlue, 29, 1, 130, 0},
        {Protein, 20, 1, 130, 0}, {BlueGlass, 30, 1, 270, 11},
    };
    for (const StyleFrame& s : table) {
        SCOPED_TRACE(int(s.style));
        FramedWindow w;
        w.form->setUIStyle(s.style);
        w.form->SetClientSize(QSize(300, 200));
        EXPECT_EQ(w.bar->height(), s.barHeight);
        EXPECT_EQ(w.form->BorderWidth(), s.borderWidth);
        EXPECT_EQ(w.host->minimumSize(), QSize(s.minWidth, s.barHeight + 3));
        EXPECT_EQ(w.form->RoundCorner(), s.roundCorner);
        EXPECT_EQ(w.host->height(), 200 + 3 + w.form->BottomBand());
        EXPECT_EQ(w.host->mask().isEmpty(), s.roundCorner == 0);
    }
}

}  // namespace
