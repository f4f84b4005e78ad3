#pragma once

#include <QStringList>

class QTextStream;

// "nelo-qcm --corriger QUESTIONNAIRE.qcm SCAN...", with no window: the scanned copies (PDF or
// pictures) read against the questionnaire, every copy read without a doubt kept in the
// questionnaire's results file (beside it), and a French summary of what was read, kept,
// refused, and what waits for the teacher. Exit status 0 when every copy read is in the
// results, 2 when some wait for the teacher ("Fichier > Corriger des copies scannées...") or
// some pages could not be used, 1 when nothing could be done.
namespace MarkingCommandLine {

inline constexpr int Done = 0;
inline constexpr int Failed = 1;
inline constexpr int TeacherNeeded = 2;

bool requested(const QStringList &arguments);
int run(const QStringList &arguments, QTextStream &out, QTextStream &errors);

} // namespace MarkingCommandLine
