#include "document/exchange/questionexchange.h"

#include "document/exchange/aikenformat.h"
#include "document/exchange/exchangetext.h"
#include "document/exchange/giftformat.h"
#include "document/exchange/importedpictures.h"
#include "document/exchange/moodlexmlformat.h"
#include "document/exchange/questionmapping.h"
#include "document/exchange/quizcategory.h"
#include "document/classsettings.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/questiongroup.h"
#include "platform/apperror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

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

// The embedded picture written beside the questionnaire, and the path its picture line gives;
// empty (and a note says why) when it is no picture or cannot be written.
QString savedPicture(const ExchangeQuestion &question, int number, const ImportOptions &options,
                     ImportedPictures &pictures, QStringList &notes)
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
    QString path;
    try {
        path = pictures.place(name, question.pictureData);
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

QString categoryName(const QString &path)
{
    const QString label = QuizCategory::label(path);
    return label.isEmpty() ? tr("sans catégorie") : tr("« %1 »").arg(label);
}

// Which categories the file holds, and which one came in: worth a line when the file names one.
QStringList categoryLines(const Report &report)
{
    const bool named = std::any_of(report.categories.cbegin(), report.categories.cend(),
                                   [](const FoundCategory &category) { return !category.path.isEmpty(); });
    if (!named)
        return {};
    QStringList found;
    for (const FoundCategory &category : report.categories)
        found.append(category.questions == 1 ? tr("%1 (1 question)").arg(categoryName(category.path))
                                             : tr("%1 (%2 questions)").arg(categoryName(category.path)).arg(category.questions));
    QStringList lines = {tr("Catégories du fichier : %1.").arg(found.join(QLatin1String(", ")))};
    if (report.onlyCategory)
        lines.append(tr("Seules les questions de la catégorie %1 sont importées.").arg(categoryName(*report.onlyCategory)));
    return lines;
}

Summary summaryOf(const QString &text, const Report &report)
{
    QStringList lines = categoryLines(report);
    const qsizetype total = lines.size() + report.skipped.size() + report.notes.size();
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

namespace {

// Whether the markup's first element is Moodle XML's <quiz> (after a declaration, comments).
bool rootIsQuiz(const QString &text)
{
    QXmlStreamReader xml(text);
    return xml.readNextStartElement() && xml.name() == QLatin1String("quiz");
}

// Aiken questions: "ANSWER:" lines right after an answer line.
int aikenQuestions(const QString &text)
{
    static const QRegularExpression answer(QStringLiteral("^[A-Z][.)]"));
    static const QRegularExpression rightAnswer(QStringLiteral("^ANSWER\\s*:\\s*[A-Z]"));
    int count = 0;
    bool afterAnswer = false;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (afterAnswer && rightAnswer.match(trimmed).hasMatch())
            ++count;
        afterAnswer = answer.match(trimmed).hasMatch();
    }
    return count;
}

// GIFT answer blocks: an unescaped "{" opening choices, a number, true or false, or nothing.
int giftQuestions(const QString &text)
{
    static const QRegularExpression block(
        QStringLiteral("(?<!\\\\)\\{\\s*(?:[=~#}]|(?:TRUE|FALSE|T|F)\\s*[}#])"));
    int count = 0;
    for (auto match = block.globalMatch(text); match.hasNext(); match.next())
        ++count;
    return count;
}

} // namespace

Format detectFormat(const QByteArray &bytes)
{
    const QString text = ExchangeText::decode(bytes.left(1 << 20)).text;
    const QString start = text.trimmed();
    if (start.startsWith(QLatin1String("<?xml")) || (start.startsWith(QLatin1Char('<')) && rootIsQuiz(text)))
        return Format::MoodleXml;
    // By what the file is made of: a brace in an Aiken question, or a line of a GIFT question
    // that looks like an Aiken answer, do not change its format.
    const int aiken = aikenQuestions(text);
    const int gift = giftQuestions(text);
    if (aiken > gift)
        return Format::Aiken;
    if (gift == 0 && start.startsWith(QLatin1Char('<')))
        return Format::MoodleXml;
    return Format::Gift;
}

namespace {

[[noreturn]] void refuseForMemory()
{
    throw AppError(tr("Mémoire insuffisante pour importer ce fichier de questions : rien n'a été importé."));
}

[[noreturn]] void refuseTooBig(const QString &what, qint64 size)
{
    throw AppError(tr("%1 est trop gros pour un fichier de questions (%2 Mio ; %3 Mio au plus).")
                       .arg(what)
                       .arg((size + (1 << 20) - 1) >> 20)
                       .arg(MaxImportSize >> 20));
}

// The categories met and how many questions each holds; the questions before the first
// category belong to the one of path "".
class CategoryTally
{
public:
    void enter(const QString &path)
    {
        const auto found = std::find_if(m_found.cbegin(), m_found.cend(),
                                        [&](const FoundCategory &category) { return category.path == path; });
        m_current = int(found - m_found.cbegin());
        if (found == m_found.cend())
            m_found.append(FoundCategory{path, 0});
    }
    // A question of the current category.
    void count()
    {
        if (m_current < 0)
            enter(QString());
        ++m_found[m_current].questions;
    }
    QString current() const { return m_current < 0 ? QString() : m_found.at(m_current).path; }
    // The categories that hold questions.
    QList<FoundCategory> found() const
    {
        QList<FoundCategory> holding;
        std::copy_if(m_found.cbegin(), m_found.cend(), std::back_inserter(holding),
                     [](const FoundCategory &category) { return category.questions > 0; });
        return holding;
    }

private:
    QList<FoundCategory> m_found;
    int m_current = -1;
};

class CategoryCounter : public QuestionSink
{
public:
    void take(int, ExchangeQuestion &&) override { tally.count(); }
    void skip(SkippedQuestion &&) override { tally.count(); }
    void note(const QString &) override {}
    void category(const QString &path) override { tally.enter(path); }

    CategoryTally tally;
};

// The questionnaire the questions of a file make, each made as soon as it is read, within the
// questionnaire's limits, its picture written. Questions of other categories than the one asked
// for are passed over, with what is said of them.
class QuestionnaireBuilder : public QuestionSink
{
public:
    explicit QuestionnaireBuilder(const ImportOptions &options) : m_options(options), m_pictures(options.pictureFolder) {}

    void category(const QString &path) override { m_tally.enter(path); }
    void take(int number, ExchangeQuestion &&question) override
    {
        m_tally.count();
        if (!wanted())
            return;
        const QString label = ExchangeText::label(question.name.isEmpty() ? question.text : question.name);
        QString reason;
        std::optional<QuestionMapping::Block> block = QuestionMapping::toBlock(question, number, reason, m_report.notes);
        if (block && m_options.firstQuestion + m_blocks.size() >= QcmFormat::MaxQuestions)
            reason = tr("un questionnaire ne peut dépasser %1 questions").arg(QcmFormat::MaxQuestions);
        if (block && reason.isEmpty()) {
            const QString character = QuestionMapping::unencodableCharacter(*block);
            if (!character.isEmpty()) {
                const QString problem = tr("le caractère « %1 » ne peut pas être enregistré dans un questionnaire")
                                            .arg(character);
                if (m_options.keepUnencodable)
                    note(tr("Question %1 : %2 ; remplacez-le avant d'enregistrer").arg(number).arg(problem));
                else
                    reason = problem;
            }
        }
        if (!block || !reason.isEmpty()) {
            m_report.skipped.append(SkippedQuestion{number, label, reason});
            return;
        }
        if (!question.pictureData.isEmpty())
            block->picture = savedPicture(question, number, m_options, m_pictures, m_report.notes);
        m_blocks.append(std::move(*block));
        (question.shuffleAnswers ? m_shuffled : m_inOrder) += 1;
    }
    void skip(SkippedQuestion &&skipped) override
    {
        m_tally.count();
        if (wanted())
            m_report.skipped.append(std::move(skipped));
    }
    // Said of the question being read: it belongs to the current category.
    void note(const QString &note) override
    {
        if (wanted())
            m_report.notes.append(note);
    }
    void fileNote(const QString &note) override { m_report.notes.append(note); }

    // The questionnaire; its pictures stay written. `carriesOrder`: the file says for each
    // question whether its answers are shuffled (Moodle XML), and the questionnaire follows
    // when they all agree.
    Imported imported(bool carriesOrder)
    {
        Imported imported;
        imported.report = std::move(m_report);
        imported.report.done = int(m_blocks.size());
        imported.report.categories = m_tally.found();
        imported.report.onlyCategory = m_options.category;
        imported.lines = QuestionMapping::documentOf(m_blocks, m_options.firstQuestion);
        // Class settings belong to a new questionnaire; added questions leave the open one's.
        const bool newQuestionnaire = m_options.firstQuestion == 0;
        if (newQuestionnaire && carriesOrder && m_shuffled > 0 && m_inOrder == 0) {
            ClassSettings settings;
            settings.shuffleAnswers = true;
            imported.lines = ClassSettingsFormat::withSettings(imported.lines, settings);
        } else if (newQuestionnaire && carriesOrder && m_shuffled > 0) {
            imported.report.notes.append(tr("%1 des %2 questions mélangent leurs réponses dans Moodle : le "
                                            "questionnaire les garde dans l'ordre (réglages de passation).")
                                             .arg(m_shuffled)
                                             .arg(m_shuffled + m_inOrder));
        }
        m_pictures.keep();
        return imported;
    }

private:
    bool wanted() const { return !m_options.category || *m_options.category == m_tally.current(); }

    const ImportOptions &m_options;
    CategoryTally m_tally;
    ImportedPictures m_pictures; // removed again unless the import completes
    Report m_report;
    QList<QuestionMapping::Block> m_blocks;
    int m_shuffled = 0; // questions taken whose answers Moodle shuffles
    int m_inOrder = 0;
};

// Hands the file's questions to `sink`, read in the format its structure shows.
Format readInto(const QByteArray &bytes, QuestionSink &sink, ProgressTask &progress, const QString &stage)
{
    const Format format = detectFormat(bytes);
    if (format == Format::MoodleXml) {
        MoodleXmlFormat::read(bytes, sink, &progress);
    } else {
        const QString text = ExchangeText::decode(bytes).text;
        progress.stage(stage, text.size());
        if (format == Format::Aiken)
            AikenFormat::read(text, sink, &progress);
        else
            GiftFormat::read(text, sink, &progress);
    }
    return format;
}

Imported readQuestionnaire(const QByteArray &bytes, const ImportOptions &options, ProgressTask &progress)
{
    QuestionnaireBuilder builder(options);
    const Format format = readInto(bytes, builder, progress, tr("Lecture des questions…"));
    return builder.imported(format == Format::MoodleXml);
}

} // namespace

Imported importQuestions(const QByteArray &bytes, const ImportOptions &options)
{
    if (bytes.size() > MaxImportSize)
        refuseTooBig(tr("Ce fichier"), bytes.size());
    NoProgress silent;
    ProgressTask progress(options.progress ? *options.progress : silent, tr("Lecture des questions…"), bytes.size());
    try {
        return readQuestionnaire(bytes, options, progress);
    } catch (const ProgressStopped &) {
        // The pictures already written went with the import; nothing else had changed.
        Imported stopped;
        stopped.stopped = true;
        return stopped;
    } catch (const std::bad_alloc &) {
        refuseForMemory();
    }
}

std::optional<QList<FoundCategory>> categoriesOf(const QByteArray &bytes, Progress *progress)
{
    if (bytes.size() > MaxImportSize)
        refuseTooBig(tr("Ce fichier"), bytes.size());
    NoProgress silent;
    const QString stage = tr("Recherche des catégories…");
    ProgressTask task(progress ? *progress : silent, stage, bytes.size());
    try {
        CategoryCounter counter;
        readInto(bytes, counter, task, stage);
        QList<FoundCategory> found = counter.tally.found();
        if (found.isEmpty())
            found.append(FoundCategory{QString(), 0});
        return found;
    } catch (const ProgressStopped &) {
        return std::nullopt;
    } catch (const std::bad_alloc &) {
        refuseForMemory();
    }
}

Exported exportQuestions(const QStringList &lines, Format format, const QString &pictureFolder,
                         const PictureReader &readPicture, const QString &category)
{
    Exported exported;
    Report &report = exported.report;
    QList<ExchangeQuestion> questions;
    qint64 embedded = 0;
    int picturesByName = 0;
    int freeTexts = 0;
    const ClassSettings settings = ClassSettingsFormat::read(lines);
    const bool shuffleAnswers = settings.shuffleAnswers;
    QStringList groups; // of the questions written, for a draw
    for (const auto &[index, block] : QuestionMapping::blocks(lines)) {
        const int number = index + 1;
        QString reason;
        std::optional<ExchangeQuestion> question = QuestionMapping::fromBlock(block, reason);
        if (question && format == Format::Aiken)
            reason = AikenFormat::unwritable(*question);
        else if (question && format == Format::MoodleXml)
            reason = MoodleXmlFormat::unwritable(*question);
        if (!question || !reason.isEmpty()) {
            report.skipped.append(SkippedQuestion{number, ExchangeText::label(block.fields.title), reason});
            continue;
        }
        if (!question->picture.isEmpty()) {
            QString name = QcmFormat::fileNameOf(question->picture);
            if (format == Format::MoodleXml) {
                std::optional<QByteArray> bytes =
                    embeddablePicture(question->picture, number, pictureFolder, readPicture, embedded, report.notes);
                if (!bytes) {
                    question->picture.clear();
                } else {
                    question->pictureData = std::move(*bytes);
                    // A picture the reader drew into a PNG goes under its name with that suffix.
                    if (question->pictureData.startsWith("\x89PNG\r\n\x1A\n")
                        && QFileInfo(name).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) != 0)
                        name = QFileInfo(name).completeBaseName() + QLatin1String(".png");
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
            // One line for the question: the title alone.
            const qsizetype titleEnd = question->text.indexOf(QLatin1Char('\n'));
            if (titleEnd >= 0 || !question->feedback.isEmpty())
                ++freeTexts;
            if (titleEnd >= 0)
                question->text.truncate(titleEnd);
            question->feedback.clear();
            question->picture.clear();
        }
        question->shuffleAnswers = shuffleAnswers && format == Format::MoodleXml;
        questions.append(std::move(*question));
        groups.append(QuestionGroup::of(block.fields.title));
    }

    if (format == Format::Gift && picturesByName > 0)
        report.notes.append(tr("%1 image(s) ne voyagent pas dans un fichier GIFT : seul leur nom y est noté, en "
                               "commentaire.").arg(picturesByName));
    if (format == Format::Aiken && (picturesByName > 0 || freeTexts > 0))
        report.notes.append(tr("Le format Aiken ne garde ni images ni textes libres : %1 image(s) et %2 texte(s) "
                               "libre(s) ne sont pas exportés.").arg(picturesByName).arg(freeTexts));

    std::optional<MoodleXmlFormat::RandomDraw> draw;
    if (settings.draw != ClassSettings::Draw::None) {
        if (format == Format::MoodleXml) {
            draw = MoodleXmlFormat::RandomDraw{settings.draw == ClassSettings::Draw::AmongAll
                                                   ? MoodleXmlFormat::RandomDraw::Kind::AmongAll
                                                   : MoodleXmlFormat::RandomDraw::Kind::OnePerGroup,
                                               settings.drawCount, groups};
            report.notes.append(settings.draw == ClassSettings::Draw::AmongAll
                                    ? tr("Le tirage (%1 questions parmi toutes) est exporté : les questions sont dans "
                                         "une catégorie, suivies d'autant de questions aléatoires ; ajoutez celles-ci "
                                         "au test.").arg(settings.drawCount)
                                    : tr("Le tirage (1 question de chaque groupe) est exporté : chaque groupe a sa "
                                         "sous-catégorie et sa question aléatoire ; ajoutez-les au test, avec les "
                                         "questions hors groupe."));
            if (settings.draw == ClassSettings::Draw::AmongAll && settings.drawCount > questions.size())
                report.notes.append(tr("Seules %1 questions sont exportées : le test n'en tirera pas plus.")
                                        .arg(questions.size()));
        } else {
            report.notes.append(tr("Le format %1 ne garde pas le tirage des questions : toutes les questions sont "
                                   "exportées, et chaque élève les aurait toutes. Exportez en Moodle XML pour le garder.")
                                    .arg(format == Format::Gift ? QStringLiteral("GIFT") : QStringLiteral("Aiken")));
        }
    }

    switch (format) {
    case Format::Gift:
        exported.bytes = GiftFormat::write(questions, category).toUtf8();
        break;
    case Format::Aiken:
        exported.bytes = AikenFormat::write(questions).toUtf8();
        break;
    case Format::MoodleXml:
        exported.bytes = MoodleXmlFormat::write(questions, category, draw);
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
    if (info.size() > MaxImportSize)
        refuseTooBig(tr("Le fichier %1").arg(path), info.size());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(tr("Ne peut ouvrir le fichier %1 : %2.").arg(path, failureReason(file.error())));
    // The size seen above and one byte more (Qt sets aside all it is asked for); a file that grew
    // since is read on, up to one byte beyond the bound.
    QByteArray bytes;
    try {
        bytes = file.read(info.size() + 1);
        if (bytes.size() > info.size() && file.error() == QFileDevice::NoError)
            bytes += file.read(MaxImportSize + 1 - bytes.size());
    } catch (const std::bad_alloc &) {
        refuseForMemory();
    }
    if (file.error() != QFileDevice::NoError)
        throw AppError(tr("Ne peut lire le fichier %1 : %2.").arg(path, failureReason(file.error())));
    if (bytes.size() > MaxImportSize)
        refuseTooBig(tr("Le fichier %1").arg(path), bytes.size());
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
