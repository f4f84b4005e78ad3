#pragma once

#include "platform/printdialogs.h"

#include <QtPlugin>

// What the nelo-system-printing module gives the program: Qt's print dialog and print preview
// on the system's printers. Plain values and the painter cross; no Qt Print Support type does.
class SystemPrinting
{
public:
    virtual ~SystemPrinting() = default;

    virtual PrintOutcome print(const PrintJob &job, const PrintDialogs::Painter &paint, QWidget *parent) const = 0;
    virtual PrintOutcome preview(const PrintJob &job, const PrintDialogs::Painter &paint, QWidget *parent) const = 0;
};

#define SystemPrinting_iid "org.example.NeloQcm.SystemPrinting/1.0"
Q_DECLARE_INTERFACE(SystemPrinting, SystemPrinting_iid)

// The module's printing, loaded the first time (beside the program, or in its private folder);
// throws AppError, in French, when there is none.
const SystemPrinting &loadSystemPrinting();
