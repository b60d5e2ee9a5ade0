#pragma once
// For tests only: the windows' controls and search state, which are private to the windows.

#include "ui/Formmain.h"
#include "ui/Unit2.h"

struct WindowTestAccess {
    static TForm1Controls& Controls(TForm1& form) { return form; }
    static TForm2Controls& Controls(TForm2& dialog) { return dialog; }
    static bool& SearchWrapped(TForm1& form) { return form.searchWrapped; }
    static bool PortListPending(const TForm1& form) { return form.portListPending; }
    static unsigned RecvMessageId(const TForm1& form) { return form.recvMessageId; }
};
