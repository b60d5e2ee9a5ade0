#include "UiTestKit.h"

#include "skin/JpegImage.h"
#include "skin/Suicombobox.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace uitest {

namespace {

int g_argc = 1;
char g_name[] = "orvane";
char* g_argv[] = {g_name, nullptr};

QTemporaryDir* g_configHome = nullptr;

class UiEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_configHome = new QTemporaryDir;
        setenv("XDG_CONFIG_HOME", g_configHome->path().toLocal8Bit().constData(), 1);
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
        new QApplication(g_argc, g_argv);
        InitSkinResources();
        RegisterFontSubstitutions();
    }
    void TearDown() override
    {
        delete qApp;
        delete g_configHome;
    }
};

[[maybe_unused]] const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new UiEnvironment);

}  // namespace

std::string PortsDirectory() { return (g_configHome->path() + QStringLiteral("/orvane/ports")).toStdString(); }

Module::Module(modsim::PtyModuleOptions options)
{
    options.log = [this](const std::string& line) {
        // "<- AF AF ..." is a request read at matching line settings; "<- (ignored ...)" is not.
        if (line.rfind("<- ", 0) != 0) return;
        std::lock_guard guard(lock);
        ++requests;
        const bool matched = line.rfind("<- (", 0) != 0;
        const std::string hex = matched ? line.substr(3) : line.substr(line.find(") ") + 2);
        everything += " " + hex;
        if (matched) received += (received.empty() ? "" : " ") + hex;
    };
    pty = std::make_unique<modsim::PtyModule>(std::move(options));
    std::string error;
    if (!pty->Start(&error)) ADD_FAILURE() << "simulated module did not start: " << error;
}

Module::~Module() { pty->Stop(); }

std::string Module::Received() const
{
    std::lock_guard guard(lock);
    return received;
}

int Module::Count(const std::string& frame) const
{
    std::lock_guard guard(lock);
    int count = 0;
    for (auto at = everything.find(frame); at != std::string::npos; at = everything.find(frame, at + 1))
        ++count;
    return count;
}

int Module::RequestsSeen() const
{
    std::lock_guard guard(lock);
    return requests;
}

modsim::PtyModuleOptions ModuleAt(int port)
{
    modsim::PtyModuleOptions options;
    options.port = port;
    return options;
}

Windows::Windows() { form1.show(); }

void Windows::ComSetting()
{
    QTimer::singleShot(0, &form2, [this] { form2.reject(); });
    form1.suiButton1Click();
}

void Windows::OpenPort(int port, int baudItem, int parityItem)
{
    const int portItem = dialog.suiComboBox_ComPort->findText(QStringLiteral("COM%1").arg(port));
    ASSERT_GE(portItem, 0) << "COM" << port << " is not listed";
    form2.SelectItems(portItem, baudItem, parityItem);
    form2.suiButton_OpenClick();
}

QString Windows::Status(const QString& port, const QString& action)
{
    return QStringLiteral("   ") + port + QStringLiteral("    ") + action;
}

void Windows::Click(QWidget* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

QString Windows::LastBoxText() const { return boxes.boxes().empty() ? QString() : boxes.boxes().back().text; }

QString Windows::LastBoxTitle() const { return boxes.boxes().empty() ? QString() : boxes.boxes().back().title; }

}  // namespace uitest
