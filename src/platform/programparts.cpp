#include "platform/programparts.h"

#include <QDir>
#include <QFileInfo>

QString locateProgramPart(const QString &programFolder, const QString &fileName, ProgramPart kind)
{
    // NELO_PRIVATE_FOLDER: the private folder seen from the installed program's folder.
    const QDir program(programFolder);
    for (const QString &candidate :
         {program.filePath(fileName), program.filePath(QStringLiteral(NELO_PRIVATE_FOLDER "/") + fileName)}) {
        const QFileInfo file(candidate);
        if (file.isFile() && (kind == ProgramPart::Module || file.isExecutable()))
            return QDir::cleanPath(file.absoluteFilePath());
    }
    return QString();
}
