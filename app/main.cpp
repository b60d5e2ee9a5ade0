// The program: the application object, the main window, the hidden port dialog, the event loop.

#include "app/Application.h"
#include "platform/MessageBox.h"
#include "skin/JpegImage.h"
#include "skin/Suititlebar.h"
#include "ui/Fonts.h"
#include "ui/Formmain.h"
#include "ui/Unit2.h"

#include <QIcon>

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    try {
        InitSkinResources();
        app.setWindowIcon(QIcon(QStringLiteral(":/icon/orvane.png")));
        RegisterFontSubstitutions();
        SetSuiErrorBoxHook([](QWidget* parent, const QString& text, const QString& title) {
            platform::ShowMessageBox(parent, text, title, QMessageBox::Critical);
        });
        // The dialog is destroyed before the main window, whose serial object then closes an open
        // port and stops its reader.
        TForm1 form1;
        TForm2 form2(form1);
        form1.show();
        app.exec();
    } catch (...) {
        app.ShowException(std::current_exception());
    }
    return 0;
}
