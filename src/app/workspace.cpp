#include "app/workspace.h"

#include "editor/planche.h"
#include "platform/services.h"

Workspace::Workspace(Services &services)
    : mainForm(services), aboutBox(&mainForm), sheet(new TPlanche(services))
{
    mainForm.setAboutBox(&aboutBox);
    mainForm.setSheet(sheet);
}
