#include "document/exchange/questionexchange.h"

#include "document/exchange/aikenformat.h"
#include "document/exchange/exchangetext.h"
#include "document/exchange/giftformat.h"
#include "document/exchange/moodlexmlformat.h"
#include "document/exchange/questionmapping.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "platform/apperror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

namespace QuestionExchange {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("QuestionExchange", text);
}

QString failureReason(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::PermissionsError:
        return tr("accès refusé");
    case QFileDevice::ReadError:
        return tr("lecture impossible");
    case QFileDevice::OpenError:
        return tr("ouverture impossible (dossier absent ou accès refusé)");
    default:
        return tr("erreur du système de fichiers");
    }
}

// A picture name taken from a file: its last path element, never "." or "..", without
// control characters.
QString safeFileName(const QString &name)
{
    QString base = QcmFormat::fileNameOf(name);
    base.removeIf([](QChar c) { return c.unicode() < 0x20 || c == u'/' || c == u'\\'; });
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String(".."))
        return QStringLiteral("image");
    return base;
}

// Where the picture goes: its name when free or already holding the same bytes, else a
// numbered variant ("chat-2.png").
QString picturePath(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    const QFileInfo info(name);
    const QString stem = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int attempt = 1;; ++attempt) {
        const QString candidate = attempt == 1 ? name : QStringLiteral("%1-%2%3").arg(stem).arg(attempt).arg(suffix);
        const QString path = folder.filePath(candidate);
        QFile existing(path);
        if (!existing.exists())
            return path;
        if (existing.size() == bytes.size() && existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
            return path;
    }
}

// The embedded picture written beside the questionnaire, and the path its picture line gives;
// empty (and a note says why) when it is no picture or cannot be written.
QString savedPicture(const ExchangeQuestion &question, int number, const ImportOptions &options, QStringList &notes)
{
    const QString name = safeFileName(question.picture);
    // Only picture files leave the quiz file: its attachments could be anything.
    static const QStringList pictureSuffixes = {
        QStringLiteral("bmp"), QStringLiteral("ico"), QStringLiteral("wmf"), QStringLiteral("emf"),
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif"), QStringLiteral("pcx"),
        QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("webp")};
    if (!pictureSuffixes.contains(QFileInfo(name).suffix().toLower())) {
        notes.append(tr("Question %1 : le fichier joint %2 n'est pas une image, il n'est pas repris.").arg(number).arg(name));
        return {};
    }
    const QString path = picturePath(QDir(options.pictureFolder), name, question.pictureData);
    try {
        if (!QFileInfo::exists(path))
            writeFile(path, question.pictureData);
    } catch (const AppError &error) {
        notes.append(tr("Question %1 : l'image n'est pas reprise. %2").arg(number).arg(error.message()));
        return {};
    }
    return options.absolutePicturePaths ? QFileInfo(path).absoluteFilePath() : QFileInfo(path).fileName();
}

// What stands at the picture's place, whatever it is: the reader says whether it may go out.
QString findPicture(const QString &picture, const QString &pictureFolder)
{
    const QFileInfo asNamed(picture);
    if (asNamed.isAbsolute() && asNamed.exists())
        return asNamed.filePath();
    const QDir folder(pictureFolder);
    for (const QString &candidate : {picture, QcmFormat::fileNameOf(picture)}) {
        const QFileInfo info(folder.filePath(candidate));
        if (!candidate.isEmpty() && info.exists())
            return info.filePath();
    }
    return {};
}

// The picture's bytes for the quiz file, or a note saying why it stays out. `embedded` counts
// the bytes of the pictures already taken.
std::optional<QByteArray> embeddablePicture(const QString &picture, int number, const QString &pictureFolder,
                                            const PictureReader &readPicture, qint64 &embedded, QStringList &notes)
{
    const QString path = findPicture(picture, pictureFolder);
    if (path.isEmpty()) {
        notes.append(tr("Question %1 : l'image %2 est introuvable, elle n'est pas exportée.").arg(number).arg(picture));
        return std::nullopt;
    }
    const auto refusal = [&](const QString &reason) {
        return tr("Question %1 : l'image %2 n'est pas exportée. %3").arg(number).arg(picture, reason);
    };
    const QString tooMuch = tr("Avec elle, les images du fichier dépasseraient %1 Mo.").arg(MaxEmbeddedBytes >> 20);
    // Known to pass the bound before it is read: the export does not spend time on it. A file
    // too large by itself is the reader's to refuse, with its own reason.
    const qint64 size = QFileInfo(path).size();
    if (size <= MaxEmbeddedBytes && embedded + size > MaxEmbeddedBytes) {
        notes.append(refusal(tooMuch));
        return std::nullopt;
    }
    try {
        QByteArray bytes = readPicture(path);
        if (embedded + bytes.size() > MaxEmbeddedBytes)
            throw AppError(tooMuch);
        embedded += bytes.size();
        return bytes;
    } catch (const AppError &error) {
        QString reason = error.message();
        if (!reason.endsWith(QLatin1Char('.')))
            reason += QLatin1Char('.');
        notes.append(refusal(reason));
    }
    return std::nullopt;
}

// Kinds a web browser does not show: the question reaches Moodle, its picture stays blank.
bool browserShows(const QString &fileName)
{
    static const QStringList shown = {QStringLiteral("png"), QStringLiteral("jpg"),  QStringLiteral("jpeg"),
                                      QStringLiteral("gif"), QStringLiteral("bmp"),  QStringLiteral("svg"),
                                      QStringLiteral("webp"), QStringLiteral("ico")};
    return shown.contains(QFileInfo(fileName).suffix().toLower());
}

Summary summaryOf(const QString &text, const Report &report)
{
    QStringList lines;
    const qsizetype total = report.skipped.size() + report.notes.size();
    lines.reserve(std::min<qsizetype>(total, MaxSummaryDetails) + 1);
    for (const SkippedQuestion &skipped : report.skipped) {
        if (lines.size() == MaxSummaryDetails)
            break;
        lines.append(skipped.label.isEmpty()
                         ? tr("Question %1 : %2").arg(skipped.number).arg(skipped.reason)
                         : tr("Question %1 (« %2 ») : %3").arg(skipped.number).arg(skipped.label, skipped.reason));
    }
    for (const QString &note : report.notes) {
        if (lines.size() == MaxSummaryDetails)
            break;
        lines.append(note);
    }
    const qsizetype left = total - lines.size();
    if (left == 1)
        lines.append(tr("… et 1 autre"));
    else if (left > 1)
        lines.append(tr("… et %1 autres").arg(left));
    return Summary{text, lines.join(QLatin1Char('\n'))};
}

} // namespace

Format detectFormat(const QByteArray &bytes)
{
    const QString text = ExchangeText::decode(bytes.left(1 << 20)).text;
    const QString start = text.trimmed();
    if (start.startsWith(QLatin1Char('<')))
        return Format::MoodleXml;
    static const QRegularExpression answerLine(QStringLiteral("^\\s*ANSWER\\s*:\\s*[A-Z]\\s*$"),
                                               QRegularExpression::MultilineOption);
    if (!text.contains(QLatin1Char('{')) && answerLine.match(text).hasMatch())
        return Format::Aiken;
    return Format::Gift;
}

Imported importQuestions(const QByteArray &bytes, const ImportOptions &options)
{
    ReadResult read;
    switch (detectFormat(bytes)) {
    case Format::MoodleXml:
        read = MoodleXmlFormat::read(bytes);
        break;
    case Format::Aiken:
        read = AikenFormat::read(ExchangeText::decode(bytes).text);
        break;
    case Format::Gift:
        read = GiftFormat::read(ExchangeText::decode(bytes).text);
        break;
    }

    // Every question of the file in its order, taken or not, to number them as the file does.
    Imported imported;
    Report &report = imported.report;
    report.notes = read.notes;
    QList<SkippedQuestion> skipped = read.skipped;
    QList<QuestionMapping::Block> blocks;
    int number = 0;
    auto nextSkipped = read.skipped.cbegin();
    for (const ExchangeQuestion &question : std::as_const(read.questions)) {
        ++number;
        while (nextSkipped != read.skipped.cend() && nextSkipped->number == number) {
            ++number;
            ++nextSkipped;
        }
        const QString label = ExchangeText::label(question.name.isEmpty() ? question.text : question.name);
        QString reason;
        std::optional<QuestionMapping::Block> block = QuestionMapping::toBlock(question, number, reason, report.notes);
        if (block && blocks.size() >= QcmFormat::MaxQuestions)
            reason = tr("un questionnaire ne peut dépasser %1 questions").arg(QcmFormat::MaxQuestions);
        if (block && reason.isEmpty()) {
            const QString character = QuestionMapping::unencodableCharacter(*block);
            if (!character.isEmpty()) {
                const QString problem = tr("le caractère « %1 » ne peut pas être enregistré dans un questionnaire")
                                            .arg(character);
                if (options.keepUnencodable)
                    report.notes.append(tr("Question %1 : %2 ; remplacez-le avant d'enregistrer").arg(number).arg(problem));
                else
                    reason = problem;
            }
        }
        if (!block || !reason.isEmpty()) {
            skipped.append(SkippedQuestion{number, label, reason});
            continue;
        }
        if (!question.pictureData.isEmpty())
            block->picture = savedPicture(question, number, options, report.notes);
        blocks.append(*block);
    }
    std::sort(skipped.begin(), skipped.end(),
              [](const SkippedQuestion &a, const SkippedQuestion &b) { return a.number < b.number; });
    report.skipped = skipped;
    report.done = int(blocks.size());
    imported.lines = QuestionMapping::documentOf(blocks);
    return imported;
}

Exported exportQuestions(const QStringList &lines, Format format, const QString &pictureFolder,
                         const PictureReader &readPicture)
{
    Exported exported;
    Report &report = exported.report;
    QList<ExchangeQuestion> questions;
    qint64 embedded = 0;
    int picturesByName = 0;
    int freeTexts = 0;
    for (const auto &[index, block] : QuestionMapping::blocks(lines)) {
        const int number = index + 1;
        QString reason;
        std::optional<ExchangeQuestion> question = QuestionMapping::fromBlock(block, reason);
        if (question) {
            if (format == Format::Gift)
                reason = GiftFormat::unwritable(*question);
            else if (format == Format::Aiken)
                reason = AikenFormat::unwritable(*question);
            else
                reason = MoodleXmlFormat::unwritable(*question);
        }
        if (!question || !reason.isEmpty()) {
            report.skipped.append(SkippedQuestion{number, ExchangeText::label(block.fields.title), reason});
            continue;
        }
        if (!question->picture.isEmpty()) {
            const QString name = QcmFormat::fileNameOf(question->picture);
            if (format == Format::MoodleXml) {
                std::optional<QByteArray> bytes =
                    embeddablePicture(question->picture, number, pictureFolder, readPicture, embedded, report.notes);
                if (!bytes) {
                    question->picture.clear();
                } else {
                    question->pictureData = std::move(*bytes);
                    if (!browserShows(name))
                        report.notes.append(tr("Question %1 : l'image %2 est exportée, mais un navigateur ne "
                                               "sait pas l'afficher ; convertissez-la en PNG.")
                                                .arg(number)
                                                .arg(name));
                }
            } else {
                ++picturesByName;
            }
            question->picture = question->picture.isEmpty() ? QString() : name;
        }
        if (format == Format::Aiken) {
            if (!question->freeText.isEmpty())
                ++freeTexts;
            question->freeText.clear();
            question->picture.clear();
        }
        questions.append(std::move(*question));
    }

    if (format == Format::Gift && picturesByName > 0)
        report.notes.append(tr("%1 image(s) ne voyagent pas dans un fichier GIFT : seul leur nom y est noté, en "
                               "commentaire.").arg(picturesByName));
    if (format == Format::Aiken && (picturesByName > 0 || freeTexts > 0))
        report.notes.append(tr("Le format Aiken ne garde ni images ni textes libres : %1 image(s) et %2 texte(s) "
                               "libre(s) ne sont pas exportés.").arg(picturesByName).arg(freeTexts));

    switch (format) {
    case Format::Gift:
        exported.bytes = GiftFormat::write(questions).toUtf8();
        break;
    case Format::Aiken:
        exported.bytes = AikenFormat::write(questions).toUtf8();
        break;
    case Format::MoodleXml:
        exported.bytes = MoodleXmlFormat::write(questions);
        break;
    }
    report.done = int(questions.size());
    return exported;
}

QByteArray readFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw AppError(tr("Le fichier %1 est introuvable.").arg(path));
    if (!info.isFile())
        throw AppError(tr("%1 n'est pas un fichier.").arg(path));
    // Quiz files with their pictures stay well below this; more would only fill the memory.
    constexpr qint64 MaxSize = qint64(512) * 1024 * 1024;
    if (info.size() > MaxSize)
        throw AppError(tr("Le fichier %1 est trop gros pour être un fichier de questions.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(tr("Ne peut ouvrir le fichier %1 : %2.").arg(path, failureReason(file.error())));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(tr("Ne peut lire le fichier %1 : %2.").arg(path, failureReason(file.error())));
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    // The rename at the end would put a plain file in place of a device, a pipe or a link.
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || info.isSymLink()))
        throw AppError(tr("%1 n'est pas un fichier ordinaire : il n'est pas remplacé.").arg(path));
    // The questionnaire's own checked save: every write checked, synced, then renamed.
    QcmFile::write(path, bytes);
}

bool sameFile(const QString &first, const QString &second)
{
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
}

Summary importSummary(const Report &report)
{
    return summaryOf(tr("%1 questions importées ; %2 ignorées").arg(report.done).arg(report.skipped.size()), report);
}

Summary exportSummary(const Report &report)
{
    return summaryOf(tr("%1 questions exportées ; %2 ignorées").arg(report.done).arg(report.skipped.size()), report);
}

QString exportFilter()
{
    return tr("Questions GIFT (*.gift;*.txt)|*.gift;*.txt|Format Aiken (*.txt)|*.txt|Moodle XML (*.xml)|*.xml");
}

Format formatOfFileType(int fileType)
{
    switch (fileType) {
    case 1:
        return Format::Aiken;
    case 2:
        return Format::MoodleXml;
    default:
        return Format::Gift;
    }
}

QString defaultSuffix(Format format)
{
    switch (format) {
    case Format::Gift:
        return QStringLiteral("gift");
    case Format::Aiken:
        return QStringLiteral("txt");
    case Format::MoodleXml:
        break;
    }
    return QStringLiteral("xml");
}

QString importFilter()
{
    return tr("Questions Moodle (*.gift;*.txt;*.xml)|*.gift;*.txt;*.xml|Tous les fichiers (*)|*");
}

} // namespace QuestionExchange
