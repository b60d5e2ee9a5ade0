// The skinned combo box: change events on user picks only, the frame, the button
// face and the arrow's pixels, and the colours a style change resets.
#include "skin/SkinPictures.h"
#include "skin/Suicombobox.h"
#include "skin/Suipublic.h"
#include "support/QtApp.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QStringList kBauds{QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),
                         QStringLiteral("9600"),  QStringLiteral("19200"), QStringLiteral("38400"),
                         QStringLiteral("57600"), QStringLiteral("115200")};

// A pick-only box as the windows build it, shown in a window of its own.
struct Shown {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TsuiComboBox* combo = new TsuiComboBox(window.get());

    explicit Shown(TsuiUIStyle style = MacOS)
    {
        combo->setUIStyle(style);
        combo->setStyle(TsuiComboBox::csDropDownList);
        combo->addItems(kBauds);
        combo->setGeometry(10, 10, 81, 21);
        window->resize(120, 60);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
};

QRgb Pixel(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }

// The button rectangle the box paints into: the style's, inside the two frame lines.
QRect PaintedButton(TsuiComboBox* combo)
{
    SuiComboBoxInfo info;
    EXPECT_TRUE(SUIGetComboBoxInfo(combo, &info));
    return info.button & combo->rect().adjusted(2, 2, -2, -2);
}

}  // namespace

TEST(ComboBoxChange, SelectingFromCodeRaisesNothing)
{
    EnsureQtApp();
    Shown s;
    EXPECT_EQ(s.combo->currentIndex(), -1) << "adding items selects none";
    QSignalSpy activated(s.combo, &QComboBox::activated);
    s.combo->setCurrentIndex(3);
    EXPECT_EQ(s.combo->currentText(), QStringLiteral("9600"));
    s.combo->setCurrentIndex(-1);
    EXPECT_EQ(s.combo->currentText(), QString());
    s.combo->setCurrentIndex(7);
    EXPECT_EQ(activated.count(), 0);

    // Writing the index that is already selected changes nothing at all.
    QSignalSpy changed(s.combo, &QComboBox::currentIndexChanged);
    s.combo->setCurrentIndex(7);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(activated.count(), 0);
}

// The text the handler sees is the new item's, so the text is updated first.
TEST(ComboBoxChange, KeyboardPickOnTheClosedBoxRaisesItOnce)
{
    EnsureQtApp();
    Shown s;
    s.combo->setCurrentIndex(2);
    QStringList seen;
    QObject::connect(s.combo, &QComboBox::activated, [&](int) { seen.append(s.combo->currentText()); });
    s.combo->setFocus();
    QTest::keyClick(s.combo, Qt::Key_Down);
    EXPECT_EQ(seen, QStringList{QStringLiteral("9600")});
}

TEST(ComboBoxChange, KeyboardPickFromTheListRaisesItOnce)
{
    EnsureQtApp();
    Shown s;
    s.combo->setCurrentIndex(0);
    QStringList seen;
    QObject::connect(s.combo, &QComboBox::activated, [&](int) { seen.append(s.combo->currentText()); });
    s.combo->showPopup();
    QAbstractItemView* list = s.combo->view();
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(seen.isEmpty()) << "moving through the open list is not a pick";
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(seen, QStringList{QStringLiteral("4800")});
    EXPECT_FALSE(list->window()->isVisible());
}

TEST(ComboBoxChange, MousePickFromTheListRaisesItOnce)
{
    EnsureQtApp();
    Shown s;
    QStringList seen;
    QObject::connect(s.combo, &QComboBox::activated, [&](int) { seen.append(s.combo->currentText()); });
    // The list ignores a release that comes within a double-click time of opening it.
    const int doubleClick = QApplication::doubleClickInterval();
    QApplication::setDoubleClickInterval(0);
    QTest::mouseClick(s.combo, Qt::LeftButton, {}, s.combo->rect().center());
    QAbstractItemView* list = s.combo->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 5000));
    const QPoint at = list->visualRect(list->model()->index(5, 0)).center();
    QTest::mouseMove(list->viewport(), at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QApplication::setDoubleClickInterval(doubleClick);
    EXPECT_EQ(seen, QStringList{QStringLiteral("38400")});
    EXPECT_EQ(s.combo->currentIndex(), 5);
}

TEST(ComboBoxLook, FrameLinesAndButtonFace)
{
    EnsureQtApp();
    Shown s(DeepBlue);
    s.combo->setBorderColor(0x00C000);
    s.combo->setButtonColor(0xC0C0C0);
    const QImage img = s.combo->grab().toImage();
    const QRect r = PaintedButton(s.combo);
    const int w = img.width();
    const int h = img.height();
    for (const QPoint& p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1), QPoint(30, 0)})
        EXPECT_EQ(Pixel(img, p.x(), p.y()), Rgb(0x00C000)) << p.x() << "," << p.y();
    for (const QPoint& p : {QPoint(1, 1), QPoint(w - 2, h - 2), QPoint(30, h - 2)})
        EXPECT_EQ(Pixel(img, p.x(), p.y()), Rgb(0xFFFFFF)) << p.x() << "," << p.y();
    // The separator runs one row past the button at both ends; the face is ButtonColor.
    EXPECT_EQ(Pixel(img, r.x(), r.y() - 1), Rgb(0x00C000));
    EXPECT_EQ(Pixel(img, r.x(), RectBottom(r)), Rgb(0x00C000));
    EXPECT_EQ(Pixel(img, r.x() + 1, r.y()), Rgb(0xC0C0C0));
    EXPECT_EQ(Pixel(img, RectRight(r) - 1, RectBottom(r) - 1), Rgb(0xC0C0C0));
}

TEST(ComboBoxLook, ArrowOriginFollowsTheButtonRectangle)
{
    // A button spanning rows 2 to 19 and columns 60 to 77.
    const QPoint at = ComboArrowOrigin(RectLTRB(60, 2, 77, 19));
    EXPECT_EQ(at, QPoint(65, 8));
}

// The arrow: 7, 5, 3 and 1 pixels on four rows, in ArrowColor; when disabled a grey
// arrow over a white one shifted by one pixel.
TEST(ComboBoxLook, ArrowPixels)
{
    EnsureQtApp();
    Shown s(DeepBlue);
    s.combo->setArrowColor(0x0000FF);
    s.combo->setButtonColor(0xC0C0C0);
    const QPoint o = ComboArrowOrigin(PaintedButton(s.combo));
    const QImage img = s.combo->grab().toImage();
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Pixel(img, o.x() + row - 1, o.y() + row), Rgb(0xC0C0C0)) << "row " << row;
        for (int x = o.x() + row; x <= o.x() + 6 - row; ++x)
            EXPECT_EQ(Pixel(img, x, o.y() + row), Rgb(0x0000FF)) << "row " << row << " x " << x;
        EXPECT_EQ(Pixel(img, o.x() + 7 - row, o.y() + row), Rgb(0xC0C0C0)) << "row " << row;
    }
    EXPECT_EQ(Pixel(img, o.x() + 3, o.y() - 1), Rgb(0xC0C0C0));
    EXPECT_EQ(Pixel(img, o.x() + 3, o.y() + 4), Rgb(0xC0C0C0));

    s.combo->setEnabled(false);
    const QImage off = s.combo->grab().toImage();
    EXPECT_EQ(Pixel(off, o.x(), o.y()), Rgb(0x808080));
    EXPECT_EQ(Pixel(off, o.x() + 3, o.y() + 3), Rgb(0x808080));
    EXPECT_EQ(Pixel(off, o.x() + 7, o.y() + 1), Rgb(0xFFFFFF));
    EXPECT_EQ(Pixel(off, o.x() + 4, o.y() + 4), Rgb(0xFFFFFF));

    s.combo->setEnabled(true);
    EXPECT_EQ(Pixel(s.combo->grab().toImage(), o.x(), o.y()), Rgb(0x0000FF));
}

// MacOS and WinXP stretch their button bitmaps over the button; WinXP's carries its
// own arrow, so none is painted over it.
TEST(ComboBoxLook, BitmapFacesAndTheirArrows)
{
    EnsureQtApp();
    for (TsuiUIStyle style : {MacOS, WinXP}) {
        Shown s(style);
        s.combo->setArrowColor(0x0000FF);
        s.combo->setButtonColor(0x00FF00);
        const QRect r = PaintedButton(s.combo);
        const QImage img = s.combo->grab().toImage();
        int arrow = 0;
        int fill = 0;
        for (int y = r.y(); y < RectBottom(r); ++y)
            for (int x = r.x(); x < RectRight(r); ++x) {
                arrow += Pixel(img, x, y) == Rgb(0x0000FF);
                fill += Pixel(img, x, y) == Rgb(0x00FF00);
            }
        EXPECT_EQ(fill, 0) << "style " << int(style);
        EXPECT_EQ(arrow, style == MacOS ? 16 : 0) << "style " << int(style);
    }
}

// The button is 17 pixels wide against the frame, whatever the box's width, and the text field
// ends where it begins.
TEST(ComboBoxLook, ButtonIs17PixelsAgainstTheFrame)
{
    EnsureQtApp();
    struct Case {
        int width;
        Qt::LayoutDirection direction;
        QRect button;
    };
    const Case cases[] = {
        {81, Qt::LeftToRight, RectLTRB(62, 2, 79, 19)},
        {137, Qt::LeftToRight, RectLTRB(118, 2, 135, 19)},
        {73, Qt::LeftToRight, RectLTRB(54, 2, 71, 19)},
        {81, Qt::RightToLeft, RectLTRB(2, 2, 19, 19)},
    };
    for (const Case& c : cases) {
        TsuiComboBox combo;
        combo.setStyle(TsuiComboBox::csDropDownList);
        combo.setLayoutDirection(c.direction);
        combo.resize(c.width, 21);
        SuiComboBoxInfo info;
        ASSERT_TRUE(SUIGetComboBoxInfo(&combo, &info));
        EXPECT_EQ(info.button, c.button) << c.width << " " << int(c.direction);
        EXPECT_FALSE(info.item.intersects(info.button)) << c.width << " " << int(c.direction);
    }
}

// The 16 x 17 MacOS face keeps its rows one for one: only a column is repeated.
TEST(ComboBoxLook, MacOSFaceKeepsItsRows)
{
    EnsureQtApp();
    Shown s(MacOS);
    const QImage face = SkinPicture(QStringLiteral("MACOS_COMBOBOX_BUTTON"));
    ASSERT_EQ(face.size(), QSize(16, 17));
    const QImage img = s.combo->grab().toImage();
    for (int y = 0; y < 17; ++y)
        EXPECT_EQ(Pixel(img, 62, 2 + y), face.pixel(0, y) & 0xFFFFFF) << "row " << y;
}

// At twice the pixel density the face comes from the twice-size picture. The scale is fixed when
// the application starts, so the check runs in a child of this program started at scale 2.
TEST(ComboBoxLook, TwiceSizeFaceAtScaleTwo)
{
    EnsureQtApp();
    if (qEnvironmentVariableIsEmpty("ORVANE_SCALE_TWO_CHILD")) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
        env.insert(QStringLiteral("ORVANE_SCALE_TWO_CHILD"), QStringLiteral("1"));
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QStringLiteral("/proc/self/exe"),
                    {QStringLiteral("--gtest_filter=ComboBoxLook.TwiceSizeFaceAtScaleTwo")});
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
        return;
    }
    Shown s(MacOS);
    ASSERT_EQ(s.combo->devicePixelRatioF(), 2.0);
    const QImage face = SkinPicture(QStringLiteral("MACOS_COMBOBOX_BUTTON"), 2.0);
    ASSERT_EQ(face.size(), QSize(32, 34));
    const QImage img = s.combo->grab().toImage();
    for (int y = 0; y < 34; ++y)
        EXPECT_EQ(Pixel(img, 2 * 62, 2 * 2 + y), face.pixel(0, y) & 0xFFFFFF) << "row " << y;
}

TEST(ComboBoxLook, SimpleStyleIsNeverDecorated)
{
    EnsureQtApp();
    Shown s(DeepBlue);
    s.combo->setStyle(TsuiComboBox::csSimple);
    s.combo->setBorderColor(0x00FF00);
    s.combo->setArrowColor(0x0000FF);
    const QImage img = s.combo->grab().toImage();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            ASSERT_NE(Pixel(img, x, y), Rgb(0x00FF00)) << x << "," << y;
            ASSERT_NE(Pixel(img, x, y), Rgb(0x0000FF)) << x << "," << y;
        }
}

TEST(ComboBoxStyle, StyleChangeResetsTheColours)
{
    EnsureQtApp();
    struct Case {
        TsuiUIStyle style;
        TColor border;
        TColor button;
    };
    const Case cases[] = {
        {MacOS, 0x7F7F7F, 0xE7E7E7},   {WinXP, 0x686868, 0xDEEBEF},     {DeepBlue, 0x000000, 0xE8E8E8},
        {Protein, 0x000000, 0xFBFBFB}, {BlueGlass, 0x000000, 0xE7E7E7}, {FromThemeFile, 0x000000, 0xE8E8E8},
    };
    TsuiComboBox combo;
    for (const Case& c : cases) {
        combo.setBorderColor(0x123456);
        combo.setButtonColor(0x123456);
        combo.setArrowColor(0x123456);
        combo.setUIStyle(c.style);
        EXPECT_EQ(combo.UIStyle(), c.style);
        EXPECT_EQ(combo.BorderColor(), c.border) << "style " << int(c.style);
        EXPECT_EQ(combo.ButtonColor(), c.button) << "style " << int(c.style);
        EXPECT_EQ(combo.ArrowColor(), 0x000000u) << "style " << int(c.style);
    }
}

TEST(ComboBoxStyle, FreedFileThemeFallsBackToDeepBlue)
{
    EnsureQtApp();
    TsuiComboBox combo;
    combo.setUIStyle(WinXP);
    auto* theme = new TsuiFileTheme;
    combo.setFileTheme(theme);
    EXPECT_EQ(combo.FileTheme(), theme);
    delete theme;
    EXPECT_EQ(combo.FileTheme(), nullptr);
    EXPECT_EQ(combo.UIStyle(), DeepBlue);
    EXPECT_EQ(combo.BorderColor(), 0x000000u);
}
