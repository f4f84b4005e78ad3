// Any text as an Aiken file: read it, map what was taken into a questionnaire, and write the
// questions back: every one of them must read again as it was.
#include "exchangefuzzcheck.h"

#include "document/exchange/aikenformat.h"
#include "document/exchange/exchangetext.h"

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
    const ReadResult again = AikenFormat::read(AikenFormat::write(writable));
    if (!again.skipped.isEmpty() || again.questions.size() != writable.size())
        abort();
    for (qsizetype i = 0; i < writable.size(); ++i) {
        if (again.questions.at(i).answers != writable.at(i).answers
            || again.questions.at(i).rightAnswer != writable.at(i).rightAnswer)
            abort();
    }
    return 0;
}
