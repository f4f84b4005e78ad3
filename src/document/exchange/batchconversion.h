#pragma once

#include "document/exchange/questionexchange.h"

#include <QStringList>

class QTextStream;

// Conversions for scripts, with no window: "--exporter gift|aiken|xml QUIZ.qcm OUT" and
// "--importer IN OUT.qcm", with "--ecraser" (or "--force") to replace an existing output file.
// The output is never the input file itself. Messages in French on the error stream; exit
// status 0 on success, 1 with the reason otherwise, whatever went wrong.
namespace BatchConversion {

// True when the command line asks for a conversion (checked before any window system starts).
bool requested(const QStringList &arguments);
// readPicture reads the pictures a Moodle XML export embeds.
int run(const QStringList &arguments, QTextStream &errors, const QuestionExchange::PictureReader &readPicture);

} // namespace BatchConversion
