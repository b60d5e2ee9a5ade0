// Both windows as a person sees them: every text whole in its box in every style.

#include "support/UiTestKit.h"

#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiform.h"
#include "skin/Suigroupbox.h"
#include "skin/Suititlebar.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionViewItem>

#include <gtest/gtest.h>

using uitest::Windows;

namespace {

constexpr TsuiUIStyle kBuiltIn[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

// Every skinned control of the window, the frame included, takes the style.
void ApplyStyle(QWidget* window, TsuiUIStyle style)
{
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->metaObject()->indexOfProperty("UIStyle") >= 0 && !w->inherits("TsuiTitleBar"))
            w->setProperty("UIStyle", QVariant::fromValue(style));
}

// Each text must be drawn no wider than its box, with all its ink inside it, and no sibling may
// lie over a label's text.
void ExpectTextsFit(QWidget* window)
{
    for (QLabel* l : window->findChildren<QLabel*>()) {
        SCOPED_TRACE(l->text().toStdString());
        // Where the label puts its line (left, centred vertically) and the ink of the text in it.
        const QFontMetrics fm(l->font());
        const int baseline = (l->height() - fm.height()) / 2 + fm.ascent();
        const QRect ink = fm.tightBoundingRect(l->text()).translated(0, baseline);
        EXPECT_LE(fm.horizontalAdvance(l->text()), l->width());
        EXPECT_GE(ink.top(), 0);
        EXPECT_LT(ink.bottom(), l->height());
        const QRect text(l->pos(), QSize(fm.horizontalAdvance(l->text()), l->height()));
        for (QWidget* sibling : l->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (sibling != l && sibling->isVisibleTo(window)) {
                EXPECT_FALSE(sibling->geometry().intersects(text)) << sibling->metaObject()->className();
            }
        }
    }
    for (TsuiCustomButton* b : window->findChildren<TsuiCustomButton*>()) {
        SCOPED_TRACE(b->Caption().toStdString());
        const QFontMetrics fm(b->font());
        EXPECT_LE(fm.horizontalAdvance(b->Caption()), b->width() - 6);
        EXPECT_LE(fm.height(), b->height() - 4);
    }
    for (TsuiCustomGroupBox* g : window->findChildren<TsuiCustomGroupBox*>()) {
        SCOPED_TRACE(g->Caption().toStdString());
        EXPECT_LE(QFontMetrics(g->font()).horizontalAdvance(g->Caption()), g->width() - 12);
    }
    for (TsuiComboBox* c : window->findChildren<TsuiComboBox*>())
        for (int i = 0; i < c->count(); ++i) {
            SCOPED_TRACE(c->itemText(i).toStdString());
            // The drop-down button takes 16 pixels and the text keeps 2 from each side.
            EXPECT_LE(QFontMetrics(c->font()).horizontalAdvance(c->itemText(i)), c->width() - 16 - 6);
        }
    for (TsuiTitleBar* bar : window->findChildren<TsuiTitleBar*>()) {
        const TsuiTitleBar::Layout layout = bar->ComputeLayout();
        EXPECT_EQ(bar->CutCaption(bar->Caption(), layout.captionRight - layout.captionX), bar->Caption());
    }
}

TEST(Look, EveryTextFitsItsBoxInEveryStyle)
{
    Windows w;
    for (TsuiUIStyle style : kBuiltIn) {
        SCOPED_TRACE(int(style));
        ApplyStyle(&w.form1, style);
        ApplyStyle(&w.form2, style);
        ExpectTextsFit(&w.form1);
        ExpectTextsFit(&w.form2);
    }
}

TEST(Look, LongStatusLineIsNarrowedToStayWhole)
{
    Windows w;
    w.form1.SetPortStatus(QStringLiteral("Open Com Succeed:COM12,115200,Even"));
    w.form1.SetActionStatus(QStringLiteral("Read the module serial port parameters Success!"));
    QWidget* line = w.main.suiImagePanel2;
    EXPECT_LE(QFontMetrics(line->font()).horizontalAdvance(w.form1.StatusText()), line->width());
}

// Every drop-down list of both windows: rows 13 pixels high, and the row under the mouse drawn as
// the selected row and nothing more.
TEST(Look, DropDownRowsAre13PixelsHighWithoutAHoverOutline)
{
    Windows w;
    w.ComSetting();
    // The dialog is the main window's child: its three boxes come with the main window's five.
    const QList<TsuiComboBox*> boxes = w.form1.findChildren<TsuiComboBox*>();
    ASSERT_EQ(boxes.size(), 8);
    for (TsuiComboBox* box : boxes) {
        SCOPED_TRACE(box->accessibleName().toStdString() + " " + box->itemText(0).toStdString());
        if (box->count() == 0) continue;  // the port list, with no port present
        QAbstractItemView* view = box->view();
        const QModelIndex first = box->model()->index(0, 0);
        box->showPopup();
        EXPECT_EQ(view->visualRect(first).height(), 13);
        box->hidePopup();

        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = QRect(0, 0, 120, 13);
        option.font = box->font();
        option.state |= QStyle::State_Selected | QStyle::State_Enabled;
        const auto row = [&](QStyle::State extra) {
            QImage image(option.rect.size(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QStyleOptionViewItem o(option);
            o.state |= extra;
            view->itemDelegate()->paint(&painter, o, first);
            return image;
        };
        EXPECT_EQ(row(QStyle::State_MouseOver | QStyle::State_HasFocus), row({}));
    }
}

}  // namespace
