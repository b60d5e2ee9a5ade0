// The windows as they are laid out: every control's place, caption and starting state.

#include "support/UiTestKit.h"

#include "skin/JpegImage.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"
#include "skin/Suigroupbox.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suipagecontrol.h"
#include "widgets/Cspin.h"

#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

using uitest::Windows;

namespace {

QString TextOf(QWidget* w)
{
    if (auto* b = qobject_cast<TsuiCustomButton*>(w)) return b->Caption();
    if (auto* g = qobject_cast<TsuiCustomGroupBox*>(w)) return g->Caption();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    return {};
}

TEST(Layout, MainWindowControlsSitWhereTheyBelong)
{
    Windows w;
    TForm1Controls& f = w.main;
    const struct {
        QWidget* control;
        QWidget* parent;
        QRect rect;
        const char* text;
    } controls[] = {
        {f.suiImagePanel1, f.suiForm1, {0, 20, 411, 41}, ""},
        {f.suiButton1, f.suiImagePanel1, {16, 8, 80, 27}, "Com Setting"},
        {f.suiButton2, f.suiImagePanel1, {114, 8, 80, 27}, "Search"},
        {f.suiButton3, f.suiImagePanel1, {213, 8, 80, 27}, "Stop"},
        {f.suiButton4, f.suiImagePanel1, {312, 8, 80, 27}, "Exit"},
        {f.suiPageControl1, f.suiForm1, {0, 61, 411, 422}, ""},
        {f.suiTabSheet1, f.suiPageControl1, {3, 37, 405, 382}, ""},
        {f.suiImagePanel3, f.suiTabSheet1, {0, 0, 405, 382}, ""},
        {f.suiGroupBox1, f.suiImagePanel3, {16, 12, 313, 65}, "Channel and Frequency"},
        {f.suiComboBox_Channel, f.suiGroupBox1, {64, 13, 81, 21}, ""},
        {f.suiEdit_Frequency, f.suiGroupBox1, {64, 40, 81, 17}, ""},
        {f.suiButton_ChannelRead, f.suiGroupBox1, {152, 24, 65, 25}, "Read"},
        {f.suiButton_ChannelSet, f.suiGroupBox1, {232, 25, 65, 23}, "Write"},
        {f.suiGroupBox2, f.suiImagePanel3, {16, 94, 313, 49}, "RF and Rate"},
        {f.suiComboBox_RfBaudRate, f.suiGroupBox2, {64, 17, 81, 21}, ""},
        {f.suiButton_RfBaudRateRead, f.suiGroupBox2, {152, 16, 65, 23}, "Read"},
        {f.suiButton_RfBaudRateSet, f.suiGroupBox2, {232, 16, 65, 23}, "Write"},
        {f.suiGroupBox3, f.suiImagePanel3, {16, 162, 313, 73}, "Wireless COM Setting"},
        {f.suiComboBox_ComBaudRate, f.suiGroupBox3, {64, 17, 81, 21}, ""},
        {f.suiComboBox_ComVerify, f.suiGroupBox3, {64, 41, 81, 21}, ""},
        {f.suiButton_ComBaudRateRead, f.suiGroupBox3, {152, 24, 65, 23}, "Read"},
        {f.suiButton_ComBaudRateSet, f.suiGroupBox3, {232, 24, 65, 23}, "Write"},
        {f.suiGroupBox5, f.suiImagePanel3, {16, 253, 313, 49}, "Factory ID(1-65536)"},
        {f.suiEdit_GuestId, f.suiGroupBox5, {61, 18, 68, 23}, "00000"},
        {f.CSpinButton_GuestId, f.suiGroupBox5, {129, 12, 15, 33}, ""},
        {f.suiButton_ReadGuestId, f.suiGroupBox5, {152, 17, 65, 23}, "Read"},
        {f.suiButton_WriteGuestId, f.suiGroupBox5, {232, 17, 65, 23}, "Write"},
        {f.suiGroupBox6, f.suiImagePanel3, {16, 322, 313, 49}, "Launch  Power"},
        {f.suiComboBox_Power, f.suiGroupBox6, {61, 18, 73, 21}, ""},
        {f.suiButton_ReadPower, f.suiGroupBox6, {152, 17, 65, 23}, "Read"},
        {f.suiButton_WritePower, f.suiGroupBox6, {232, 17, 65, 23}, "Write"},
        {f.suiImagePanel2, f.suiForm1, {0, 484, 411, 28}, ""},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.control->metaObject()->className() + std::string(" ") + c.text);
        EXPECT_EQ(c.control->parentWidget(), c.parent);
        EXPECT_EQ(c.control->geometry(), c.rect);
        EXPECT_EQ(TextOf(c.control), c.text);
    }
    // Labels keep their place and width; their fonts are narrowed to fit instead.
    const struct {
        QLabel* label;
        QRect rect;
        const char* text;
    } labels[] = {{f.Label4, {16, 16, 41, 13}, "Channel"},  {f.Label5, {16, 40, 41, 13}, " Frequency"},
                  {f.Label6, {8, 21, 49, 13}, "Baud Rate"}, {f.Label7, {8, 21, 57, 13}, "Baud Rate"},
                  {f.Label8, {8, 45, 49, 13}, "Verify"},    {f.Label14, {8, 22, 49, 13}, "Level"}};
    for (const auto& l : labels) {
        EXPECT_EQ(l.label->geometry(), l.rect) << l.text;
        EXPECT_EQ(l.label->text(), l.text);
    }
}

TEST(Layout, MainWindowStartsAsDefined)
{
    Windows w;
    TForm1& f = w.form1;
    TForm1Controls& c = w.main;
    EXPECT_EQ(f.windowTitle(), "Orvane V1.00.05 2012-11-7 Support Com10");
    EXPECT_EQ(c.suiForm1->Caption(), "Orvane V1.00.05 2012-11-7 Support Com10");
    EXPECT_EQ(c.suiForm1->size(), QSize(411, 512));
    EXPECT_EQ(c.suiForm1->UIStyle(), Protein);
    EXPECT_EQ(c.suiForm1->Color(), 0xFBFBFBu);
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_EQ(f.font().pixelSize(), 11);
    EXPECT_EQ(c.suiTabSheet1->Caption(), "Radio Parameters");
    EXPECT_EQ(c.suiPageControl1->UIStyle(), MacOS);
    EXPECT_EQ(c.suiPageControl1->LeftMargin(), 10);
    // The 791 x 669 picture is drawn unscaled from its corner: the panel keeps only what it shows.
    EXPECT_EQ(c.suiImagePanel3->Picture().size(), QSize(405, 382));
    EXPECT_EQ(c.suiImagePanel3->Picture(), LoadPageBackground().copy(0, 0, 405, 382));
    EXPECT_EQ(c.suiImagePanel2->Picture().size(), QSize(8, 37));
    EXPECT_EQ(c.suiImagePanel2->Caption(), "");
    EXPECT_EQ(c.suiImagePanel1->Color(), 0xF0CAA6u);

    for (TsuiComboBox* box : {c.suiComboBox_Channel, c.suiComboBox_RfBaudRate, c.suiComboBox_ComBaudRate,
                              c.suiComboBox_ComVerify, c.suiComboBox_Power}) {
        EXPECT_EQ(box->currentIndex(), -1);
        EXPECT_EQ(box->Style(), TsuiCustomComboBox::csDropDownList);
        EXPECT_FALSE(box->isEditable());
        EXPECT_EQ(box->font().pixelSize(), 13);
    }
    EXPECT_EQ(c.suiComboBox_Channel->count(), 32);
    EXPECT_EQ(c.suiComboBox_Channel->itemText(31), "32");
    EXPECT_EQ(c.suiComboBox_Power->count(), 7);
    EXPECT_EQ(c.suiComboBox_ComBaudRate->itemText(7), "115200");
    EXPECT_EQ(c.suiComboBox_ComVerify->itemText(1), "ODD");
    EXPECT_TRUE(c.suiEdit_Frequency->isReadOnly());
    EXPECT_EQ(c.suiEdit_GuestId->maxLength(), 5);
    EXPECT_FALSE(c.Timer1->isActive());
    EXPECT_EQ(c.Timer1->interval(), 800);
    EXPECT_FALSE(WindowTestAccess::SearchWrapped(f));
    EXPECT_TRUE(WindowTestAccess::PortListPending(f));
    EXPECT_NE(WindowTestAccess::RecvMessageId(f), 0u);
}

TEST(Layout, DialogControlsSitWhereTheyBelong)
{
    Windows w;
    TForm2& d = w.form2;
    TForm2Controls& dc = w.dialog;
    EXPECT_EQ(d.windowTitle(), "Com Setting");
    EXPECT_EQ(dc.suiForm1->size(), QSize(308, 253));
    EXPECT_FALSE(d.isVisible());
    const struct {
        QWidget* control;
        QRect rect;
        const char* text;
    } controls[] = {
        {dc.suiComboBox_ComPort, {104, 48, 137, 21}, ""},  {dc.suiComboBox_BaudRate, {104, 95, 137, 21}, ""},
        {dc.suiComboBox_Verify, {104, 144, 137, 21}, ""},  {dc.suiButton_Open, {24, 200, 65, 25}, "Open"},
        {dc.suiButton_Close, {116, 200, 65, 25}, "Close"}, {dc.suiButton_Cancel, {204, 200, 65, 25}, "Cancel"},
    };
    for (const auto& c : controls) {
        EXPECT_EQ(c.control->parentWidget(), dc.suiForm1) << c.text;
        EXPECT_EQ(c.control->geometry(), c.rect) << c.text;
        EXPECT_EQ(TextOf(c.control), c.text);
    }
    EXPECT_EQ(dc.Label1->pos(), QPoint(24, 51));
    EXPECT_EQ(dc.Label2->pos(), QPoint(24, 97));
    EXPECT_EQ(dc.Label3->pos(), QPoint(24, 146));
    EXPECT_EQ(dc.Label2->font().pixelSize(), 15);
    EXPECT_EQ(dc.suiComboBox_ComPort->count(), 0);
    EXPECT_EQ(dc.suiComboBox_BaudRate->currentText(), "9600");
    EXPECT_EQ(dc.suiComboBox_Verify->currentText(), "No");
}

TEST(Layout, ExitClosesTheMainWindow)
{
    Windows w;
    ASSERT_TRUE(w.form1.isVisible());
    Windows::Click(w.main.suiButton4);
    EXPECT_FALSE(w.form1.isVisible());
}

}  // namespace
