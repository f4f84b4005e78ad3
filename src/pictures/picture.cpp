#include "pictures/picture.h"

#include "platform/apperror.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QMimeData>

#include <memory>

Picture::~Picture() = default;

void Picture::loadFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QCoreApplication::translate("Picture", "Ne peut ouvrir le fichier %1").arg(path));
    loadFromData(file.readAll());
}

void Picture::copyToClipboard(QClipboard &clipboard)
{
    clipboard.clear();
    std::unique_ptr<QMimeData> data(toMimeData());
    if (data)
        clipboard.setMimeData(data.release());
}
