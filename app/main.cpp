// The program: the application object, the main window, the hidden port dialog, the event loop.

#include "app/Application.h"
#include "skin/JpegImage.h"
#include "ui/Fonts.h"
#include "ui/Formmain.h"
#include "ui/LabelFits.h"
#include "ui/Unit2.h"

#include "OrvaneVersion.h"
#include "StandardStreams.h"
#include "Values.h"

#include <QIcon>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr const char* kHelp
    = "usage: orvane [--help] [--version] [Qt options]\n"
      "\n"
      "Reads and writes the settings of a serial-attached 433/490 MHz radio module. Pick the port in\n"
      "\"Com Setting\"; \"Search\" finds a module whose serial settings are unknown. COM names map to\n"
      "devices through $XDG_CONFIG_HOME/orvane/ports/comN links (see orvane(1)).\n"
      "\n"
      "  -h, --help      print this text and exit\n"
      "  -V, --version   print the version and exit\n"
      "\n"
      "Qt's own options work too (for example -platform offscreen). The window takes no port or\n"
      "file: any other argument is refused with exit code 2.\n";

}  // namespace

int main(int argc, char* argv[])
{
    // These two answer on standard output and end before the toolkit or any window starts, so that
    // they work without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version" || arg == "-V")
            return cmdline::PrintAndClose("orvane", std::string("orvane ") + kOrvaneVersion + "\n");
        if (arg == "--help" || arg == "-h") return cmdline::PrintAndClose("orvane", kHelp);
    }
    Application app(argc, argv);
    // Qt has taken its own options out of argv; the window takes no others, and no port: that is
    // picked in the dialog.
    if (argc > 1) {
        const std::string_view arg = argv[1];
        const std::string shown = "'" + cmdline::Printable(arg) + "'";
        const std::string message = arg.starts_with('-')
            ? "unknown option " + shown
            : "takes no port or file, not " + shown + "; pick the port in \"Com Setting\"";
        std::fprintf(stderr, "orvane: %s\nusage: orvane [--help] [--version] [Qt options]\n", message.c_str());
        return 2;
    }
    try {
        InitSkinResources();
        app.setWindowIcon(QIcon(QStringLiteral(":/icon/orvane.png")));
        // Ties the window to the installed menu entry, whose icon a Wayland desktop then shows.
        QGuiApplication::setDesktopFileName(QStringLiteral("io.github.orvane.Orvane"));
        QCoreApplication::setApplicationVersion(QString::fromLatin1(kOrvaneVersion));
        RegisterFontSubstitutions();
        // The dialog is destroyed before the main window, whose serial object then closes an open
        // port and stops its reader.
        TForm1 form1;
        TForm2 form2(form1);
        form1.show();
        // Only after a first start, or a change of fonts, is there anything to write.
        ProgramLabelFits().Save();
        app.exec();
    } catch (...) {
        app.ShowException(std::current_exception());
    }
    return 0;
}
