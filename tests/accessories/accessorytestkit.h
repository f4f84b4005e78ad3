#pragma once

#include "pictures/pictureregistry.h"
#include "platform/printdialogs.h"
#include "platform/scriptedfiledialogs.h"
#include "platform/scriptedmessageboxes.h"
#include "platform/services.h"
#include "platform/systemclock.h"

// The services an accessory window sees in the tests: scripted boxes and a scripted clock that
// never touches the machine's own.
struct AccessoryServices
{
    explicit AccessoryServices(const QDateTime &now) : clock(now) {}

    ScriptedMessageBoxes boxes;
    ScriptedPrintDialogs printing;
    ScriptedFileDialogs dialogs;
    FixedClock clock;
    PictureRegistry pictures;
    Services services{boxes, dialogs, dialogs, clock, pictures, printing};
};
