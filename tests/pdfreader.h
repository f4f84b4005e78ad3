#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

// What poppler-utils reads back from a PDF the program printed: its text, laid out as on the
// page, and its page information.
namespace PdfReader {

inline bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
           && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

inline QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString text(const QString &pdf)
{
    return output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

inline QString info(const QString &pdf) { return output(QStringLiteral("pdfinfo"), {pdf}); }

// 0 when the file is no PDF.
inline int pageCount(const QString &pdf)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)\\n")).match(info(pdf));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace PdfReader
