#include "app/workspace.h"

#include "editor/planche.h"
#include "platform/services.h"

Workspace::Workspace(Services &services)
    : mainForm(services),
      aboutBox(&mainForm),
      sheet(new TPlanche(services)),
      pageListe(&mainForm),
      fixchemin(&mainForm),
      findDialog(&mainForm),
      replaceDialog(&mainForm)
{
    sheet->setWindows({&pageListe, &fixchemin, &findDialog, &replaceDialog});
    mainForm.setAboutBox(&aboutBox);
    mainForm.setSheet(sheet);
}
