#include "pictures/metafilepicture.h"

#include "platform/apperror.h"

#include <QCoreApplication>

MetafilePicture::MetafilePicture(DrawingConversion convert)
    : SvgDrawnPicture(std::move(convert), Qt::white,
                      {QCoreApplication::translate("MetafilePicture", "MetaFichier incorrect"),
                       QCoreApplication::translate("MetafilePicture", "le métafichier")})
{
}

void MetafilePicture::loadFromData(const QByteArray &bytes)
{
    // A file that is no metafile at all is refused before any helper is started.
    MetafileHeader header;
    if (readMetafileHeader(bytes, header) != MetafileError::None)
        throw AppError(damagedText());
    loadDrawing(DrawingSource::Metafile, bytes, header.size);
}
