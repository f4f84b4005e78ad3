#include "pictures/metafilepicture.h"

#include "platform/apperror.h"

#include <QCoreApplication>

MetafilePicture::MetafilePicture(MetafileConversion convert) : SvgDrawnPicture(Qt::white), m_convert(std::move(convert)) {}

void MetafilePicture::loadFromData(const QByteArray &bytes)
{
    const auto invalid = [] {
        return AppError(QCoreApplication::translate("MetafilePicture", "MetaFichier incorrect"));
    };
    MetafileHeader header;
    if (readMetafileHeader(bytes, header) != MetafileError::None)
        throw invalid();
    QByteArray svg;
    if (!m_convert || m_convert(bytes, svg) != MetafileError::None || !adopt(std::move(svg), header.size))
        throw invalid();
}
