#include "document/questionstore.h"

#include "document/blockindex.h"
#include "document/classsettings.h"
#include "document/picturelocation.h"
#include "document/qcmblock.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "document/sheetfields.h"
#include "platform/apperror.h"
#include "platform/messageboxes.h"

#include <QFileInfo>
#include <QObject>

#include <algorithm>
#include <vector>

using namespace QcmFormat;

namespace {

bool isBlank(const QString &line)
{
    return std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() <= u' '; });
}

// Blank lines at the very top go; the loop stops once fewer than 3 lines remain.
void dropBlankTop(QStringList &lines)
{
    while (!lines.isEmpty() && isBlank(lines.first())) {
        lines.removeFirst();
        if (lines.size() < 3)
            break;
    }
}

// Rebuilds a damaged document from its blocks: every block number that has an opening tag, in
// numeric order, renumbered from 0 without holes, each ending where every reader ends it
// (blockEnd) and getting its closing tag back. The class settings above the first block stay.
QStringList rebuiltFromBlocks(const QStringList &lines)
{
    const std::vector<int> firstOpening = firstOpeningLines(lines);

    QStringList rebuilt = ClassSettingsFormat::settingsLines(lines);
    int next = 0;
    for (int number = 0; number < MaxQuestions; ++number) {
        const int open = firstOpening[number];
        if (open < 0)
            continue;
        const QString closing = closingTag(number);
        rebuilt.append(openingTag(next));
        const int end = blockEnd(lines, open, number);
        for (int i = open + 1; i < end && lines.at(i) != closing; ++i) {
            // The block's own closing tag in another letter case is free text inside it; left
            // with its old number it would close the renumbered block there and strand the
            // lines after it, so it takes the new number, its letter case kept.
            const QString &line = lines.at(i);
            rebuilt.append(closingTagNumber(line) == number ? renumberedTag(line, next) : line);
        }
        rebuilt.append(closingTag(next));
        ++next;
    }
    return rebuilt;
}

// Questions the sheet can reach: tags have four digits, so at most 10,000.
int reachableQuestions(const QStringList &lines)
{
    return std::min(countQuestions(lines), MaxQuestions);
}

// In a questionnaire of more than 10,000 questions, the blocks whose tag repeats an earlier one
// (question 10,001 is tagged like question 1) can never be reached, and would be taken for the
// earlier question as soon as that one is written back to the end of the document. They are
// taken out, untouched and in their order, to be saved after the others.
QStringList takeRepeatedBlocks(QStringList &lines)
{
    std::vector<bool> seen(MaxQuestions, false);
    QStringList kept;
    QStringList repeated;
    kept.reserve(lines.size());
    for (int i = 0; i < int(lines.size());) {
        const int number = openingTagNumber(lines.at(i));
        if (number < 0 || !seen[number]) {
            if (number >= 0)
                seen[number] = true;
            kept.append(lines.at(i++));
            continue;
        }
        const int end = blockEnd(lines, i, number);
        for (; i < end; ++i)
            repeated.append(lines.at(i));
    }
    lines = std::move(kept);
    return repeated;
}

QString unencodableMessage(const QStringList &lines, const QcmText::Unencodable &where)
{
    int question = -1;
    for (int i = where.line; i >= 0 && question < 0; --i) {
        if (startsOpeningTag(lines.at(i)))
            question = openingTagNumber(lines.at(i));
    }
    const QString character = QString::fromUcs4(&where.character, 1);
    if (question >= 0)
        return QObject::tr("Le caractère « %1 » de la question %2 ne peut pas être enregistré dans un "
                           "questionnaire. Remplacez-le puis enregistrez à nouveau")
            .arg(character)
            .arg(question + 1);
    return QObject::tr("Le caractère « %1 » de la ligne %2 ne peut pas être enregistré dans un "
                       "questionnaire. Remplacez-le puis enregistrez à nouveau")
        .arg(character)
        .arg(where.line + 1);
}

// The file's bytes; text the code page cannot hold is refused, naming where it stands.
QByteArray encodedForSaving(const QStringList &lines)
{
    try {
        return QcmText::encodeLines(lines);
    } catch (const QcmText::Unencodable &where) {
        throw AppError(unencodableMessage(lines, where));
    }
}

} // namespace

QuestionStore::QuestionStore(SheetFields &sheet, MessageBoxes &boxes) : m_sheet(sheet), m_boxes(boxes) {}

QcmFile::Fingerprint QuestionStore::Charge(const QString &path)
{
    const QString name = qcmFileName(path);
    const QByteArray bytes = QcmFile::read(name);
    // Hashed while the bytes are fresh from the read.
    const QcmFile::Fingerprint fingerprint = QcmFile::fingerprintOf(bytes);
    QcmText::Decoded decoded = QcmText::decodeQuestionnaire(bytes);
    m_questionnaireFolder = PictureLocation::folderOf(name);
    adopt(std::move(decoded.lines), decoded.tags, fileNameOf(name), decoded.droppedNuls);
    return fingerprint;
}

void QuestionStore::ChargeLignes(const QStringList &lines, const QString &caption)
{
    m_questionnaireFolder.clear();
    adopt(lines, countTags(lines), caption, 0);
}

void QuestionStore::loadUnsaved(const QStringList &lines)
{
    m_questionnaireFolder.clear();
    adopt(lines, countTags(lines), QString(), 0);
    m_documentModified = true;
}

void QuestionStore::adopt(QStringList lines, TagCounts tags, const QString &caption, int droppedNuls)
{
    m_history.clear();
    m_document = std::move(lines);
    m_blocksBeyond.clear();
    m_documentModified = false;
    m_sheet.setCaption(caption);
    m_sheet.plainTitle();
    const int blocks = tags.openings;
    if (blocks > MaxQuestions) {
        m_blocksBeyond = takeRepeatedBlocks(m_document);
        tags = countTags(m_document);
    }
    m_questionCount = std::min(tags.openings, MaxQuestions);
    if (tags.balance() != 0)
        offerRepair();
    m_currentQuestion = 0;
    LitFiche();
    // The dropped NUL bytes are a change the file does not have yet.
    m_documentModified = droppedNuls > 0;
    m_sheetModified = false;

    // Told over the questionnaire they are about, once it is on screen.
    if (droppedNuls > 0)
        m_boxes.warn(QObject::tr("Le fichier contenait %1 caractère(s) nul(s), qui ont été retirés.").arg(droppedNuls));
    if (blocks > MaxQuestions)
        m_boxes.warn(QObject::tr("Ce questionnaire compte %1 questions ; seules les %2 premières peuvent être "
                                 "affichées et modifiées.")
                         .arg(blocks)
                         .arg(MaxQuestions));
}

QStringList QuestionStore::savedLines() const
{
    QStringList lines = m_document;
    dropBlankTop(lines);
    QcmBlock::remove(lines, m_currentQuestion);
    QcmBlock::append(lines, m_currentQuestion, m_currentPicture, m_sheet.fields());
    return lines + m_blocksBeyond;
}

QByteArray QuestionStore::ContenuFichier() const
{
    return encodedForSaving(savedLines());
}

QcmFile::Fingerprint QuestionStore::Sauve(const QString &path)
{
    // Everything is prepared on a copy: a save that fails leaves the document and the flags as
    // they were, and the earlier file intact.
    QStringList lines = savedLines();
    const QByteArray bytes = encodedForSaving(lines);
    QcmFile::write(qcmFileName(path), bytes);
    m_questionnaireFolder = PictureLocation::folderOf(qcmFileName(path));
    lines.resize(lines.size() - m_blocksBeyond.size());
    m_document = std::move(lines);
    m_documentModified = false;
    m_sheetModified = false;
    m_history.markAllModified();
    return QcmFile::fingerprintOf(bytes);
}

void QuestionStore::Nouveau()
{
    m_history.clear();
    m_document.clear();
    m_blocksBeyond.clear();
    m_questionnaireFolder.clear();
    m_questionCount = 1;
    m_currentQuestion = 0;
    m_sheet.restyleTitle();
    LitFiche();
    // The empty question has no block, so reading it leaves the focus where it was.
    m_sheet.focusTitle();
    m_documentModified = false;
}

void QuestionStore::Verif()
{
    if (tagBalance(m_document) != 0)
        offerRepair();
}

void QuestionStore::offerRepair()
{
    const MessageAnswer answer = m_boxes.show(MessageIcon::Warning, QObject::tr("Le fichier a été altéré. Restaurer ?"),
                                              MessageButtons::YesNo);
    if (answer == MessageAnswer::No)
        return;
    m_document = rebuiltFromBlocks(m_document);
    m_questionCount = reachableQuestions(m_document);
    m_documentModified = true;
    m_sheetModified = true;
}

void QuestionStore::Squize()
{
    dropBlankTop(m_document);
}

void QuestionStore::EcritFiche()
{
    if (!m_history.isEmpty() && sheetEditedSinceRead())
        m_history.clear();
    QcmBlock::remove(m_document, m_currentQuestion);
    QcmBlock::append(m_document, m_currentQuestion, m_currentPicture, m_sheet.fields());
}

void QuestionStore::LitFiche()
{
    m_reading = true;
    m_sheetModified = false;
    m_sheet.setQuestionLabel(QObject::tr("Question %1").arg(m_currentQuestion + 1));
    m_currentPicture.clear();
    m_sheet.clearPicture();

    const std::optional<QcmBlock::Content> block = QcmBlock::read(m_document, m_currentQuestion);
    if (!block) {
        m_sheet.setFields(QuestionFields());
        m_readFields = m_sheet.fields();
        m_readPicture.clear();
        m_reading = false;
        return;
    }
    m_sheet.setFields(block->fields);
    m_currentPicture = block->picture;
    const QString pictureFile = PictureLocation::resolve(m_currentPicture, m_questionnaireFolder);
    if (block->rightAnswerReadable && !pictureFile.isEmpty() && QFileInfo::exists(pictureFile)) {
        try {
            m_sheet.loadPicture(pictureFile);
        } catch (...) {
            // A picture that cannot be read is simply not shown while browsing questions.
            m_sheet.clearPicture();
        }
    }
    m_sheet.focusTitle();
    m_sheetModified = false;
    m_readFields = m_sheet.fields();
    m_readPicture = m_currentPicture;
    m_reading = false;
}

void QuestionStore::Ajout()
{
    if (m_questionCount >= MaxQuestions) {
        m_boxes.warn(QObject::tr("Un questionnaire ne peut pas contenir plus de %1 questions.").arg(MaxQuestions));
        return;
    }
    remember();
    // A loaded file without any block counts no question although the sheet shows one: the
    // write-back above has just given that question its block.
    m_questionCount = std::max(m_questionCount, m_currentQuestion + 1);
    m_document.append(QStringLiteral(" "));
    m_currentQuestion = m_questionCount;
    ++m_questionCount;
    LitFiche();
    m_sheet.focusTitle();
}

void QuestionStore::Supprime()
{
    remember();
    QcmBlock::remove(m_document, m_currentQuestion);
    m_documentModified = true;
    Renum();
    m_currentQuestion = std::min(m_currentQuestion, std::max(0, m_questionCount - 1));
    LitFiche();
}

void QuestionStore::Renum()
{
    if (m_questionCount < 2)
        return;
    for (QString &line : m_document) {
        // Only whole tag lines are renumbered: free text such as "<BLOC0003> suite" would lose
        // its words and become a tag of another block.
        const bool opening = startsOpeningTag(line);
        const int number = opening ? openingTagNumber(line) : startsClosingTag(line) ? closingTagNumber(line) : -1;
        if (number > m_currentQuestion)
            line = opening ? openingTag(number - 1) : closingTag(number - 1);
    }
    --m_questionCount;
}

void QuestionStore::AllerA(int question)
{
    EcritFiche();
    m_currentQuestion = std::clamp(question, 0, std::max(0, m_questionCount - 1));
    LitFiche();
    m_sheet.focusTitle();
}

void QuestionStore::rewriteDocument(const LineEdit &edit, int questionAfter)
{
    EcritFiche();
    UndoHistory::State before = currentState();
    // The edit works on a copy (the lines themselves are shared until written): a command that
    // fails half-way leaves nothing half-done.
    QStringList lines = m_document;
    const bool changed = edit(lines);
    m_document = std::move(lines);
    if (changed) {
        m_history.push(std::move(before));
        m_documentModified = true;
    }
    m_questionCount = reachableQuestions(m_document);
    if (questionAfter >= 0)
        m_currentQuestion = questionAfter;
    m_currentQuestion = std::clamp(m_currentQuestion, 0, std::max(0, m_questionCount - 1));
    LitFiche();
}

UndoHistory::State QuestionStore::currentState() const
{
    return {m_document, m_questionCount, m_currentQuestion, m_documentModified, m_sheetModified};
}

bool QuestionStore::sheetEditedSinceRead() const
{
    return m_currentPicture != m_readPicture || m_sheet.fields() != m_readFields;
}

void QuestionStore::remember()
{
    EcritFiche();
    m_history.push(currentState());
    // What the sheet shows is now in the history: the command may change it.
    m_readFields = m_sheet.fields();
    m_readPicture = m_currentPicture;
}

void QuestionStore::Annuler()
{
    if (m_history.isEmpty())
        return;
    UndoHistory::State state = m_history.pop();
    m_document = std::move(state.document);
    m_questionCount = state.questionCount;
    m_currentQuestion = state.currentQuestion;
    LitFiche();
    m_documentModified = state.documentModified;
    m_sheetModified = state.sheetModified;
}

void QuestionStore::Precedent()
{
    AllerA(m_currentQuestion - 1);
}

void QuestionStore::Suivant()
{
    if (m_questionCount < 2)
        return;
    AllerA(m_currentQuestion + 1);
}

void QuestionStore::Premier()
{
    AllerA(0);
}

void QuestionStore::Dernier()
{
    if (m_questionCount < 2)
        return;
    AllerA(m_questionCount - 1);
}

void QuestionStore::SheetEdited()
{
    if (m_reading)
        return;
    m_sheetModified = true;
    m_documentModified = true;
}

void QuestionStore::sheetCommand(const std::function<void()> &change)
{
    remember();
    change();
    m_readFields = m_sheet.fields();
    SheetEdited();
}

void QuestionStore::setCurrentPicture(const QString &path)
{
    remember();
    m_currentPicture = path;
    m_readPicture = path;
    SheetEdited();
}

void QuestionStore::SuppImg()
{
    remember();
    m_currentPicture.clear();
    m_readPicture.clear();
    EcritFiche();
    LitFiche();
    SheetEdited();
}

void QuestionStore::Coller(const QString &title, const std::array<QString, QcmFormat::AnswerCount> &answers)
{
    remember();
    QuestionFields fields = m_sheet.fields();
    fields.title = title;
    fields.answers = answers;
    m_sheet.setFields(fields);
    m_readFields = m_sheet.fields();
    EcritFiche();
    LitFiche();
    SheetEdited();
}
