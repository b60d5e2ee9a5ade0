// The exception display: an exception from an event handler is shown and the loop goes on.

#include "app/Application.h"
#include "common/EventWait.h"
#include "common/MessageBoxRecorder.h"
#include "skin/Suibutton.h"
#include "skin/Suiedit.h"
#include "ui/Conversion.h"
#include "ui/support/WindowTestAccess.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

Application* App() { return static_cast<Application*>(qApp); }

TEST(ExceptionDisplay, TitleIsTheExecutableNameUpToItsFirstDot)
{
    const std::pair<const char*, const char*> cases[] = {{"orvane", "orvane"},
                                                         {"ORVANE.EXE", "Orvane"},
                                                         {"Orvane.bin", "Orvane"},
                                                         {"orvane.tool.bin", "orvane"},
                                                         {"x", "x"},
                                                         {"", ""}};
    for (const auto& [file, title] : cases)
        EXPECT_EQ(Application::TitleFromFileName(file).toStdString(), title) << file;
    EXPECT_EQ(App()->Title(), Application::TitleFromFileName(QFileInfo(App()->applicationFilePath()).fileName()));
}

TEST(ExceptionDisplay, AFullStopFollowsAMessageEndingAfterDot)
{
    const std::pair<const char*, const char*> cases[]
        = {{"'12a' is not a valid integer value", "'12a' is not a valid integer value."},
           {"ends in 7", "ends in 7."},
           {"done.", "done."},
           {"stop!", "stop!"},
           {"(a)", "(a)"},
           {"a/", "a/."},
           {"", ""}};
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(Application::DisplayText(message).toStdString(), shown) << message;
}

TEST(ExceptionDisplay, ANonNumericIdOnWriteIsShownAndTheProgramGoesOn)
{
    MessageBoxRecorder boxes;
    TForm1 form1;
    TForm2 form2(form1);
    TForm1Controls& controls = WindowTestAccess::Controls(form1);
    form1.show();
    controls.suiEdit_GuestId->setText("12a");
    QTest::mouseClick(controls.suiButton_WriteGuestId, Qt::LeftButton);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "'12a' is not a valid integer value.");
    EXPECT_EQ(boxes.boxes()[0].title, App()->Title());
    EXPECT_EQ(boxes.boxes()[0].icon, QMessageBox::Critical);

    // The loop goes on: the next action runs as usual.
    controls.suiEdit_GuestId->setText("00001");
    QTest::mouseClick(controls.suiButton_WriteGuestId, Qt::LeftButton);
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[1].text, "Operation failed,Serial port is open detection");
}

// Only our own exception's message is shown; anything else thrown shows an empty message.
TEST(ExceptionDisplay, AnythingButOurExceptionShowsAnEmptyMessage)
{
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { throw orvane::Exception(QStringLiteral("Port gone")); }, "Port gone."},
        {[] { throw std::runtime_error("boom"); }, ""},
        {[] { throw 42; }, ""},
    };
    for (const auto& [raise, shown] : cases) {
        MessageBoxRecorder boxes;
        QObject target;
        QTimer::singleShot(0, &target, raise);
        testcommon::WaitUntil([&] { return !boxes.boxes().empty(); });
        ASSERT_EQ(boxes.boxes().size(), 1u) << shown;
        EXPECT_EQ(boxes.boxes()[0].text, shown);
        EXPECT_EQ(boxes.boxes()[0].title, App()->Title());
        EXPECT_EQ(boxes.boxes()[0].icon, QMessageBox::Critical);
    }
}

// The real box, closed from inside its own loop: an OK button only, its caption without a glyph.
TEST(MessageBoxes, HaveAnOkButtonOnlyWithoutAGlyph)
{
    for (const QMessageBox::Icon icon : {QMessageBox::NoIcon, QMessageBox::Critical}) {
        // Read inside the box's loop: the box and its buttons are gone once it returns.
        QStringList captions;
        QString title;
        bool iconless = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            title = box->windowTitle();
            const QList<QAbstractButton*> buttons = box->buttons();
            for (const QAbstractButton* b : buttons)
                captions << b->text().remove(u'&');
            iconless = !buttons.isEmpty() && buttons[0]->icon().isNull();
            box->accept();
        });
        platform::ShowMessageBox(nullptr, QStringLiteral("Open Com fail"), QStringLiteral("Error"), icon);
        EXPECT_EQ(title, "Error");
        EXPECT_EQ(captions, QStringList{"OK"});
        EXPECT_TRUE(iconless);
    }
}

}  // namespace
