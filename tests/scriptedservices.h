#pragma once

#include "pictures/pictureregistry.h"
#include "platform/printdialogs.h"
#include "platform/scriptedfiledialogs.h"
#include "platform/scriptedmessageboxes.h"
#include "platform/scriptedprogress.h"
#include "platform/services.h"
#include "platform/systemclock.h"

#include <QDateTime>

// The services the program's windows see in the tests: scripted message boxes, file and print
// dialogs, a clock that never touches the machine's own, and a picture registry that holds only
// the formats a test registers.
struct ScriptedServices
{
    explicit ScriptedServices(const QDateTime &now = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 7))) : clock(now) {}
    ScriptedServices(const ScriptedServices &) = delete;
    ScriptedServices &operator=(const ScriptedServices &) = delete;

    ScriptedMessageBoxes boxes;
    ScriptedPrintDialogs printing{boxes};
    ScriptedFileDialogs dialogs;
    ScriptedFileDialogs pictureDialogs;
    FixedClock clock;
    PictureRegistry pictures;
    ScriptedProgress progress;
    Services services{boxes, dialogs, pictureDialogs, clock, pictures, printing, progress};
};
