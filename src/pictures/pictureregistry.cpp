#include "pictures/pictureregistry.h"

#include "pictures/bitmappicture.h"
#include "pictures/iconpicture.h"
#include "pictures/metafileconverterprocess.h"
#include "pictures/metafilepicture.h"
#include "platform/apperror.h"

#include <QCoreApplication>

#include <algorithm>

QString pictureExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    const QString after = path.mid(dot + 1);
    for (QChar separator : {QLatin1Char('\\'), QLatin1Char(':'), QLatin1Char('/')}) {
        if (after.contains(separator))
            return QString();
    }
    return after;
}

PictureRegistry::PictureRegistry()
    : PictureRegistry([converter = MetafileConverterProcess(MetafileConverterProcess::locate())](
                          DrawingSource source, const QByteArray &input, QByteArray &svg) {
          return converter.convert(source, input, svg);
      })
{
}

PictureRegistry::PictureRegistry(DrawingConversion convertDrawing) : m_convertDrawing(std::move(convertDrawing))
{
    const auto metafile = [convert = m_convertDrawing] {
        return std::unique_ptr<Picture>(new MetafilePicture(convert));
    };
    registerFormat(QStringLiteral("wmf"), QCoreApplication::translate("PictureRegistry", "MetaFichiers"),
                   PictureKind::Metafile, metafile);
    registerFormat(QStringLiteral("emf"),
                   QCoreApplication::translate("PictureRegistry", "MétaFichiers améliorés"),
                   PictureKind::Metafile, metafile);
    registerFormat(QStringLiteral("ico"), QCoreApplication::translate("PictureRegistry", "Icônes"),
                   PictureKind::Icon, [] { return std::unique_ptr<Picture>(new IconPicture); });
    registerFormat(QStringLiteral("bmp"), QCoreApplication::translate("PictureRegistry", "Bitmaps"),
                   PictureKind::Bitmap, [] { return std::unique_ptr<Picture>(new BitmapPicture); });
}

void PictureRegistry::registerFormat(const QString &extension, const QString &description,
                                     PictureKind kind, Factory create)
{
    m_entries.push_back(Entry{extension.toLower(), description, kind, std::move(create)});
}

void PictureRegistry::unregisterKind(PictureKind kind)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [kind](const Entry &entry) { return entry.kind == kind; }),
                    m_entries.end());
}

const PictureRegistry::Entry *PictureRegistry::find(const QString &extension) const
{
    const QString wanted = extension.toLower();
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        if (entry->extension == wanted)
            return &*entry;
    }
    return nullptr;
}

const PictureRegistry::Entry &PictureRegistry::entryFor(const QString &path) const
{
    const QString extension = pictureExtension(path);
    const Entry *entry = find(extension);
    if (!entry)
        throw AppError(QCoreApplication::translate("PictureRegistry",
                                                   "Extension de fichier graphique inconnue (.%1)")
                           .arg(extension));
    return *entry;
}

std::unique_ptr<Picture> PictureRegistry::createFor(const QString &path) const
{
    return entryFor(path).create();
}
