#include "document/picturelocation.h"

#include "document/qcmformat.h"

#include <QDir>
#include <QFileInfo>

namespace PictureLocation {

QString folderOf(const QString &questionnaireFile)
{
    return questionnaireFile.isEmpty() ? QString() : QFileInfo(questionnaireFile).absolutePath();
}

QString resolve(const QString &storedPath, const QString &questionnaireFolder)
{
    if (storedPath.isEmpty() || questionnaireFolder.isEmpty() || QFileInfo::exists(storedPath))
        return storedPath;
    const QString name = QcmFormat::fileNameOf(storedPath);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return storedPath;
    const QDir folder(questionnaireFolder);
    if (QFileInfo::exists(folder.filePath(name)))
        return folder.filePath(name);
    // Sorted by name, so that of CHAT.BMP and Chat.bmp the same one is always taken.
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &file : files) {
        if (file.compare(name, Qt::CaseInsensitive) == 0)
            return folder.filePath(file);
    }
    return storedPath;
}

} // namespace PictureLocation
