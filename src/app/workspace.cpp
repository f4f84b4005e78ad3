#include "app/workspace.h"

#include "editor/planche.h"

Workspace::Workspace(MessageBoxes &boxes, FileDialogs &dialogs, const SystemClock &clock,
                     const PictureRegistry &pictures, FileDialogs &pictureDialogs)
    : mainForm(boxes, dialogs, clock), aboutBox(&mainForm), sheet(new TPlanche(boxes, pictures, pictureDialogs))
{
    mainForm.setAboutBox(&aboutBox);
    mainForm.setSheet(sheet);
}
