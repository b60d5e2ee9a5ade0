// The skinned edit: the two frame lines over the 2-pixel border, and the typing limit
// that never cuts text written from code.
#include "skin/Suiedit.h"
#include "support/QtApp.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Shown {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TsuiEdit* edit = new TsuiEdit(window.get());

    explicit Shown(QSize size = QSize(68, 23))
    {
        edit->setGeometry(QRect(QPoint(10, 10), size));
        window->resize(100, 60);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        edit->setFocus();
    }
};

QRgb Pixel(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }

// Every pixel of the outer ring in border and of the ring inside it in inner.
void ExpectFrame(const QImage& img, TColor border, TColor inner)
{
    const int w = img.width();
    const int h = img.height();
    int failures = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool outer = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            const bool second = !outer && (x == 1 || y == 1 || x == w - 2 || y == h - 2);
            if (!outer && !second) continue;
            const QRgb want = Rgb(outer ? border : inner);
            if (Pixel(img, x, y) != want && failures++ < 5)
                ADD_FAILURE() << "(" << x << ", " << y << ") is " << std::hex << Pixel(img, x, y) << ", want " << want;
        }
}

}  // namespace

// The frame holds in every state; a read-only or disabled edit keeps its field colour.
TEST(EditFrame, TwoLinesInEveryState)
{
    EnsureQtApp();
    struct Case {
        bool readOnly;
        bool enabled;
        TColor color;
    };
    const Case cases[]
        = {{false, true, 0xFFFFFF}, {true, true, 0xFFFFFF}, {false, false, 0xFFFFFF}, {true, true, 0xE0F0FF}};
    for (const Case& c : cases) {
        Shown s(QSize(81, 17));
        s.edit->setText(QStringLiteral("433.000MHz"));
        s.edit->setBorderColor(0x7F7F7F);
        s.edit->setColor(c.color);
        s.edit->setReadOnly(c.readOnly);
        s.edit->setEnabled(c.enabled);
        SCOPED_TRACE(testing::Message() << "read-only " << c.readOnly << " enabled " << c.enabled);
        const QImage img = s.edit->grab().toImage();
        ExpectFrame(img, 0x7F7F7F, c.color);
        // Inside the frame, away from the text, the field colour.
        EXPECT_EQ(Pixel(img, img.width() - 4, img.height() / 2), Rgb(c.color));
    }
}

TEST(EditLimit, TypingStopsAtTheLimit)
{
    EnsureQtApp();
    Shown s;
    s.edit->setMaxLength(5);
    s.edit->clear();
    QTest::keyClicks(s.edit, QStringLiteral("1234567"));
    EXPECT_EQ(s.edit->text(), QStringLiteral("12345"));
    QTest::keyClick(s.edit, Qt::Key_Backspace);
    QTest::keyClicks(s.edit, QStringLiteral("89"));
    EXPECT_EQ(s.edit->text(), QStringLiteral("12348"));
}

TEST(EditLimit, PastingKeepsWhatFits)
{
    EnsureQtApp();
    Shown s;
    s.edit->setMaxLength(5);
    s.edit->setText(QStringLiteral("12"));
    s.edit->end(false);
    QApplication::clipboard()->setText(QStringLiteral("34567"));
    if (QApplication::clipboard()->text() != QStringLiteral("34567")) GTEST_SKIP() << "no clipboard on this platform";
    QTest::keyClick(s.edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(s.edit->text(), QStringLiteral("12345"));
}

TEST(EditLimit, TextFromCodeIsNeverCut)
{
    EnsureQtApp();
    Shown s;
    s.edit->setMaxLength(5);
    s.edit->setText(QStringLiteral("1234567"));
    EXPECT_EQ(s.edit->text(), QStringLiteral("1234567"));
    s.edit->setProperty("text", QStringLiteral("abcdefgh"));
    EXPECT_EQ(s.edit->text(), QStringLiteral("abcdefgh"));
    EXPECT_EQ(s.edit->maxLength(), 5);

    // Setting the limit below the text's length keeps the text too.
    s.edit->setMaxLength(3);
    EXPECT_EQ(s.edit->text(), QStringLiteral("abcdefgh"));
}

// A text longer than the limit may be shortened but never lengthened again.
TEST(EditLimit, LongTextShrinksButDoesNotGrow)
{
    EnsureQtApp();
    Shown s;
    s.edit->setMaxLength(5);
    s.edit->setText(QStringLiteral("1234567"));
    s.edit->end(false);
    QTest::keyClick(s.edit, Qt::Key_X);
    EXPECT_EQ(s.edit->text(), QStringLiteral("1234567"));

    // Deleting in the middle keeps the cursor where the user put it.
    s.edit->setCursorPosition(2);
    QTest::keyClick(s.edit, Qt::Key_Delete);
    EXPECT_EQ(s.edit->text(), QStringLiteral("124567"));
    EXPECT_EQ(s.edit->cursorPosition(), 2);
    QTest::keyClick(s.edit, Qt::Key_X);
    EXPECT_EQ(s.edit->text(), QStringLiteral("124567"));

    QTest::keyClick(s.edit, Qt::Key_Delete);
    QTest::keyClick(s.edit, Qt::Key_Delete);
    EXPECT_EQ(s.edit->text(), QStringLiteral("1267"));
    QTest::keyClicks(s.edit, QStringLiteral("ab"));
    EXPECT_EQ(s.edit->text(), QStringLiteral("12a67"));
}
