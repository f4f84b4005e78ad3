// Any text as an Aiken file: read it, map what was taken into a questionnaire, and write the
// questions back: every one of them must read again as it was, and no question line of the
// written file may be one Moodle takes for an answer, the answer line, or nothing.
#include "exchangefuzzcheck.h"

#include "document/exchange/aikenformat.h"
#include "document/exchange/exchangetext.h"

#include <QRegularExpression>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ReadResult result = AikenFormat::read(ExchangeText::decode(bytes).text);
    checkTakenQuestions(result);

    QList<ExchangeQuestion> writable;
    for (const ExchangeQuestion &question : result.questions) {
        if (AikenFormat::unwritable(question).isEmpty())
            writable.append(question);
    }
    const QString written = AikenFormat::write(writable);
    // Each question's first line follows a blank line (or starts the file).
    static const QRegularExpression misread(QStringLiteral("^[A-Z][.)]|^ANSWER:"));
    bool questionLine = true;
    for (const QString &line : written.split(QLatin1Char('\n'))) {
        if (line.isEmpty()) {
            questionLine = true;
            continue;
        }
        if (questionLine && (line.toUtf8().size() < 2 || misread.match(line).hasMatch()))
            abort();
        questionLine = false;
    }
    const ReadResult again = AikenFormat::read(written);
    if (!again.skipped.isEmpty() || again.questions.size() != writable.size())
        abort();
    for (qsizetype i = 0; i < writable.size(); ++i) {
        if (again.questions.at(i).answers != writable.at(i).answers
            || again.questions.at(i).rightAnswer != writable.at(i).rightAnswer)
            abort();
    }
    return 0;
}
