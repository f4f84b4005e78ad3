#pragma once

#include "platform/systemprinting.h"

#include <QObject>

// The nelo-system-printing module: Qt's print dialog and print preview, with Qt Print Support.
class SystemPrintingPlugin : public QObject, public SystemPrinting
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SystemPrinting_iid)
    Q_INTERFACES(SystemPrinting)

public:
    PrintOutcome print(const PrintJob &job, const PrintDialogs::Painter &paint, QWidget *parent) const override;
    PrintOutcome preview(const PrintJob &job, const PrintDialogs::Painter &paint, QWidget *parent) const override;
};
