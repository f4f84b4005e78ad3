#include "document/exchange/batchconversion.h"

#include "document/exchange/questionexchange.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "platform/apperror.h"
#include "platform/errorguard.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <new>

namespace BatchConversion {

namespace {

const QString ExportOption = QStringLiteral("--exporter");
const QString ImportOption = QStringLiteral("--importer");
const QStringList ReplaceOptions = {QStringLiteral("--ecraser"), QStringLiteral("--force")};

QString tr(const char *text)
{
    return QCoreApplication::translate("BatchConversion", text);
}

QString usage()
{
    return tr("Usage : nelo-qcm --exporter gift|aiken|xml QUESTIONNAIRE.qcm SORTIE [--ecraser]\n"
              "        nelo-qcm --importer ENTRÉE QUESTIONNAIRE.qcm [--ecraser]\n"
              "--ecraser (ou --force) remplace un fichier de sortie qui existe déjà.");
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

// A script that names the wrong file must not destroy it: the input is never written over,
// and an existing file only when the command line says so.
void checkTarget(const QString &source, const QString &target, bool replace)
{
    if (QuestionExchange::sameFile(source, target))
        throw AppError(tr("Le fichier de sortie %1 est le fichier d'entrée lui-même : rien n'est écrit.").arg(target));
    if (!replace && QFileInfo::exists(target))
        throw AppError(tr("Le fichier %1 existe déjà : ajoutez --ecraser pour le remplacer.").arg(target));
}

void printSummary(const QuestionExchange::Summary &summary, QTextStream &errors)
{
    errors << summary.text << Qt::endl;
    if (!summary.details.isEmpty())
        errors << summary.details << Qt::endl;
}

void exportQuiz(const QString &formatName, const QString &quiz, const QString &out, bool replace,
                const QuestionExchange::PictureReader &readPicture, QTextStream &errors)
{
    const QuestionExchange::Format format = formatNamed(formatName);
    const QString source = QcmFormat::qcmFileName(quiz);
    checkTarget(source, out, replace);
    const QStringList lines = QcmText::decodeLines(QcmFile::read(source));
    // The quiz bank's category takes the questionnaire's name.
    const QuestionExchange::Exported exported = QuestionExchange::exportQuestions(
        lines, format, QFileInfo(source).absolutePath(), readPicture, QFileInfo(source).completeBaseName());
    printSummary(QuestionExchange::exportSummary(exported.report), errors);
    if (exported.report.done == 0)
        throw AppError(tr("Aucune question à exporter : %1 n'est pas écrit.").arg(out));
    QuestionExchange::writeFile(out, exported.bytes);
}

void importQuiz(const QString &in, const QString &out, bool replace, QTextStream &errors)
{
    const QString target = QcmFormat::qcmFileName(out);
    checkTarget(in, target, replace);
    const QByteArray bytes = QuestionExchange::readFile(in);
    QuestionExchange::ImportOptions options;
    // Pictures go beside the questionnaire, named by their bare names as the program resolves them.
    options.pictureFolder = QFileInfo(target).absolutePath();
    options.absolutePicturePaths = false;
    // The file is written at once: no author is there to correct what it cannot hold.
    options.keepUnencodable = false;
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(bytes, options);
    printSummary(QuestionExchange::importSummary(imported.report), errors);
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

int run(const QStringList &arguments, QTextStream &errors, const QuestionExchange::PictureReader &readPicture)
{
    QStringList rest = arguments.mid(1);
    QString formatName;
    bool exporting = false;
    bool importing = false;
    bool replace = false;
    for (qsizetype i = 0; i < rest.size();) {
        const QString argument = rest.at(i);
        if (ReplaceOptions.contains(argument)) {
            replace = true;
            rest.removeAt(i);
        } else if (argument.startsWith(ExportOption + QLatin1Char('='))) {
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
            exportQuiz(formatName, rest.at(0), rest.at(1), replace, readPicture, errors);
        else
            importQuiz(rest.at(0), rest.at(1), replace, errors);
        return 0;
    } catch (const std::exception &error) {
        // Out of memory included: a script reads a French reason and a failure status, never
        // the runtime's English words after an abort.
        errors << failureMessage(error) << Qt::endl;
    } catch (...) {
        errors << failureMessage() << Qt::endl;
    }
    return 1;
}

} // namespace BatchConversion
