#include "document/exchange/moodlexmlformat.h"

#include "document/exchange/answerweights.h"

#include "document/exchange/exchangetext.h"
#include "document/exchange/quizcategory.h"
#include "document/questiongroup.h"
#include "platform/apperror.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QHash>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace MoodleXmlFormat {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("MoodleXmlFormat", text);
}

const QString PluginFile = QStringLiteral("@@PLUGINFILE@@/");

// A text as Moodle shows it. A text that names no format takes the one its question text
// has; the question text's own is HTML when it names none. `pictures` receives the src of the
// pictures an HTML text shows.
QString shownText(const QString &text, const QString &format, QStringList *pictures = nullptr)
{
    if (format == QLatin1String("plain_text") || format == QLatin1String("markdown")
        || format == QLatin1String("wiki_like"))
        return text.trimmed();
    if (format == QLatin1String("moodle_auto_format"))
        return ExchangeText::autoFormatToText(text.trimmed(), pictures);
    // "html", and any name Moodle does not know, which it takes for HTML.
    return ExchangeText::htmlToText(text, pictures);
}

// A text element of the file (<questiontext>, <answer>, <feedback>...): its text, the format it
// names (empty when none), and the files it embeds.
struct TextElement
{
    QString text;
    QString format;
    QHash<QString, QByteArray> files;
    QString fraction;
    QString feedback;
    QString feedbackFormat;

    QString formatOr(const QString &fallback) const { return format.isEmpty() ? fallback : format; }
};

QString skippedKind(const QString &type)
{
    if (type == QLatin1String("truefalse"))
        return tr("question vrai/faux");
    if (type == QLatin1String("shortanswer"))
        return tr("question à réponse courte");
    if (type == QLatin1String("numerical"))
        return tr("question numérique");
    if (type == QLatin1String("match"))
        return tr("question d'appariement");
    if (type == QLatin1String("essay"))
        return tr("question ouverte (composition)");
    if (type == QLatin1String("description"))
        return tr("description, pas une question");
    return tr("questions de type « %1 » non prises en charge").arg(type);
}

struct Skip
{
    QString reason;
};

// The text the XML reader gets. A file that declares UTF-8 (or nothing, which means UTF-8) but
// holds other bytes was most likely saved by a Windows editor: it is read as Windows-1252, as
// the text formats are, and a note says where the first such byte is.
class Source
{
public:
    explicit Source(const QByteArray &bytes) : m_bytes(bytes)
    {
        if (!declaresUtf8())
            return;
        const qsizetype bad = ExchangeText::firstNonUtf8(bytes);
        if (bad < 0)
            return;
        // Without its byte-order mark, which would have the text decoded as UTF-8 all the same.
        const QByteArray withoutMark = bytes.startsWith(Utf8Mark) ? bytes.mid(Utf8Mark.size()) : bytes;
        m_recoded = ExchangeText::decode(withoutMark).text.toUtf8();
        m_note = tr("Le fichier n'est pas écrit en UTF-8 comme un fichier Moodle XML doit l'être (octet 0x%1 à la "
                    "ligne %2) : il est lu comme un texte Windows-1252 ; vérifiez ses caractères accentués.")
                     .arg(QStringLiteral("%1").arg(uint(uchar(bytes.at(bad))), 2, 16, QLatin1Char('0')).toUpper())
                     .arg(QByteArrayView(bytes).first(bad).count('\n') + 1);
    }

    // The bytes to read: the file's own, or its text recoded into UTF-8.
    const QByteArray &bytes() const { return m_note.isEmpty() ? m_bytes : m_recoded; }
    const QString &note() const { return m_note; }

private:
    // A byte-order mark or a declared encoding other than UTF-8 is the XML reader's business.
    bool declaresUtf8() const
    {
        if (m_bytes.startsWith("\xFF\xFE") || m_bytes.startsWith("\xFE\xFF"))
            return false;
        QXmlStreamReader declaration(m_bytes.left(DeclarationLength));
        if (declaration.readNext() != QXmlStreamReader::StartDocument)
            return true;
        const QStringView encoding = declaration.documentEncoding();
        return encoding.isEmpty() || encoding.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0
            || encoding.compare(QLatin1String("utf8"), Qt::CaseInsensitive) == 0;
    }

    static constexpr qsizetype DeclarationLength = 1024;
    static constexpr QByteArrayView Utf8Mark = "\xEF\xBB\xBF";
    const QByteArray &m_bytes;
    QByteArray m_recoded;
    QString m_note;
};

class Reader
{
public:
    Reader(const QByteArray &bytes, QuestionSink &sink, ProgressTask *progress)
        : m_sink(sink), m_progress(progress), m_markup(startsWithMarkup(bytes))
    {
        const Source source(bytes);
        if (!source.note().isEmpty())
            m_sink.fileNote(source.note());
        // Through a device, the reader decodes a few kilobytes at a time; given the bytes
        // themselves, it would decode the whole file at once, twice its size in memory.
        m_input.setData(source.bytes());
        m_input.open(QIODevice::ReadOnly);
        m_xml.setDevice(&m_input);
    }

    void read()
    {
        if (!m_xml.readNextStartElement() || m_xml.name() != QLatin1String("quiz")) {
            if (m_markup)
                failIfBroken();
            throw AppError(tr("Ce fichier n'est pas un fichier Moodle XML : il ne commence pas par <quiz>."));
        }
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("question"))
                readQuestion();
            else
                m_xml.skipCurrentElement();
            if (m_progress)
                m_progress->advance(m_xml.characterOffset());
        }
        failIfBroken();
    }

private:
    // The file's first character, after a byte-order mark and blanks, opens markup: its faults
    // are syntax errors, where another file is simply not Moodle XML.
    static bool startsWithMarkup(const QByteArray &bytes)
    {
        constexpr qsizetype Start = 1024;
        return ExchangeText::decode(bytes.left(Start)).text.trimmed().startsWith(QLatin1Char('<'));
    }

    void failIfBroken()
    {
        if (m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
            throw AppError(tr("Fichier Moodle XML illisible : erreur de syntaxe à la ligne %1, colonne %2.")
                               .arg(m_xml.lineNumber())
                               .arg(m_xml.columnNumber()));
        if (m_xml.hasError())
            throw AppError(tr("Fichier Moodle XML incomplet : il s'arrête avant sa fin."));
    }

    // What a question element holds, as read.
    struct QuestionElement
    {
        QString name;
        TextElement questionText;
        TextElement generalFeedback;
        // Moodle takes a question without <single> as single-answer.
        QString single = QStringLiteral("true");
        QString shuffleAnswers;
        QList<TextElement> answers;
        // The picture of older Moodle exports, beside the question text.
        QString oldImage;
        QByteArray oldImageData;
    };

    void readQuestion()
    {
        const QString type = m_xml.attributes().value(QLatin1String("type")).toString();
        QuestionElement element;
        QString category;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == QLatin1String("category"))
                category = readText().text.trimmed();
            else if (name == QLatin1String("name"))
                element.name = readText().text.trimmed();
            else if (name == QLatin1String("questiontext"))
                element.questionText = readText();
            else if (name == QLatin1String("generalfeedback"))
                element.generalFeedback = readText();
            else if (name == QLatin1String("single"))
                element.single = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toLower();
            else if (name == QLatin1String("shuffleanswers"))
                element.shuffleAnswers = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toLower();
            else if (name == QLatin1String("answer"))
                element.answers.append(readText());
            else if (name == QLatin1String("image"))
                element.oldImage = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            else if (name == QLatin1String("image_base64"))
                element.oldImageData = base64Of(m_xml.readElementText(QXmlStreamReader::SkipChildElements));
            else
                m_xml.skipCurrentElement();
        }
        if (m_xml.hasError())
            return;
        if (type == QLatin1String("category")) {
            m_sink.category(category);
            return;
        }

        const int number = ++m_number;
        const QString questionFormat = element.questionText.formatOr(QStringLiteral("html"));
        const QString label =
            ExchangeText::label(element.name.isEmpty() ? shownText(element.questionText.text, questionFormat) : element.name);
        try {
            if (type != QLatin1String("multichoice"))
                throw Skip{skippedKind(type)};
            QString note;
            ExchangeQuestion taken = question(number, element, note);
            if (!note.isEmpty())
                m_sink.note(tr("Question %1 : %2").arg(number).arg(note));
            m_sink.take(number, std::move(taken));
        } catch (const Skip &skip) {
            m_sink.skip(SkippedQuestion{number, label, skip.reason});
        }
    }

    ExchangeQuestion question(int number, const QuestionElement &element, QString &note)
    {
        // Several answers may be ticked, each worth its fraction.
        const bool single = isTrue(element.single);
        ExchangeQuestion question;
        question.name = element.name;
        question.shuffleAnswers = isTrue(element.shuffleAnswers);
        const QString questionFormat = element.questionText.formatOr(QStringLiteral("html"));
        QStringList pictures;
        question.text = shownText(element.questionText.text, questionFormat, &pictures);
        takePicture(number, element.questionText, pictures, question);
        takeOldImage(number, element, question);

        QStringList answerFeedback;
        QList<double> weights;
        for (qsizetype a = 0; a < element.answers.size(); ++a) {
            const TextElement &answer = element.answers.at(a);
            bool ok = false;
            const double fraction = answer.fraction.toDouble(&ok);
            if (!ok || (single && fraction != 0 && fraction != 100) || fraction > 100 || fraction < -100)
                throw Skip{tr("réponses pondérées en pourcentage")};
            QStringList answerPictures;
            const QString text = shownText(answer.text, answer.formatOr(questionFormat), &answerPictures);
            if (text.isEmpty() && !answerPictures.isEmpty())
                throw Skip{tr("la réponse %1 est une image : les réponses d'un questionnaire sont écrites").arg(a + 1)};
            for (const QString &picture : std::as_const(answerPictures))
                notePictureLeft(number, picture, tr("de la réponse %1").arg(a + 1));
            if (text.isEmpty()) {
                if (fraction > 0)
                    throw Skip{tr("la bonne réponse est vide")};
                continue;
            }
            if (single && fraction == 100) {
                if (question.rightAnswer >= 0)
                    throw Skip{tr("plusieurs bonnes réponses")};
                question.rightAnswer = int(question.answers.size());
            }
            question.answers.append(text);
            weights.append(fraction);
            answerFeedback.append(feedbackText(number, answer.feedback, answer.feedbackFormat, questionFormat));
        }
        if (!single) {
            QString reason;
            if (!AnswerWeights::giveRightAnswers(weights, question, note, reason))
                throw Skip{reason};
        }
        if (question.rightAnswer < 0)
            throw Skip{tr("aucune bonne réponse")};

        const QString general =
            feedbackText(number, element.generalFeedback.text, element.generalFeedback.format, questionFormat);
        if (!general.isEmpty())
            question.feedback = general.split(QLatin1Char('\n'));
        if (std::any_of(answerFeedback.cbegin(), answerFeedback.cend(), [](const QString &t) { return !t.isEmpty(); }))
            question.answerFeedback = answerFeedback;
        return question;
    }

    QString feedbackText(int number, const QString &text, const QString &format, const QString &questionFormat)
    {
        QStringList pictures;
        const QString shown = shownText(text, format.isEmpty() ? questionFormat : format, &pictures);
        for (const QString &picture : std::as_const(pictures))
            notePictureLeft(number, picture, tr("du feedback"));
        return shown;
    }

    void notePictureLeft(int number, const QString &source, const QString &where)
    {
        const QString name = source.startsWith(PluginFile)
            ? QUrl::fromPercentEncoding(source.mid(PluginFile.size()).toUtf8()) : source;
        m_sink.note(tr("Question %1 : l'image %2 %3 n'est pas reprise : seule la question a une image.")
                        .arg(number)
                        .arg(name, where));
    }

    // The first picture the question text shows, with its embedded bytes.
    void takePicture(int number, const TextElement &questionText, const QStringList &sources,
                     ExchangeQuestion &question)
    {
        int shown = 0;
        for (const QString &source : sources) {
            if (!source.startsWith(PluginFile)) {
                m_sink.note(tr("Question %1 : l'image %2 est hors du fichier, elle n'est pas reprise.")
                                          .arg(number)
                                          .arg(source));
                continue;
            }
            const QString fileName = QUrl::fromPercentEncoding(source.mid(PluginFile.size()).toUtf8());
            const auto file = questionText.files.constFind(fileName);
            if (file == questionText.files.cend()) {
                m_sink.note(tr("Question %1 : l'image %2 manque dans le fichier.").arg(number).arg(fileName));
                continue;
            }
            if (++shown > 1) {
                m_sink.note(tr("Question %1 : seule la première image est reprise, %2 ne l'est pas.")
                                          .arg(number)
                                          .arg(fileName));
                continue;
            }
            question.picture = fileName;
            question.pictureData = *file;
        }
    }

    // Older exports name the picture in <image> and carry it in <image_base64>; Moodle shows it
    // after the question text.
    void takeOldImage(int number, const QuestionElement &element, ExchangeQuestion &question)
    {
        if (element.oldImage.isEmpty())
            return;
        const QString fileName = element.oldImage.section(QLatin1Char('/'), -1);
        if (element.oldImageData.isEmpty()) {
            m_sink.note(tr("Question %1 : l'image %2 est hors du fichier, elle n'est pas reprise.")
                            .arg(number)
                            .arg(element.oldImage));
        } else if (!question.picture.isEmpty()) {
            m_sink.note(tr("Question %1 : seule la première image est reprise, %2 ne l'est pas.").arg(number).arg(fileName));
        } else {
            question.picture = fileName;
            question.pictureData = element.oldImageData;
        }
    }

    // As Moodle reads a yes-or-no element: "false", "0" or nothing say no.
    static bool isTrue(const QString &value)
    {
        return !value.isEmpty() && value != QLatin1String("false") && value != QLatin1String("0");
    }

    static QByteArray base64Of(const QString &text)
    {
        QByteArray base64 = text.toLatin1();
        base64.replace(' ', "").replace('\n', "").replace('\r', "").replace('\t', "");
        const auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? *decoded : QByteArray();
    }

    // An element holding <text>, and maybe <file> and <feedback> elements.
    TextElement readText()
    {
        TextElement element;
        element.format = m_xml.attributes().value(QLatin1String("format")).toString();
        element.fraction = m_xml.attributes().value(QLatin1String("fraction")).toString();
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == QLatin1String("text")) {
                element.text = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
            } else if (name == QLatin1String("file")) {
                const QString fileName = m_xml.attributes().value(QLatin1String("name")).toString();
                const QByteArray decoded = base64Of(m_xml.readElementText(QXmlStreamReader::SkipChildElements));
                if (!decoded.isEmpty() && !fileName.isEmpty() && !element.files.contains(fileName))
                    element.files.insert(fileName, decoded);
            } else if (name == QLatin1String("feedback")) {
                element.feedbackFormat = m_xml.attributes().value(QLatin1String("format")).toString();
                element.feedback = readFeedback();
            } else {
                m_xml.skipCurrentElement();
            }
        }
        return element;
    }

    // An answer's feedback: its text only. Whatever it nests is skipped without a call per
    // level, so a file of thousands of nested elements cannot exhaust the stack.
    QString readFeedback()
    {
        QString text;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("text"))
                text = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
            else
                m_xml.skipCurrentElement();
        }
        return text;
    }

    QBuffer m_input;
    QXmlStreamReader m_xml;
    QuestionSink &m_sink;
    ProgressTask *m_progress;
    bool m_markup;
    int m_number = 0; // questions met so far, categories aside
};

void writeTextElement(QXmlStreamWriter &xml, const QString &element, const QString &html)
{
    xml.writeStartElement(element);
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    xml.writeTextElement(QStringLiteral("text"), html);
    xml.writeEndElement();
}

QString paragraph(const QString &text)
{
    return text.isEmpty() ? QString() : QLatin1String("<p>") + ExchangeText::textToHtml(text) + QLatin1String("</p>");
}

} // namespace

QString unwritable(const ExchangeQuestion &question)
{
    QStringList texts = {question.name, question.text, question.picture};
    texts += question.answers;
    texts += question.feedback;
    texts += question.answerFeedback;
    for (const QString &text : texts) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            const bool allowed = c >= 0x20 ? c != 0xFFFE && c != 0xFFFF : (c == u'\t' || c == u'\n' || c == u'\r');
            const bool pairedSurrogate = QChar::isHighSurrogate(c) ? i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                : QChar::isLowSurrogate(c) ? i > 0 && text.at(i - 1).isHighSurrogate() : true;
            if (!allowed || !pairedSurrogate)
                return tr("le caractère de contrôle U+%1 ne peut pas s'écrire en XML")
                    .arg(QStringLiteral("%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper());
        }
    }
    return {};
}

void read(const QByteArray &bytes, QuestionSink &sink, ProgressTask *progress)
{
    Reader(bytes, sink, progress).read();
}

ReadResult read(const QByteArray &bytes)
{
    ReadCollector collector;
    read(bytes, collector);
    return std::move(collector.result);
}

namespace {

// One multichoice question. `file` is the buffer under `xml`: the picture's base64 goes to it
// directly.
void writeQuestion(QXmlStreamWriter &xml, QBuffer &file, const ExchangeQuestion &question)
{
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("multichoice"));

    xml.writeStartElement(QStringLiteral("name"));
    xml.writeTextElement(QStringLiteral("text"),
                         question.name.isEmpty() ? ExchangeText::label(question.text) : question.name);
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("questiontext"));
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    QString html = paragraph(question.text);
    const bool embedsPicture = !question.picture.isEmpty() && !question.pictureData.isEmpty();
    if (embedsPicture) {
        const QString source = PluginFile + QString::fromLatin1(QUrl::toPercentEncoding(question.picture));
        html += QStringLiteral("<p><img src=\"%1\" alt=\"\"></p>").arg(source.toHtmlEscaped());
    }
    xml.writeTextElement(QStringLiteral("text"), html);
    if (embedsPicture) {
        xml.writeStartElement(QStringLiteral("file"));
        xml.writeAttribute(QStringLiteral("name"), question.picture);
        xml.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
        xml.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        // Closes the start tag; the writer keeps nothing back, so the bytes follow it.
        xml.writeCharacters(QString());
        // In pieces of whole base64 groups, to need no second copy of the picture.
        constexpr qsizetype Piece = 3 << 20;
        const QByteArray &data = question.pictureData;
        for (qsizetype at = 0; at < data.size(); at += Piece)
            file.write(QByteArray::fromRawData(data.constData() + at, std::min(Piece, data.size() - at)).toBase64());
        xml.writeEndElement();
    }
    xml.writeEndElement();

    writeTextElement(xml, QStringLiteral("generalfeedback"), paragraph(question.feedback.join(QLatin1Char('\n'))));
    xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
    xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0.3333333"));
    xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
    const bool several = question.rightAnswers.size() >= 2;
    const QList<double> weights =
        several ? AnswerWeights::fractions(int(question.answers.size()), question.rightAnswers) : QList<double>();
    xml.writeTextElement(QStringLiteral("single"), several ? QStringLiteral("false") : QStringLiteral("true"));
    xml.writeTextElement(QStringLiteral("shuffleanswers"),
                         question.shuffleAnswers ? QStringLiteral("true") : QStringLiteral("false"));
    xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("123"));
    for (qsizetype a = 0; a < question.answers.size(); ++a) {
        xml.writeStartElement(QStringLiteral("answer"));
        xml.writeAttribute(QStringLiteral("fraction"), several ? AnswerWeights::fractionText(weights.at(a))
                                                       : a == question.rightAnswer ? QStringLiteral("100")
                                                                                   : QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
        xml.writeTextElement(QStringLiteral("text"), ExchangeText::textToHtml(question.answers.at(a)));
        writeTextElement(xml, QStringLiteral("feedback"), paragraph(question.answerFeedback.value(a)));
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void writeCategory(QXmlStreamWriter &xml, const QString &path)
{
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
    xml.writeStartElement(QStringLiteral("category"));
    xml.writeTextElement(QStringLiteral("text"), path);
    xml.writeEndElement();
    xml.writeEndElement();
}

// A random question: Moodle's quiz draws, for each attempt, one question of the category it is
// written in that the attempt does not already hold. Its question text says whether the
// subcategories count too ("0": they do not, so a group's entry draws from that group alone).
void writeRandom(QXmlStreamWriter &xml, const QString &name)
{
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("random"));
    xml.writeStartElement(QStringLiteral("name"));
    xml.writeTextElement(QStringLiteral("text"), name);
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("questiontext"));
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("moodle_auto_format"));
    xml.writeTextElement(QStringLiteral("text"), QStringLiteral("0"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("generalfeedback"));
    xml.writeTextElement(QStringLiteral("text"), QString());
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
    xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
    xml.writeEndElement();
}

// A draw: the questions outside any group (all of them for a draw among all) in the
// questionnaire's category, each group's in a subcategory of it, and random questions that draw
// as the class does: `count` of the category, or one of each subcategory.
void writeDraw(QXmlStreamWriter &xml, QBuffer &file, const QList<ExchangeQuestion> &questions, const QString &category,
               const RandomDraw &draw)
{
    // A random question draws from a category: the questions need one even unnamed.
    const QString path = QuizCategory::pathFor(category.isEmpty() ? QStringLiteral("Questionnaire") : category);
    const QString label = QuizCategory::label(path);
    const bool byGroup = draw.kind == RandomDraw::Kind::OnePerGroup;
    auto groupOf = [&draw, byGroup](qsizetype i) { return byGroup ? draw.groups.value(i).simplified() : QString(); };

    writeCategory(xml, path);
    int ungrouped = 0;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        if (groupOf(i).isEmpty()) {
            writeQuestion(xml, file, questions.at(i));
            ++ungrouped;
        }
    }
    if (!byGroup) {
        // Never more draws than questions: Moodle would show the extra ones as an error.
        const int count = std::min(draw.count, ungrouped);
        for (int n = 1; n <= count; ++n)
            writeRandom(xml, tr("Aléatoire (%1) %2").arg(label).arg(n));
        return;
    }
    // Groups in the order their first questions come, spellings told apart as the class does.
    QStringList keys;
    QStringList names;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        const QString group = groupOf(i);
        if (!group.isEmpty() && !keys.contains(QuestionGroup::keyOf(group))) {
            keys << QuestionGroup::keyOf(group);
            names << group;
        }
    }
    for (qsizetype g = 0; g < keys.size(); ++g) {
        writeCategory(xml, QuizCategory::childPath(path, names.at(g)));
        for (qsizetype i = 0; i < questions.size(); ++i) {
            if (!groupOf(i).isEmpty() && QuestionGroup::keyOf(groupOf(i)) == keys.at(g))
                writeQuestion(xml, file, questions.at(i));
        }
        writeRandom(xml, tr("Aléatoire (%1)").arg(names.at(g)));
    }
}

} // namespace

QByteArray write(const QList<ExchangeQuestion> &questions, const QString &category)
{
    return write(questions, category, std::nullopt);
}

QByteArray write(const QList<ExchangeQuestion> &questions, const QString &category,
                 const std::optional<RandomDraw> &draw)
{
    // The pictures make most of the file: room for them is made once, and their base64 goes
    // straight into it, never through the writer's escaping, character by character, of what
    // needs none (a 200 MB picture took seconds and gigabytes that way).
    qsizetype expected = 0;
    for (const ExchangeQuestion &question : questions) {
        expected += (question.pictureData.size() + 2) / 3 * 4 + 2 * (question.name.size() + question.text.size()) + 1024;
        for (const QStringList *texts : {&question.answers, &question.feedback}) {
            for (const QString &text : *texts)
                expected += 2 * text.size() + 128;
        }
    }
    QByteArray bytes;
    bytes.reserve(expected);
    QBuffer file(&bytes);
    file.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    if (!draw) {
        if (!category.isEmpty())
            writeCategory(xml, QuizCategory::pathFor(category));
        for (const ExchangeQuestion &question : questions)
            writeQuestion(xml, file, question);
    } else {
        writeDraw(xml, file, questions, category, *draw);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    file.close();
    return bytes;
}

} // namespace MoodleXmlFormat
