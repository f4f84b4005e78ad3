// Any text as a GIFT file: read it, map what was taken into a questionnaire, and write the
// multiple-choice questions back: every one of them must read again exactly as it was, texts
// that look like format markers or weights included.
#include "exchangefuzzcheck.h"

#include "document/exchange/exchangetext.h"
#include "document/exchange/giftformat.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ReadResult result = GiftFormat::read(ExchangeText::decode(bytes).text);
    checkTakenQuestions(result);

    QList<ExchangeQuestion> writable;
    for (const ExchangeQuestion &question : result.questions) {
        if (question.answers.size() >= 2)
            writable.append(question);
    }
    const ReadResult again = GiftFormat::read(GiftFormat::write(writable));
    if (!again.skipped.isEmpty() || again.questions.size() != writable.size())
        abort();
    for (qsizetype i = 0; i < writable.size(); ++i) {
        if (!(again.questions.at(i) == writable.at(i)))
            abort();
    }
    return 0;
}
