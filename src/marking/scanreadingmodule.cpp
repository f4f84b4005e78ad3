#include "marking/scanreadingmodule.h"

#include "platform/programmodule.h"

const ScanReading &loadScanReading()
{
    return ProgramModule(QStringLiteral(NELO_SCAN_READING_FILE),
                         QCoreApplication::translate("ScanReading", "La lecture des copies scannées"))
        .load<ScanReading>();
}
