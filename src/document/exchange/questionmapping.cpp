#include "document/exchange/questionmapping.h"

#include "document/answerchoices.h"
#include "document/correction.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"

#include <QCoreApplication>
#include <QHash>

namespace QuestionMapping {

namespace {

using namespace QcmFormat;

QString tr(const char *text)
{
    return QCoreApplication::translate("QuestionMapping", text);
}

bool isBlankText(const QString &text)
{
    return text.trimmed().isEmpty();
}

// Cuts before MaxFieldLength, at the last space when there is one in the second half.
std::pair<QString, QString> splitTitle(const QString &line)
{
    if (line.size() <= MaxFieldLength)
        return {line, QString()};
    qsizetype cut = line.lastIndexOf(QLatin1Char(' '), MaxFieldLength);
    if (cut < MaxFieldLength / 2)
        cut = MaxFieldLength;
    // Never between the two halves of a surrogate pair.
    if (cut > 0 && line.at(cut - 1).isHighSurrogate())
        --cut;
    return {line.left(cut).trimmed(), line.mid(cut).trimmed()};
}

void dropTrailingBlankLines(QStringList &lines)
{
    while (!lines.isEmpty() && isBlankText(lines.constLast()))
        lines.removeLast();
}

// At most `count` lines, those beyond joined on the last one.
void folded(QStringList &lines, int count)
{
    if (lines.size() <= count || count < 1)
        return;
    const QString tail = lines.mid(count - 1).join(QLatin1Char(' '));
    lines.resize(count - 1);
    lines.append(tail);
}

} // namespace

QList<std::pair<int, SourceBlock>> blocks(const QStringList &lines)
{
    const int count = std::min(countQuestions(lines), MaxQuestions);
    // First line of each opening tag, letter case ignored, as the block search finds it.
    QHash<QString, int> firstOpening;
    // Lines where a block's reading stops at the latest.
    std::vector<int> openings;
    for (int i = 0; i < int(lines.size()); ++i) {
        const QString &line = lines.at(i);
        if (startsOpeningTag(line))
            openings.push_back(i);
        if (line.size() != openingTag(0).size() || !line.startsWith(QLatin1String("<BLOC"), Qt::CaseInsensitive))
            continue;
        const QString key = line.toLower();
        if (!firstOpening.contains(key))
            firstOpening.insert(key, i);
    }

    QList<std::pair<int, SourceBlock>> result;
    for (int question = 0; question < count; ++question) {
        const auto found = firstOpening.constFind(openingTag(question).toLower());
        if (found == firstOpening.cend())
            continue;
        // The block, up to the next line opening one: that is as far as its reading can go.
        const auto next = std::upper_bound(openings.begin(), openings.end(), *found);
        const int end = next == openings.end() ? int(lines.size()) : *next;
        const QStringList blockLines = lines.mid(*found, end - *found);
        const std::optional<QcmBlock::Content> content = QcmBlock::read(blockLines, question);
        if (!content)
            continue;
        SourceBlock block;
        static_cast<QcmBlock::Content &>(block) = *content;
        block.rightAnswerField = fieldAt(blockLines, RightAnswerLine, blockEnd(blockLines, 0, question),
                                         RightAnswerKeyword.size());
        result.append({question, std::move(block)});
    }
    return result;
}

std::optional<ExchangeQuestion> fromBlock(const SourceBlock &block, QString &reason)
{
    const QuestionFields &fields = block.fields;
    if (isBlankText(fields.title)) {
        reason = tr("question sans titre");
        return std::nullopt;
    }
    const QString written = block.rightAnswerField.trimmed();
    if (written.isEmpty()) {
        reason = tr("aucune bonne réponse indiquée");
        return std::nullopt;
    }
    bool readable = false;
    const int right = written.toInt(&readable);
    if (!readable || !block.rightAnswerReadable) {
        reason = tr("numéro de la bonne réponse illisible (« %1 »)").arg(written);
        return std::nullopt;
    }
    if (right < 1 || right > AnswerCount) {
        reason = tr("la bonne réponse n° %1 n'existe pas : les réponses vont de 1 à %2").arg(right).arg(AnswerCount);
        return std::nullopt;
    }
    ExchangeQuestion question;
    question.text = fields.title;
    const AnswerChoices::Split choices = AnswerChoices::read(fields.freeText, fields.rightAnswer);
    bool anyFeedback = false;
    for (int a = 0; a < AnswerCount; ++a) {
        if (isBlankText(fields.answers[a]))
            continue;
        if (a + 1 == fields.rightAnswer)
            question.rightAnswer = int(question.answers.size());
        // A right answer without a text is no answer a pupil can tick.
        if (choices.choices.right[size_t(a)])
            question.rightAnswers.append(int(question.answers.size()));
        question.answers.append(fields.answers[a]);
        question.answerFeedback.append(choices.choices.feedback[size_t(a)]);
        anyFeedback = anyFeedback || !choices.choices.feedback[size_t(a)].isEmpty();
    }
    if (question.rightAnswers.size() < 2)
        question.rightAnswers.clear();
    if (!anyFeedback)
        question.answerFeedback.clear();
    if (question.rightAnswer < 0) {
        reason = tr("la bonne réponse (n° %1) est vide").arg(fields.rightAnswer);
        return std::nullopt;
    }
    if (question.answers.size() < 2) {
        reason = tr("moins de deux réponses");
        return std::nullopt;
    }
    // What the pupil reads before answering goes with the question; the correction is what
    // Moodle shows after.
    Correction::FreeTextParts parts = Correction::split(choices.freeText);
    dropTrailingBlankLines(parts.statement);
    dropTrailingBlankLines(parts.correction);
    if (!parts.statement.isEmpty())
        question.text += QLatin1Char('\n') + parts.statement.join(QLatin1Char('\n'));
    question.feedback = parts.correction;
    question.picture = block.picture;
    return question;
}

std::optional<Block> toBlock(const ExchangeQuestion &question, int number, QString &reason, QStringList &notes)
{
    const auto note = [&](const QString &text) { notes.append(tr("Question %1 : %2").arg(number).arg(text)); };

    QStringList textLines = question.text.split(QLatin1Char('\n'));
    while (!textLines.isEmpty() && isBlankText(textLines.constFirst()))
        textLines.removeFirst();
    if (textLines.isEmpty()) {
        reason = tr("question sans texte");
        return std::nullopt;
    }
    if (question.rightAnswer < 0 || question.rightAnswer >= question.answers.size()) {
        reason = tr("aucune bonne réponse");
        return std::nullopt;
    }
    // Moodle refuses it, and so would this program's export.
    if (question.answers.size() < 2) {
        reason = tr("moins de deux réponses");
        return std::nullopt;
    }
    if (question.rightAnswer >= AnswerCount) {
        reason = tr("la bonne réponse est la %1e, au-delà des cinq réponses d'un questionnaire")
                     .arg(question.rightAnswer + 1);
        return std::nullopt;
    }

    Block block;
    QuestionFields &fields = block.fields;
    const int kept = int(std::min<qsizetype>(question.answers.size(), AnswerCount));
    for (int a = 0; a < kept; ++a) {
        const QString answer = question.answers.at(a).split(QLatin1Char('\n')).join(QLatin1Char(' '));
        if (answer.size() > MaxFieldLength) {
            reason = tr("la réponse %1 dépasse %2 caractères").arg(a + 1).arg(MaxFieldLength);
            return std::nullopt;
        }
        fields.answers[a] = answer;
    }
    if (question.answers.size() > AnswerCount)
        note(tr("%1 réponses ; seules les cinq premières sont reprises").arg(question.answers.size()));
    fields.rightAnswer = question.rightAnswer + 1;
    AnswerChoices::Choices choices;
    for (const int a : question.rightAnswers) {
        if (a >= AnswerCount) {
            reason = tr("une bonne réponse est la %1e, au-delà des cinq réponses d'un questionnaire").arg(a + 1);
            return std::nullopt;
        }
        choices.right[size_t(a)] = true;
    }
    for (int a = 0; a < kept; ++a)
        choices.feedback[size_t(a)] = question.answerFeedback.value(a).split(QLatin1Char('\n')).join(QLatin1Char(' ')).trimmed();
    if (choices.several())
        fields.rightAnswer = choices.firstRight(fields.rightAnswer);

    const auto [title, rest] = splitTitle(textLines.takeFirst());
    fields.title = title;
    QStringList statement;
    if (!rest.isEmpty()) {
        statement.append(rest);
        note(tr("texte de plus de %1 caractères, la suite est dans le texte libre").arg(MaxFieldLength));
    }
    statement += textLines;
    dropTrailingBlankLines(statement);
    QStringList correction = question.feedback;
    dropTrailingBlankLines(correction);

    // Each part is folded on its own, so that the marker keeps its line between them; the
    // right answers and the answers' comments keep their own lines within the twelve.
    const int choiceLines = choices.isEmpty() ? 0 : AnswerChoices::lineCount({}, choices) - 1;
    const int budget = MaxFreeTextLines - choiceLines;
    const bool marker = !correction.isEmpty() || choiceLines > 0;
    const int freeLines = int(statement.size()) + (marker ? 1 : 0) + int(correction.size());
    if (freeLines > budget) {
        const int correctionLines = correction.isEmpty() ? (marker ? 1 : 0) : 2;
        folded(statement, std::min<int>(int(statement.size()), budget - correctionLines));
        folded(correction, budget - int(statement.size()) - 1);
        note(tr("texte libre de plus de %1 lignes, les dernières sont réunies sur une ligne").arg(MaxFreeTextLines));
    }
    QStringList freeText = statement;
    if (!correction.isEmpty())
        freeText += QStringList{Correction::marker()} + correction;
    freeText = AnswerChoices::write(freeText, choices);
    for (QString &line : freeText) {
        // Such a line would be taken for a block's tag.
        if (line.startsWith(QLatin1String("<BLOC")) || line.startsWith(QLatin1String("</BLOC"))) {
            line.prepend(QLatin1Char(' '));
            note(tr("une ligne du texte libre commençant par « <BLOC » est précédée d'une espace"));
        }
    }
    fields.freeText = freeText;

    block.picture = question.picture;
    return block;
}

QString unencodableCharacter(const Block &block)
{
    QStringList texts = {block.fields.title, block.picture};
    for (const QString &answer : block.fields.answers)
        texts.append(answer);
    texts += block.fields.freeText;
    for (const QString &text : texts) {
        const int at = QcmText::firstUnencodable(text);
        if (at < 0)
            continue;
        if (text.at(at).isHighSurrogate() && at + 1 < text.size())
            return text.mid(at, 2);
        return text.mid(at, 1);
    }
    return {};
}

QStringList documentOf(const QList<Block> &blocks, int firstQuestion)
{
    QStringList lines;
    for (int index = 0; index < int(blocks.size()); ++index) {
        if (firstQuestion + index > 0)
            lines.append(QStringLiteral(" "));
        QcmBlock::append(lines, firstQuestion + index, blocks.at(index).picture, blocks.at(index).fields);
    }
    return lines;
}

} // namespace QuestionMapping
