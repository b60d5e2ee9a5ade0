#include "ui/Accessibility.h"

#include "skin/Suiaccessible.h"
#include "skin/Suibutton.h"
#include "skin/Suigroupbox.h"

void NameForScreenReaders(QWidget* page, TsuiCustomPanel* statusLine)
{
    for (TsuiCustomGroupBox* group : page->findChildren<TsuiCustomGroupBox*>()) {
        const QString caption = group->Caption().simplified();
        for (TsuiCustomButton* b : group->findChildren<TsuiCustomButton*>(Qt::FindDirectChildrenOnly))
            b->setAccessibleName(b->Caption() + QLatin1Char(' ') + caption);
    }
    MarkStatusLine(statusLine, QStringLiteral("Status"));
}
