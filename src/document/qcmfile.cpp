#include "document/qcmfile.h"

#include "platform/apperror.h"

#include <QFile>
#include <QSaveFile>
#include <QObject>

namespace QcmFile {

QByteArray read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QObject::tr("Ne peut ouvrir le fichier %1 : %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QObject::tr("Erreur de lecture du fichier %1 : %2").arg(path, file.errorString()));
    return bytes;
}

void write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QObject::tr("Ne peut créer le fichier %1 : %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(QObject::tr("Ne peut enregistrer le fichier %1 : %2").arg(path, file.errorString()));
}

} // namespace QcmFile
