#include "app/workspace.h"

#include "editor/planche.h"
#include "platform/services.h"

Workspace::Workspace(Services &services)
    : mainForm(services), aboutBox(&mainForm), sheet(new TPlanche(services)),
      calculator(services, &mainForm)
{
    mainForm.setAboutBox(&aboutBox);
    mainForm.setSheet(sheet);
    mainForm.setCalculator(&calculator);
}
