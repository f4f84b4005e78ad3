#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes of questionnaires. Failures throw AppError with a French message.
namespace QcmFile {

QByteArray read(const QString &path);
// Through a temporary file and a rename: a failed write leaves any earlier file untouched.
void write(const QString &path, const QByteArray &bytes);

} // namespace QcmFile
