#pragma once

#include "pictures/picturechoicedialog.h"
#include "pictures/pictureregistry.h"
#include "platform/qtfiledialogs.h"
#include "platform/printdialogs.h"
#include "platform/qtmessageboxes.h"
#include "platform/qtprogress.h"
#include "platform/systemclock.h"

// Every picture format the program reads, in registration order: JPEG, GIF, PCX, then the web
// formats after the registry's own. screenDepth as below.
void registerPictureFormats(PictureRegistry &registry, int screenDepth);

// The program's process-wide services, made once by main() and handed to the windows by
// reference: real message boxes and file dialogs, the system clock, the picture formats.
struct DesktopServices
{
    // screenDepth: bits per pixel of the screen, read once at start-up (JPEG decoding needs it).
    explicit DesktopServices(int screenDepth);
    ~DesktopServices();
    DesktopServices(const DesktopServices &) = delete;
    DesktopServices &operator=(const DesktopServices &) = delete;

    QtMessageBoxes boxes;
    QtFileDialogs dialogs;
    SystemClock clock;
    PictureRegistry pictures;
    PictureFileDialogs pictureDialogs;
    QtPrintDialogs printDialogs{boxes};
    QtProgress progress;
};
