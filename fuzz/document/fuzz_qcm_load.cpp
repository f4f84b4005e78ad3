// Any bytes as a .qcm file: load, repair, read every question, write every question back, save
// to memory. Nothing may crash, and the repaired document must come out as blocks 0, 1, 2...
// each closed by its own tag, with nothing around them. Free text that merely begins like a tag
// ("<BLOCAGE", "</BLOC0000.") stays in its block, so the repaired document may still count
// unbalanced: that is the text's own business, not the repair's.
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "document/questionstore.h"
#include "document/memorysheet.h"
#include "platform/apperror.h"
#include "platform/scriptedmessageboxes.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool blocksInOrder(const QStringList &lines)
{
    using namespace QcmFormat;
    int at = 0;
    for (int question = 0; at < int(lines.size()); ++question) {
        if (lines.at(at) != openingTag(question) || findBlock(lines, question) != at)
            return false;
        const int end = blockEnd(lines, at, question);
        if (lines.at(end - 1) != closingTag(question))
            return false;
        at = end;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool restore = size > 0 && (data[0] & 1);

    MemorySheet sheet;
    ScriptedMessageBoxes boxes;
    boxes.script(restore ? MessageAnswer::Yes : MessageAnswer::No);
    QuestionStore store(sheet, boxes);
    const QcmText::Decoded decoded = QcmText::decodeQuestionnaire(bytes);
    // Loading a file trusts the tags counted while decoding: they must be the lines' own.
    const QcmFormat::TagCounts counted = QcmFormat::countTags(decoded.lines);
    if (decoded.tags.openings != counted.openings || decoded.tags.closings != counted.closings)
        abort();
    store.ChargeLignes(decoded.lines, QStringLiteral("fuzz.qcm"));
    if (restore && boxes.pendingAnswers() == 0 && !blocksInOrder(store.document()))
        abort();

    for (int n = 0; n < store.QuestionCount(); ++n) {
        store.AllerA(n);
        if (store.CurrentQuestion() != n)
            abort();
    }
    if (store.QuestionCount() > 1) {
        store.Supprime();
        store.Ajout();
    }
    try {
        const QByteArray saved = store.ContenuFichier();
        // What was saved loads again into the same lines.
        if (QcmText::encodeLines(QcmText::decodeLines(saved)) != saved)
            abort();
    } catch (const AppError &) {
        // Only C1 controls decoded from bytes 0x80-0x9F could be refused, and those all encode.
        abort();
    }
    return 0;
}
