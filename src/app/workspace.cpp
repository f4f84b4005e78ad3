#include "app/workspace.h"

#include "editor/planche.h"
#include "platform/services.h"

Workspace::Workspace(Services &services)
    : mainForm(services), aboutBox(&mainForm), sheet(new TPlanche(services)), calendar(services, &mainForm),
      clock(services, &mainForm)
{
    mainForm.setAboutBox(&aboutBox);
    mainForm.setSheet(sheet);
    mainForm.setCalendar(&calendar);
    mainForm.setClockWindow(&clock);
}
