// Any bytes as a Moodle XML file: read it (a broken file is refused with a French message),
// map what was taken into a questionnaire, and write the questions back: every one of them
// must read again exactly as it was, picture included.
#include "exchangefuzzcheck.h"

#include "document/exchange/exchangetext.h"
#include "document/exchange/moodlexmlformat.h"
#include "platform/apperror.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ReadResult result;
    try {
        result = MoodleXmlFormat::read(bytes);
    } catch (const AppError &error) {
        if (error.message().isEmpty())
            abort();
        return 0;
    }
    checkTakenQuestions(result);

    QList<ExchangeQuestion> writable;
    for (const ExchangeQuestion &question : result.questions) {
        if (!MoodleXmlFormat::unwritable(question).isEmpty())
            continue;
        writable.append(question);
        // Moodle wants a name: an unnamed question is written under the start of its text.
        if (question.name.isEmpty())
            writable.last().name = ExchangeText::label(question.text);
    }
    try {
        const ReadResult again = MoodleXmlFormat::read(MoodleXmlFormat::write(writable));
        if (!again.skipped.isEmpty() || again.questions != writable)
            abort();
    } catch (const AppError &) {
        abort();
    }
    return 0;
}
