// The main window's controls at their places, and the wiring of their events to the handlers.

#include "ui/Formmain.h"

#include "protocol/ModuleValues.h"
#include "skin/JpegImage.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"
#include "skin/Suigroupbox.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suipagecontrol.h"
#include "ui/Accessibility.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "widgets/Cspin.h"

#include <QFile>
#include <QLabel>
#include <QTimer>

namespace {

QStringList NumberItems(int last)
{
    QStringList items;
    for (int i = 1; i <= last; ++i)
        items << QString::number(i);
    return items;
}

// Combo boxes on the page show their items in "宋体" 13 pixels high. The font goes first: set after the
// items, it would have the hidden list measure every row in that face at start-up.
TsuiComboBox* MakePageComboBox(QWidget* parent, const QRect& r, const QStringList& items)
{
    TsuiComboBox* c = MakeComboBox(parent, r);
    c->setFont(SongFont(13));
    c->addItems(items);
    c->setCurrentIndex(-1);
    return c;
}

TsuiGroupBox* MakeGroupBox(QWidget* parent, const QRect& r, const QString& caption, TColor border)
{
    auto* g = new TsuiGroupBox(parent);
    g->setUIStyle(Protein);
    g->setTransparent(true);
    g->setFont(DialogFont());
    g->setBorderColor(border);
    g->setCaption(caption);
    g->setGeometry(r);
    return g;
}

TsuiEdit* MakeEdit(QWidget* parent, const QRect& r)
{
    auto* e = new TsuiEdit(parent);
    e->setUIStyle(Protein);
    e->setBorderColor(kControlGrey);
    e->setGeometry(r);
    return e;
}

QLabel* MakePageLabel(QWidget* parent, const QRect& r, const QString& text)
{
    return MakeLabel(parent, r, text, DialogFont());
}

// The status line's gradient at a device pixel ratio: above 1 the twice-size picture, decoded on
// first use and kept.
QImage StatusGradientAt(qreal devicePixelRatio)
{
    if (devicePixelRatio <= 1.0) return LoadStatusGradient();
    static const QImage twice = [] {
        QImage image(QStringLiteral(":/page/status@2x.png"));
        image.setDevicePixelRatio(2.0);
        return image;
    }();
    return twice.isNull() ? LoadStatusGradient() : twice;
}

// The page's background the same way: the twice-size JPEG is decoded only when first asked for.
// Either is drawn unscaled from its corner, so only the part the panel shows is decoded.
QImage PageBackgroundAt(qreal devicePixelRatio, QSize shown)
{
    if (devicePixelRatio <= 1.0) return LoadPageBackground(shown);
    static const QImage twice = [shown] {
        QFile file(QStringLiteral(":/page/background@2x.jpg"));
        QImage image = file.open(QIODevice::ReadOnly) ? DecodeJpeg(file.readAll(), shown * 2) : QImage();
        image.setDevicePixelRatio(2.0);
        return image;
    }();
    return twice.isNull() ? LoadPageBackground(shown) : twice;
}

}  // namespace

void TForm1::UsePicturesAt(qreal devicePixelRatio)
{
    const QImage gradient = StatusGradientAt(devicePixelRatio);
    if (gradient.cacheKey() != suiImagePanel2->Picture().cacheKey()) suiImagePanel2->setPicture(gradient);
    const QImage page = PageBackgroundAt(devicePixelRatio, suiImagePanel3->size());
    if (page.cacheKey() != suiImagePanel3->Picture().cacheKey()) suiImagePanel3->setPicture(page);
}

void TForm1::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    UsePicturesAt(devicePixelRatioF());
}

void TForm1::BuildControls()
{
    setWindowTitle(QStringLiteral("Orvane V1.00.05 2012-11-7 Support Com10"));
    setFont(DialogFont());
    move(502, 157);

    suiForm1 = MakeWindowFrame(this, {411, 512});
    BuildButtonBar();
    BuildPage();
    BuildRadioGroups(suiImagePanel3);
    BuildIdAndPowerGroups(suiImagePanel3);

    suiImagePanel2 = new TsuiImagePanel(suiForm1);
    suiImagePanel2->setGeometry(0, 484, 411, 28);
    suiImagePanel2->setAlign(TsuiCustomPanel::alBottom);
    suiImagePanel2->setDrawStyle(TsuiCustomPanel::suiStretch);
    suiImagePanel2->setPicture(LoadStatusGradient());

    // What a screen reader calls the boxes and edits: the label beside each, or its group's caption.
    Label4->setBuddy(suiComboBox_Channel);
    Label5->setBuddy(suiEdit_Frequency);
    Label6->setBuddy(suiComboBox_RfBaudRate);
    Label7->setBuddy(suiComboBox_ComBaudRate);
    Label8->setBuddy(suiComboBox_ComVerify);
    Label14->setBuddy(suiComboBox_Power);
    suiEdit_GuestId->setAccessibleName(suiGroupBox5->Caption());
    CSpinButton_GuestId->setAccessibleName(suiGroupBox5->Caption());
    NameForScreenReaders(suiImagePanel3, suiImagePanel2);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kSearchIntervalMs);
    BindHandlers();
}

void TForm1::BuildButtonBar()
{
    suiImagePanel1 = new TsuiImagePanel(suiForm1);
    suiImagePanel1->setGeometry(0, 20, 411, 41);
    suiImagePanel1->setAlign(TsuiCustomPanel::alTop);
    suiImagePanel1->setColor(kSkyBlue);
    suiButton1 = MakeButton(suiImagePanel1, {16, 8, 80, 27}, QStringLiteral("Com Setting"));
    suiButton2 = MakeButton(suiImagePanel1, {114, 8, 80, 27}, QStringLiteral("Search"));
    suiButton3 = MakeButton(suiImagePanel1, {213, 8, 80, 27}, QStringLiteral("Stop"));
    suiButton4 = MakeButton(suiImagePanel1, {312, 8, 80, 27}, QStringLiteral("Exit"));
}

void TForm1::BuildPage()
{
    suiPageControl1 = new TsuiPageControl(suiForm1);
    suiPageControl1->setGeometry(0, 61, 411, 422);
    suiPageControl1->setUIStyle(MacOS);
    suiPageControl1->setTabPosition(suiTop);
    suiPageControl1->setLeftMargin(10);
    suiPageControl1->setBorderColor(kControlGrey);
    suiPageControl1->setColor(kButtonGrey);
    suiTabSheet1 = new TsuiTabSheet(suiPageControl1);
    suiTabSheet1->setCaption(QStringLiteral("Radio Parameters"));
    suiTabSheet1->setColor(kButtonGrey);
    suiPageControl1->setActivePage(suiTabSheet1);

    suiImagePanel3 = new TsuiImagePanel(suiTabSheet1);
    suiImagePanel3->setGeometry(0, 0, 405, 382);
    suiImagePanel3->setAlign(TsuiCustomPanel::alTop);
    suiImagePanel3->setDrawStyle(TsuiCustomPanel::suiNormal);
    suiImagePanel3->setPicture(LoadPageBackground(suiImagePanel3->size()));
}

// Channel and frequency, the air baud rate, the module's serial settings.
void TForm1::BuildRadioGroups(QWidget* page)
{
    suiGroupBox1 = MakeGroupBox(page, {16, 12, 313, 65}, QStringLiteral("Channel and Frequency"), kControlGrey);
    Label4 = MakePageLabel(suiGroupBox1, {16, 16, 41, 13}, QStringLiteral("Channel"));
    Label5 = MakePageLabel(suiGroupBox1, {16, 40, 41, 13}, QStringLiteral(" Frequency"));
    suiComboBox_Channel = MakePageComboBox(suiGroupBox1, {64, 13, 81, 21}, NumberItems(protocol::kHighestChannel));
    suiEdit_Frequency = MakeEdit(suiGroupBox1, {64, 40, 81, 17});
    suiEdit_Frequency->setReadOnly(true);
    suiButton_ChannelRead = MakeButton(suiGroupBox1, {152, 24, 65, 25}, QStringLiteral("Read"));
    suiButton_ChannelSet = MakeButton(suiGroupBox1, {232, 25, 65, 23}, QStringLiteral("Write"));

    suiGroupBox2 = MakeGroupBox(page, {16, 94, 313, 49}, QStringLiteral("RF and Rate"), kControlGrey);
    Label6 = MakePageLabel(suiGroupBox2, {8, 21, 49, 13}, QStringLiteral("Baud Rate"));
    suiComboBox_RfBaudRate = MakePageComboBox(suiGroupBox2, {64, 17, 81, 21}, BaudRateItems());
    suiButton_RfBaudRateRead = MakeButton(suiGroupBox2, {152, 16, 65, 23}, QStringLiteral("Read"));
    suiButton_RfBaudRateSet = MakeButton(suiGroupBox2, {232, 16, 65, 23}, QStringLiteral("Write"));

    suiGroupBox3 = MakeGroupBox(page, {16, 162, 313, 73}, QStringLiteral("Wireless COM Setting"), kControlGrey);
    Label7 = MakePageLabel(suiGroupBox3, {8, 21, 57, 13}, QStringLiteral("Baud Rate"));
    Label8 = MakePageLabel(suiGroupBox3, {8, 45, 49, 13}, QStringLiteral("Verify"));
    suiComboBox_ComBaudRate = MakePageComboBox(suiGroupBox3, {64, 17, 81, 21}, BaudRateItems());
    suiComboBox_ComVerify = MakePageComboBox(suiGroupBox3, {64, 41, 81, 21}, ParityItems());
    suiButton_ComBaudRateRead = MakeButton(suiGroupBox3, {152, 24, 65, 23}, QStringLiteral("Read"));
    suiButton_ComBaudRateSet = MakeButton(suiGroupBox3, {232, 24, 65, 23}, QStringLiteral("Write"));
}

void TForm1::BuildIdAndPowerGroups(QWidget* page)
{
    suiGroupBox5 = MakeGroupBox(page, {16, 253, 313, 49}, QStringLiteral("Factory ID(1-65536)"), kBlack);
    suiEdit_GuestId = MakeEdit(suiGroupBox5, {61, 18, 68, 23});
    suiEdit_GuestId->setText(QStringLiteral("00000"));
    suiEdit_GuestId->setMaxLength(5);
    CSpinButton_GuestId = new TCSpinButton(suiGroupBox5);
    CSpinButton_GuestId->SetBounds(129, 12, 15, 33);
    suiEdit_GuestId->installEventFilter(this);
    suiButton_ReadGuestId = MakeButton(suiGroupBox5, {152, 17, 65, 23}, QStringLiteral("Read"));
    suiButton_WriteGuestId = MakeButton(suiGroupBox5, {232, 17, 65, 23}, QStringLiteral("Write"));

    suiGroupBox6 = MakeGroupBox(page, {16, 322, 313, 49}, QStringLiteral("Launch  Power"), kBlack);
    Label14 = MakePageLabel(suiGroupBox6, {8, 22, 49, 13}, QStringLiteral("Level"));
    suiComboBox_Power = MakePageComboBox(suiGroupBox6, {61, 18, 73, 21}, NumberItems(protocol::kHighestPower));
    suiButton_ReadPower = MakeButton(suiGroupBox6, {152, 17, 65, 23}, QStringLiteral("Read"));
    suiButton_ReadPower->setEnabled(false);
    suiButton_WritePower = MakeButton(suiGroupBox6, {232, 17, 65, 23}, QStringLiteral("Write"));
}

void TForm1::BindHandlers()
{
    Bind(this, suiButton1, &TsuiButton::OnClick, &TForm1::suiButton1Click);
    Bind(this, suiButton2, &TsuiButton::OnClick, &TForm1::suiButton2Click);
    Bind(this, suiButton3, &TsuiButton::OnClick, &TForm1::suiButton3Click);
    Bind(this, suiButton4, &TsuiButton::OnClick, &TForm1::suiButton4Click);
    Bind(this, Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    Bind(this, suiComboBox_Channel, &QComboBox::activated, &TForm1::suiComboBox_ChannelChange);
    Bind(this, suiButton_ChannelRead, &TsuiButton::OnClick, &TForm1::suiButton_ChannelReadClick);
    Bind(this, suiButton_ChannelSet, &TsuiButton::OnClick, &TForm1::suiButton_ChannelSetClick);
    Bind(this, suiButton_RfBaudRateRead, &TsuiButton::OnClick, &TForm1::suiButton_RfBaudRateReadClick);
    Bind(this, suiButton_RfBaudRateSet, &TsuiButton::OnClick, &TForm1::suiButton_RfBaudRateSetClick);
    Bind(this, suiButton_ComBaudRateRead, &TsuiButton::OnClick, &TForm1::suiButton_ComBaudRateReadClick);
    Bind(this, suiButton_ComBaudRateSet, &TsuiButton::OnClick, &TForm1::suiButton_ComBaudRateSetClick);
    Bind(this, suiButton_ReadGuestId, &TsuiButton::OnClick, &TForm1::suiButton_ReadGuestIdClick);
    Bind(this, suiButton_WriteGuestId, &TsuiButton::OnClick, &TForm1::suiButton_WriteGuestIdClick);
    Bind(this, suiButton_WritePower, &TsuiButton::OnClick, &TForm1::suiButton_WritePowerClick);
    Bind(this, CSpinButton_GuestId, &TCSpinButton::OnDownClick, &TForm1::CSpinButton_GuestIdDownClick);
    Bind(this, CSpinButton_GuestId, &TCSpinButton::OnUpClick, &TForm1::CSpinButton_GuestIdUpClick);
}
