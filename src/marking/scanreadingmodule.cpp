#include "marking/scanreadingmodule.h"

#include "platform/apperror.h"
#include "platform/programparts.h"

#include <QDir>
#include <QPluginLoader>

ScanReadingModule::ScanReadingModule(QString path) : m_path(std::move(path))
{
}

QString ScanReadingModule::locate()
{
    if (!QCoreApplication::instance())
        return {};
    return locateProgramPart(QCoreApplication::applicationDirPath(), QStringLiteral(NELO_SCAN_READING_FILE),
                             ProgramPart::Module);
}

const ScanReading &ScanReadingModule::reading() const
{
    for (QObject *instance : QPluginLoader::staticInstances()) {
        if (const auto *reading = qobject_cast<ScanReading *>(instance))
            return *reading;
    }
    if (m_path.isEmpty()) {
        throw AppError(tr("La lecture des copies scannées n'est pas disponible : le module %1 est introuvable à côté "
                          "du programme.")
                           .arg(QStringLiteral(NELO_SCAN_READING_FILE)));
    }
    // The same file loaded again gives the instance already loaded; it is never unloaded, so
    // the pages found stay valid until the end.
    QPluginLoader loader(m_path);
    const auto *reading = qobject_cast<ScanReading *>(loader.instance());
    if (!reading) {
        // Qt's reason is English, and names libraries the teacher has never heard of: the file
        // is named, and reinstalling the program is what mends it.
        throw AppError(tr("La lecture des copies scannées n'est pas disponible : le module %1 ne peut pas être chargé. "
                          "Réinstallez le programme.")
                           .arg(QDir::toNativeSeparators(m_path)));
    }
    return *reading;
}
