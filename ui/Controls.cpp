#include "ui/Controls.h"

#include "protocol/ModuleFrame.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiform.h"
#include "ui/Fonts.h"
#include "ui/LabelFits.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QStyledItemDelegate>

namespace {

constexpr int kListItemHeight = 13;

// The dropped-down list's rows: 13 pixels high, the row under the mouse drawn as the selected row
// and nothing more (no hover or focus outline of its own).
class ListRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kListItemHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem row(option);
        row.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
        QStyledItemDelegate::paint(painter, row, index);
    }
};

}  // namespace

TsuiForm* MakeWindowFrame(QWidget* window, const QSize& clientSize)
{
    auto* frame = new TsuiForm(window);
    frame->setUIStyle(Protein);
    frame->setCaption(window->windowTitle());
    frame->setBorderColor(kBlack);
    frame->setBorderWidth(1);
    frame->setColor(0xFBFBFB);
    frame->setTitleBarFont(TitleFont());
    frame->setTitleBarDrawAppIcon(true);
    // A fixed dialog border has neither a minimise nor a maximise box.
    frame->setTitleBarButtons({suiControlBox, suiClose});
    frame->SetClientSize(clientSize);
    window->setFixedSize(window->size());
    return frame;
}

TsuiButton* MakeButton(QWidget* parent, const QRect& r, const QString& caption)
{
    auto* b = new TsuiButton(parent);
    b->setUIStyle(Protein);
    b->setFont(DialogFont());
    b->setFontColor(kBlack);
    b->setTransparent(false);
    b->setCaption(caption);
    b->setGeometry(r);
    return b;
}

TsuiComboBox* MakeComboBox(QWidget* parent, const QRect& r, const QStringList& items)
{
    auto* c = new TsuiComboBox(parent, TsuiCustomComboBox::csDropDownList);
    c->setUIStyle(MacOS);
    c->setBorderColor(kControlGrey);
    c->setArrowColor(kControlGrey);
    c->setButtonColor(kButtonGrey);
    c->setItemDelegate(new ListRowDelegate(c));
    c->addItems(items);
    c->setCurrentIndex(-1);
    c->setGeometry(r);
    return c;
}

QLabel* MakeLabel(QWidget* parent, const QRect& r, const QString& text, const QFont& font)
{
    auto* l = new QLabel(text, parent);
    l->setAttribute(Qt::WA_TranslucentBackground);
    l->setFont(ProgramLabelFits().Fit(font, text, r.size()));
    l->setGeometry(r);
    return l;
}

QStringList BaudRateItems()
{
    QStringList items;
    for (int rate : protocol::kBaudRates)
        items << QString::number(rate);
    return items;
}

QStringList ParityItems()
{
    QStringList items;
    for (const char* name : protocol::kParityNames)
        items << QString::fromLatin1(name);
    return items;
}

void ShowBox(QWidget* parent, const QString& text, const QString& title)
{
    platform::ShowMessageBox(parent, text, title, QMessageBox::NoIcon);
}
