// The second yardstick for start-up: the main window's controls and texts built from plain Qt widgets in
// the default style and font, at the same places: four buttons in a row, a page with five group boxes of
// labels, combo boxes, edits and Read/Write buttons, a spin box, and a status bar.
#include "protocol/ModuleValues.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QWidget>

namespace {

QStringList Numbers(int last)
{
    QStringList items;
    for (int i = 1; i <= last; ++i)
        items << QString::number(i);
    return items;
}

QStringList BaudRates()
{
    QStringList items;
    for (int rate : protocol::kBaudRates)
        items << QString::number(rate);
    return items;
}

QStringList Parities()
{
    QStringList items;
    for (const char* name : protocol::kParityNames)
        items << QString::fromLatin1(name);
    return items;
}

template <class W> W* Place(W* widget, const QRect& r)
{
    widget->setGeometry(r);
    return widget;
}

void Label(QWidget* parent, const QRect& r, const char* text)
{
    Place(new QLabel(QString::fromLatin1(text), parent), r);
}

void Combo(QWidget* parent, const QRect& r, const QStringList& items)
{
    auto* c = Place(new QComboBox(parent), r);
    c->addItems(items);
    c->setCurrentIndex(-1);
}

// A group box with its Read and Write buttons on the right.
QGroupBox* Group(QWidget* page, const QRect& r, const char* caption, int buttonsY)
{
    auto* g = Place(new QGroupBox(QString::fromLatin1(caption), page), r);
    Place(new QPushButton(QStringLiteral("Read"), g), {152, buttonsY, 65, 23});
    Place(new QPushButton(QStringLiteral("Write"), g), {232, buttonsY, 65, 23});
    return g;
}

void BuildPage(QWidget* page)
{
    QGroupBox* g = Group(page, {16, 12, 313, 65}, "Channel and Frequency", 24);
    Label(g, {16, 16, 41, 13}, "Channel");
    Label(g, {16, 40, 41, 13}, " Frequency");
    Combo(g, {64, 13, 81, 21}, Numbers(protocol::kHighestChannel));
    Place(new QLineEdit(g), {64, 40, 81, 17})->setReadOnly(true);

    g = Group(page, {16, 94, 313, 49}, "RF and Rate", 16);
    Label(g, {8, 21, 49, 13}, "Baud Rate");
    Combo(g, {64, 17, 81, 21}, BaudRates());

    g = Group(page, {16, 162, 313, 73}, "Wireless COM Setting", 24);
    Label(g, {8, 21, 57, 13}, "Baud Rate");
    Label(g, {8, 45, 49, 13}, "Verify");
    Combo(g, {64, 17, 81, 21}, BaudRates());
    Combo(g, {64, 41, 81, 21}, Parities());

    g = Group(page, {16, 253, 313, 49}, "Factory ID(1-65536)", 17);
    Place(new QLineEdit(QStringLiteral("00000"), g), {61, 18, 68, 23})->setMaxLength(5);
    Place(new QSpinBox(g), {129, 12, 15, 33});

    g = Group(page, {16, 322, 313, 49}, "Launch  Power", 17);
    Label(g, {8, 22, 49, 13}, "Level");
    Combo(g, {61, 18, 73, 21}, Numbers(protocol::kHighestPower));
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Orvane V1.00.05 2012-11-7 Support Com10"));
    window.resize(411, 512);
    const char* captions[] = {"Com Setting", "Search", "Stop", "Exit"};
    for (int i = 0; i < 4; ++i)
        Place(new QPushButton(QString::fromLatin1(captions[i]), &window), {16 + 99 * i, 8, 80, 27});
    auto* tabs = Place(new QTabWidget(&window), {0, 41, 411, 422});
    auto* page = new QWidget;
    tabs->addTab(page, QStringLiteral("Radio Parameters"));
    BuildPage(page);
    Place(new QStatusBar(&window), {0, 484, 411, 28})->showMessage(QStringLiteral("   "));
    window.show();
    return app.exec();
}
