// Both windows as a screen reader meets them: every control with its role, name, label and
// state, and a press that opens the port dialog returning before the dialog closes.

#include "support/UiTestKit.h"

#include "skin/Suibutton.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

using uitest::Windows;

namespace {

using R = QAccessible::Role;

// One node of a window's tree. States: F focusable, D disabled, R read-only, I invisible, P pressable.
struct Node {
    int depth;
    R role;
    QString name;
    QString label;  // the label that names it through a relation (the boxes and edits)
    QString states;
};

struct Expected {
    int depth;
    R role;
    const char* name;  // null: not checked
    const char* label;
    const char* states;
};

QString States(QAccessibleInterface* node)
{
    const QAccessible::State s = node->state();
    QString out;
    if (s.focusable) out += QLatin1Char('F');
    if (s.disabled) out += QLatin1Char('D');
    if (s.readOnly && node->role() != R::StaticText) out += QLatin1Char('R');
    if (s.invisible) out += QLatin1Char('I');
    QAccessibleActionInterface* actions = node->actionInterface();
    if (node->role() == R::Button && actions && actions->actionNames().contains(actions->pressAction()))
        out += QLatin1Char('P');
    return out;
}

// The tree in reading order; a drop-down list's items are the toolkit's and are left out.
void Walk(QAccessibleInterface* node, int depth, std::vector<Node>& out)
{
    ASSERT_NE(node, nullptr);
    const auto labels = node->relations(QAccessible::Label);
    out.push_back({depth, node->role(), node->text(QAccessible::Name).trimmed(),
                   labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name).trimmed(),
                   States(node)});
    if (node->role() == R::ComboBox) return;
    for (int i = 0; i < node->childCount(); ++i)
        Walk(node->child(i), depth + 1, out);
}

std::vector<Node> Tree(QWidget* window)
{
    std::vector<Node> out;
    Walk(QAccessible::queryAccessibleInterface(window), 0, out);
    return out;
}

void ExpectTree(const std::vector<Node>& found, const std::vector<Expected>& expected)
{
    ASSERT_EQ(found.size(), expected.size());
    for (size_t i = 0; i < found.size(); ++i) {
        const Expected& e = expected[i];
        SCOPED_TRACE(testing::Message() << "node " << i << " " << found[i].name.toStdString());
        EXPECT_EQ(found[i].depth, e.depth);
        EXPECT_EQ(found[i].role, e.role);
        if (e.name) {
            EXPECT_EQ(found[i].name, QString::fromUtf8(e.name));
        }
        EXPECT_EQ(found[i].label, QString::fromUtf8(e.label));
        EXPECT_EQ(found[i].states, QString::fromLatin1(e.states));
    }
}

const std::vector<Expected> kMainWindow = {
    {0, R::Client, "Orvane V1.00.05 2012-11-7 Support Com10", "", ""},
    {1, R::Client, "", "", ""},
    {2, R::TitleBar, "Orvane V1.00.05 2012-11-7 Support Com10", "", ""},
    {3, R::Button, "Window menu", "", "P"},
    {3, R::Button, "Close", "", "P"},
    {2, R::Pane, "", "", ""},
    {3, R::Button, "Com Setting", "", "FP"},
    {3, R::Button, "Search", "", "FP"},
    {3, R::Button, "Stop", "", "FP"},
    {3, R::Button, "Exit", "", "FP"},
    {2, R::Client, "", "", ""},
    {3, R::PageTabList, "Radio Parameters", "", "F"},
    {3, R::PageTab, "Radio Parameters", "", ""},
    {4, R::Pane, "", "", ""},
    {5, R::Grouping, "Channel and Frequency", "", ""},
    {6, R::StaticText, "Channel", "", ""},
    {6, R::StaticText, "Frequency", "", ""},
    {6, R::ComboBox, "Channel", "Channel", "F"},
    {6, R::EditableText, "Frequency", "Frequency", "FR"},
    {6, R::Button, "Read Channel and Frequency", "", "FP"},
    {6, R::Button, "Write Channel and Frequency", "", "FP"},
    {5, R::Grouping, "RF and Rate", "", ""},
    {6, R::StaticText, "Baud Rate", "", ""},
    {6, R::ComboBox, "Baud Rate", "Baud Rate", "F"},
    {6, R::Button, "Read RF and Rate", "", "FP"},
    {6, R::Button, "Write RF and Rate", "", "FP"},
    {5, R::Grouping, "Wireless COM Setting", "", ""},
    {6, R::StaticText, "Baud Rate", "", ""},
    {6, R::StaticText, "Verify", "", ""},
    {6, R::ComboBox, "Baud Rate", "Baud Rate", "F"},
    {6, R::ComboBox, "Verify", "Verify", "F"},
    {6, R::Button, "Read Wireless COM Setting", "", "FP"},
    {6, R::Button, "Write Wireless COM Setting", "", "FP"},
    {5, R::Grouping, "Factory ID(1-65536)", "", ""},
    {6, R::EditableText, "Factory ID(1-65536)", "", "F"},
    {6, R::Client, "Factory ID(1-65536)", "", ""},
    {7, R::Button, "Up", "", "P"},
    {7, R::Button, "Down", "", "P"},
    {6, R::Button, "Read Factory ID(1-65536)", "", "FP"},
    {6, R::Button, "Write Factory ID(1-65536)", "", "FP"},
    {5, R::Grouping, "Launch  Power", "", ""},
    {6, R::StaticText, "Level", "", ""},
    {6, R::ComboBox, "Level", "Level", "F"},
    {6, R::Button, "Read Launch Power", "", "FDP"},
    {6, R::Button, "Write Launch Power", "", "FP"},
    {2, R::StatusBar, "Status", "", ""},
};

// The port dialog as it shows: the boxes are named by what they show (the port box by the ports
// this machine has) and labelled by the text beside them.
const std::vector<Expected> kPortDialog = {
    {0, R::Dialog, "Com Setting", "", ""},   {1, R::Client, "", "", ""},
    {2, R::TitleBar, "Com Setting", "", ""}, {3, R::Button, "Window menu", "", "P"},
    {3, R::Button, "Close", "", "P"},        {2, R::StaticText, "Com", "", ""},
    {2, R::StaticText, "Baud Rate", "", ""}, {2, R::StaticText, "Verify", "", ""},
    {2, R::ComboBox, nullptr, "Com", "F"},   {2, R::ComboBox, "9600", "Baud Rate", "F"},
    {2, R::ComboBox, "No", "Verify", "F"},   {2, R::Button, "Open", "", "FP"},
    {2, R::Button, "Close", "", "FDP"},  // no port is open
    {2, R::Button, "Cancel", "", "FP"},
};

TEST(Accessibility, MainWindowReadsRightToAScreenReader)
{
    Windows w;
    w.form1.show();
    ExpectTree(Tree(&w.form1), kMainWindow);

    // The status line reads by its message once it has one.
    w.form1.SetActionStatus(QStringLiteral("Scan Radio Success!"));
    const std::vector<Node> tree = Tree(&w.form1);
    EXPECT_EQ(tree.back().role, R::StatusBar);
    EXPECT_EQ(tree.back().name, w.form1.StatusText().trimmed());

    // The keyboard reaches every enabled button, box and edit with Tab.
    for (QWidget* c : w.form1.findChildren<QWidget*>()) {
        if ((qobject_cast<TsuiCustomButton*>(c) || qobject_cast<QComboBox*>(c) || qobject_cast<QLineEdit*>(c))
            && c->isEnabled() && c->focusProxy() == nullptr && c->window() == &w.form1) {
            EXPECT_TRUE(c->focusPolicy() & Qt::TabFocus) << c->metaObject()->className();
        }
    }
}

// A screen reader's press returns at once; the dialog opens after it, in its own modal loop.
TEST(Accessibility, PressingComSettingReturnsBeforeTheDialogCloses)
{
    Windows w;
    w.form1.show();
    QAccessibleInterface* comSetting = nullptr;
    for (QWidget* b : w.form1.findChildren<TsuiCustomButton*>()) {
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(b);
        if (node->text(QAccessible::Name) == QLatin1String("Com Setting")) comSetting = node;
    }
    ASSERT_NE(comSetting, nullptr);
    ASSERT_NE(comSetting->actionInterface(), nullptr);

    bool returned = false;
    bool shown = false;
    bool returnedBeforeShown = false;
    std::vector<Node> dialog;
    // Closes the dialog once it shows, also when the press itself is still waiting for it.
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!w.form2.isVisible()) return;
        closer.stop();
        shown = true;
        returnedBeforeShown = returned;
        dialog = Tree(&w.form2);
        w.form2.reject();
    });
    closer.start();
    comSetting->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    returned = true;
    ASSERT_TRUE(uitest::WaitUntil([&] { return shown && !w.form2.isVisible(); }));
    EXPECT_TRUE(returnedBeforeShown);
    ExpectTree(dialog, kPortDialog);
}

}  // namespace
