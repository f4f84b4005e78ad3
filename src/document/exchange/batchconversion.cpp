#include "document/exchange/batchconversion.h"

#include "document/exchange/questionexchange.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "platform/apperror.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <new>

namespace BatchConversion {

namespace {

const QString ExportOption = QStringLiteral("--exporter");
const QString ImportOption = QStringLiteral("--importer");

QString tr(const char *text)
{
    return QCoreApplication::translate("BatchConversion", text);
}

QString usage()
{
    return tr("Usage : nelo-qcm --exporter gift|aiken|xml QUESTIONNAIRE.qcm SORTIE\n"
              "        nelo-qcm --importer ENTRÉE QUESTIONNAIRE.qcm");
}

QuestionExchange::Format formatNamed(const QString &name)
{
    const QString lower = name.toLower();
    if (lower == QLatin1String("gift"))
        return QuestionExchange::Format::Gift;
    if (lower == QLatin1String("aiken"))
        return QuestionExchange::Format::Aiken;
    if (lower == QLatin1String("xml") || lower == QLatin1String("moodlexml"))
        return QuestionExchange::Format::MoodleXml;
    throw AppError(tr("Format d'exportation inconnu : « %1 » (gift, aiken ou xml).").arg(name));
}

void exportQuiz(const QString &formatName, const QString &quiz, const QString &out, QTextStream &errors)
{
    const QuestionExchange::Format format = formatNamed(formatName);
    const QString source = QcmFormat::qcmFileName(quiz);
    const QStringList lines = QcmText::decodeLines(QcmFile::read(source));
    const QuestionExchange::Exported exported =
        QuestionExchange::exportQuestions(lines, format, QFileInfo(source).absolutePath());
    errors << QuestionExchange::exportSummary(exported.report) << Qt::endl;
    if (exported.report.done == 0)
        throw AppError(tr("Aucune question à exporter : %1 n'est pas écrit.").arg(out));
    QuestionExchange::writeFile(out, exported.bytes);
}

void importQuiz(const QString &in, const QString &out, QTextStream &errors)
{
    const QString target = QcmFormat::qcmFileName(out);
    const QByteArray bytes = QuestionExchange::readFile(in);
    QuestionExchange::ImportOptions options;
    // Pictures go beside the questionnaire, named by their bare names as the program resolves them.
    options.pictureFolder = QFileInfo(target).absolutePath();
    options.absolutePicturePaths = false;
    // The file is written at once: no author is there to correct what it cannot hold.
    options.keepUnencodable = false;
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(bytes, options);
    errors << QuestionExchange::importSummary(imported.report) << Qt::endl;
    if (imported.report.done == 0)
        throw AppError(tr("Aucune question à importer : %1 n'est pas écrit.").arg(target));
    QuestionExchange::writeFile(target, QcmText::encodeLines(imported.lines));
}

} // namespace

bool requested(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == ExportOption || argument.startsWith(ExportOption + QLatin1Char('='))
            || argument == ImportOption)
            return true;
    }
    return false;
}

int run(const QStringList &arguments, QTextStream &errors)
{
    QStringList rest = arguments.mid(1);
    QString formatName;
    bool exporting = false;
    bool importing = false;
    for (qsizetype i = 0; i < rest.size();) {
        const QString argument = rest.at(i);
        if (argument.startsWith(ExportOption + QLatin1Char('='))) {
            exporting = true;
            formatName = argument.mid(ExportOption.size() + 1);
            rest.removeAt(i);
        } else if (argument == ExportOption) {
            exporting = true;
            formatName = rest.value(i + 1);
            rest.remove(i, std::min<qsizetype>(2, rest.size() - i));
        } else if (argument == ImportOption) {
            importing = true;
            rest.removeAt(i);
        } else {
            ++i;
        }
    }
    try {
        if (exporting == importing)
            throw AppError(tr("Choisissez soit --exporter, soit --importer.\n%1").arg(usage()));
        if (rest.size() != 2 || (exporting && formatName.isEmpty()))
            throw AppError(tr("Il faut un fichier d'entrée et un fichier de sortie.\n%1").arg(usage()));
        if (exporting)
            exportQuiz(formatName, rest.at(0), rest.at(1), errors);
        else
            importQuiz(rest.at(0), rest.at(1), errors);
        return 0;
    } catch (const AppError &error) {
        errors << error.message() << Qt::endl;
        return 1;
    } catch (const std::bad_alloc &) {
        errors << tr("Mémoire insuffisante pour terminer la conversion : rien n'a été écrit.") << Qt::endl;
        return 1;
    }
}

} // namespace BatchConversion
