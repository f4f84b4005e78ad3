#include "platform/programmodule.h"

#include "platform/apperror.h"
#include "platform/programparts.h"

#include <QDir>

ProgramModule::ProgramModule(QString fileName, QString feature)
    : ProgramModule(fileName, std::move(feature),
                    QCoreApplication::instance()
                        ? locateProgramPart(QCoreApplication::applicationDirPath(), fileName, ProgramPart::Module)
                        : QString())
{
}

ProgramModule::ProgramModule(QString fileName, QString feature, QString path)
    : m_fileName(std::move(fileName)), m_feature(std::move(feature)), m_path(std::move(path))
{
}

QObject *ProgramModule::loadFile() const
{
    if (m_path.isEmpty()) {
        throw AppError(tr("%1 n'est pas disponible : le module %2 est introuvable à côté du programme.")
                           .arg(m_feature, m_fileName));
    }
    // The same file loaded again gives the instance already loaded; it is never unloaded, so
    // what it made stays valid until the end. Every symbol is bound at once: a module that does
    // not fit this program is refused here rather than failing in the middle of a command.
    QPluginLoader loader(m_path);
    loader.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    return loader.instance();
}

void ProgramModule::throwNotLoaded() const
{
    // Qt's reason is English, and names libraries the teacher has never heard of: the file is
    // named, and reinstalling the program is what mends it.
    throw AppError(tr("%1 n'est pas disponible : le module %2 ne peut pas être chargé. Réinstallez le programme.")
                       .arg(m_feature, QDir::toNativeSeparators(m_path)));
}
