#pragma once

#include "document/exchange/exchangequestion.h"
#include "platform/progress.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Moving a questionnaire's questions to and from Moodle's quiz bank: the three formats behind
// one interface, the questionnaire's limits applied, and a summary of what did not travel.
namespace QuestionExchange {

enum class Format { Gift, Aiken, MoodleXml };

// The biggest file an import takes. A quiz bank of ten thousand questions with pictures stays
// well below; reading takes several times the file's size in memory, so more would only fill
// the memory.
inline constexpr qint64 MaxImportSize = qint64(64) * 1024 * 1024;

// A category of the quiz bank a file holds questions of, with the number of its questions
// (taken or not), as the file writes its path.
struct FoundCategory
{
    QString path;
    int questions = 0;

    bool operator==(const FoundCategory &other) const { return path == other.path && questions == other.questions; }
};

struct ImportOptions
{
    // Only the questions of this category, when there is one (its path as the file writes it).
    std::optional<QString> category;
    // 0: a new questionnaire, whose class settings the file may give. Otherwise the questions
    // come after as many others, numbered on from them, and leave the settings alone.
    int firstQuestion = 0;
    // Where pictures embedded in the file are written (never over another file).
    QString pictureFolder;
    // The picture lines name them by full path, or by bare name when the questionnaire will
    // stand in pictureFolder.
    bool absolutePicturePaths = true;
    // A question with characters a questionnaire cannot hold is kept (and reported) when the
    // author can still correct it before saving; skipped when the file is written at once.
    bool keepUnencodable = true;
    // Hears of every question read and made; may stop the import. None: nothing shown.
    Progress *progress = nullptr;
};

struct Report
{
    int done = 0; // questions imported or exported
    QList<SkippedQuestion> skipped;
    QStringList notes;
    // On import: the file's categories, and the one taken when not all were.
    QList<FoundCategory> categories;
    std::optional<QString> onlyCategory;
};

struct Imported
{
    // The new questionnaire, or the blocks that follow the open one's (ImportOptions::firstQuestion).
    QStringList lines;
    Report report;
    // The user stopped the import: nothing was made, and no picture stays written.
    bool stopped = false;
};

struct Exported
{
    QByteArray bytes; // UTF-8, as Moodle expects
    Report report;
};

// The file's format from its structure: Moodle XML when it is markup opening with <quiz> (or an
// XML declaration); Aiken when it holds more Aiken questions (an "ANSWER:" line after an answer
// line) than GIFT answer blocks; GIFT otherwise, and for other markup Moodle XML, whose reader
// says what is wrong.
Format detectFormat(const QByteArray &bytes);

// Throws AppError when the file cannot be read at all (a broken Moodle XML file, more than
// MaxImportSize bytes, not enough memory). Embedded pictures that are not pictures, or that
// cannot be written, stay out, with a note.
Imported importQuestions(const QByteArray &bytes, const ImportOptions &options);
// The categories of the file's questions, in the order met; one, of path "", for a file that
// names none. Nothing when the user stops it (through `progress`, which may be null). Throws as
// importQuestions does.
std::optional<QList<FoundCategory>> categoriesOf(const QByteArray &bytes, Progress *progress);
// Reads a picture file whole so that an export can embed it; throws AppError with the reason
// it stays out. A PNG it gives for a picture of another kind (a PCX file drawn for the web) is
// embedded under the picture's name with the suffix ".png". The program's reader is the picture
// registry's (readPictureForWeb): the layers below the application do not know picture kinds.
using PictureReader = std::function<QByteArray(const QString &path)>;

// The questionnaire's questions, in order. Pictures are looked for as named, then by file name
// in pictureFolder, and only Moodle XML carries them: each read by readPicture, all of them
// together at most MaxEmbeddedBytes; those that stay out are noted with the reason. GIFT and
// Moodle XML put them in a category named `category` (the questionnaire's name), unless empty.
Exported exportQuestions(const QStringList &lines, Format format, const QString &pictureFolder,
                         const PictureReader &readPicture, const QString &category = QString());
// Keeps a Moodle XML file within what this program reads back (readFile), base64 included.
constexpr qint64 MaxEmbeddedBytes = qint64(256) * 1024 * 1024;

// Whole files. Writing goes through a temporary file renamed at the end, each write checked, so
// a failure leaves any earlier file whole. Throws AppError with a French message.
QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);
// True when both paths lead to one existing file, through links or another spelling.
bool sameFile(const QString &first, const QString &second);

// What a summary box shows: one short line, and the details below it in a list that scrolls.
struct Summary
{
    QString text;    // "%1 questions importées ; %2 ignorées"
    QString details; // one line per skipped question, then one per note; empty when none
};
// The details stop after this many lines, with "… et %1 autres" for the rest: enough to find
// what went wrong, and a box that opens at once.
constexpr int MaxSummaryDetails = 1000;
Summary importSummary(const Report &report);
Summary exportSummary(const Report &report);

// The export dialog's file types, one per format in the order of Format, and the format of the
// one chosen; the suffix a name without one gets.
QString exportFilter();
Format formatOfFileType(int fileType);
QString defaultSuffix(Format format);
// The import dialog's file types.
QString importFilter();

} // namespace QuestionExchange
