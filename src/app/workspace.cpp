#include "app/workspace.h"

#include "app/artwork.h"

#include "editor/planche.h"
#include "platform/services.h"

Workspace::Workspace(Services &services)
    : focusReturn(), mainForm(services), aboutBox(&mainForm), sheet(new TPlanche(services)), runner(services, &mainForm),
      results(&runner), calendar(services, &mainForm), clock(services, &mainForm),
      calculator(services, &mainForm)
{
    mainForm.setAboutBox(&aboutBox);
    mainForm.setSheet(sheet);
    mainForm.setCalendar(&calendar);
    mainForm.setClockWindow(&clock);
    mainForm.setCalculator(&calculator);
    sheet->setRunner(&runner);
    runner.setResultsWindow(&results);
    runner.setNavigationIcons({artworkIcon(QStringLiteral(":/toolbar/first.svg")),
                               artworkIcon(QStringLiteral(":/toolbar/previous.svg")),
                               artworkIcon(QStringLiteral(":/toolbar/next.svg")),
                               artworkIcon(QStringLiteral(":/toolbar/last.svg"))});
}
