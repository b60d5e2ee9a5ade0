// The skinned window frame: a framed window holding a page control, its window menu
// open under the icon, and beside it an inactive window whose caption is too long.
#include "tools/gallery/Sections.h"

#include "skin/Suiform.h"
#include "skin/Suipagecontrol.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>

#include <memory>

namespace {

const char* const kPages[] = {"Radio Parameters", "Channel", "Air Rate", "Serial", "Factory ID", "Power"};

std::unique_ptr<QWidget> MakeWindow(TsuiUIStyle style, const QString& caption, const QSize& client)
{
    auto host = std::make_unique<QWidget>();
    host->setWindowTitle(caption);
    host->setWindowIcon(QIcon(QStringLiteral(":/icon/orvane.png")));
    auto* form = new TsuiForm(host.get());
    form->setUIStyle(style);
    form->SetClientSize(client);
    // Like the program's windows: the icon and the close button only.
    form->setTitleBarButtons({suiControlBox, suiClose});
    return host;
}

void AddPageControl(TsuiUIStyle style, TsuiForm* form)
{
    const int top = form->TitleBar()->height();
    auto* control = new TsuiPageControl(form);
    control->setUIStyle(style);
    control->setGeometry(0, top, form->width(), form->height() - top);
    for (const char* caption : kPages) {
        auto* page = new TsuiTabSheet(control);
        page->setCaption(QString::fromLatin1(caption));
        auto* text = new QLabel(QStringLiteral("The %1 page").arg(page->Caption()), page);
        text->move(16, 16);
        text->adjustSize();
    }
    control->setActivePageIndex(0);
}

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// A window as the screen shows it: cut to its window region.
void DrawWindow(QPainter& p, QWidget* host, const QPoint& at)
{
    p.save();
    p.translate(at);
    if (!host->mask().isEmpty()) p.setClipRegion(host->mask());
    p.drawPixmap(0, 0, host->grab());
    p.restore();
}

}  // namespace

bool WriteFramePicture(TsuiUIStyle style, const QString& file)
{
    std::unique_ptr<QWidget> active
        = MakeWindow(style, QStringLiteral("Orvane V1.00.05 2012-11-7 Support Com10"), QSize(411, 260));
    auto* form = active->findChild<TsuiForm*>();
    AddPageControl(style, form);
    std::unique_ptr<QWidget> inactive
        = MakeWindow(style, QStringLiteral("Com Setting - a caption much longer than its title bar"), QSize(240, 120));

    const QPoint activeAt(16, 16);
    const QPoint inactiveAt(activeAt.x() + active->width() + 24, activeAt.y());
    inactive->move(inactiveAt);
    inactive->show();
    active->move(activeAt);
    active->show();
    QApplication::setActiveWindow(active.get());
    Settle();

    TsuiTitleBar* bar = form->TitleBar();
    TsuiTitleBarPopupMenu* menu = bar->WindowMenu();
    bar->PopupWindowMenu(bar->mapToGlobal(QPoint(0, bar->height())));
    menu->setActiveAction(menu->CloseItem());
    Settle();

    // As many pixels as the windows paint: twice the logical size at a device pixel ratio of 2.
    const qreal dpr = active->devicePixelRatioF();
    const QSize size(inactiveAt.x() + inactive->width() + 16, activeAt.y() + active->height() + 16);
    QImage shot(size * dpr, QImage::Format_RGB32);
    shot.setDevicePixelRatio(dpr);
    shot.fill(QColor(0x80, 0x90, 0xA0));
    {
        QPainter p(&shot);
        DrawWindow(p, active.get(), activeAt);
        DrawWindow(p, inactive.get(), inactiveAt);
        p.drawPixmap(menu->pos(), menu->grab());
    }
    menu->hide();
    return shot.save(file);
}
