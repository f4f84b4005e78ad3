#include "document/exchange/importedpictures.h"

#include "document/qcmfile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// What an earlier file holds, to reuse it for the same picture; empty when it cannot be one
// (a folder, an unreadable file, a file bigger than any quiz file).
QByteArray digestOfFile(const QString &path)
{
    constexpr qint64 MaxPictureSize = qint64(64) * 1024 * 1024;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxPictureSize)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

} // namespace

ImportedPictures::ImportedPictures(const QString &folder) : m_folder(folder) {}

ImportedPictures::~ImportedPictures()
{
    for (const QString &path : std::as_const(m_written))
        QFile::remove(path);
}

QString ImportedPictures::variantName(const QString &name, int attempt) const
{
    if (attempt == 1)
        return name;
    const QFileInfo info(name);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    return QStringLiteral("%1-%2%3").arg(info.completeBaseName()).arg(attempt).arg(suffix);
}

QString ImportedPictures::place(const QString &name, const QByteArray &bytes)
{
    const QByteArray digest = digestOf(bytes);
    Variants &variants = m_variants[name];
    if (const auto known = variants.byDigest.constFind(digest); known != variants.byDigest.cend())
        return *known;
    for (;; ++variants.nextAttempt) {
        const QString path = m_folder.filePath(variantName(name, variants.nextAttempt));
        if (QcmFile::writeNew(path, bytes)) {
            m_written.append(path);
            variants.byDigest.insert(digest, path);
            ++variants.nextAttempt;
            return path;
        }
        // Something was there already: remembered by what it holds, and taken when it is the same.
        const QByteArray existing = digestOfFile(path);
        if (!existing.isEmpty())
            variants.byDigest.insert(existing, path);
        if (existing == digest) {
            ++variants.nextAttempt;
            return path;
        }
    }
}
