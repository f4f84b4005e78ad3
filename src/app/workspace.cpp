#include "app/workspace.h"

#include "app/artwork.h"

#include "editor/planche.h"
#include "platform/services.h"

Workspace::Workspace(Services &services)
    : focusReturn(),
      mainForm(services),
      aboutBox(&mainForm),
      sheet(new TPlanche(services)),
      pageListe(&mainForm),
      fixchemin(&mainForm),
      findDialog(&mainForm),
      replaceDialog(&mainForm),
      runner(services, &mainForm),
      results(services, &runner),
      calendar(services, &mainForm),
      clock(services, &mainForm),
      calculator(services, &mainForm)
{
    sheet->setWindows({&pageListe, &fixchemin, &findDialog, &replaceDialog});
    mainForm.setAboutBox(&aboutBox);
    mainForm.setSheet(sheet);
    mainForm.setCalendar(&calendar);
    mainForm.setClockWindow(&clock);
    mainForm.setCalculator(&calculator);
    sheet->setRunner(&runner);
    runner.setResultsWindow(&results);
    results.setQuestionnaireFile([this] { return mainForm.CurrentFileName(); });
    runner.setNavigationIcons({artworkIcon(QStringLiteral(":/toolbar/first.svg")),
                               artworkIcon(QStringLiteral(":/toolbar/previous.svg")),
                               artworkIcon(QStringLiteral(":/toolbar/next.svg")),
                               artworkIcon(QStringLiteral(":/toolbar/last.svg"))});
}
