#include "platform/systemprinting.h"

#include "platform/programmodule.h"

const SystemPrinting &loadSystemPrinting()
{
    return ProgramModule(QStringLiteral(NELO_SYSTEM_PRINTING_FILE),
                         QCoreApplication::translate("SystemPrinting", "L'impression"))
        .load<SystemPrinting>();
}
