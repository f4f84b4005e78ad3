#pragma once

#include <QStringList>

class QTextStream;

// Conversions for scripts, with no window: "--exporter gift|aiken|xml QUIZ.qcm OUT" and
// "--importer IN OUT.qcm". Messages in French on the error stream; exit status 0 on success,
// 1 with the reason otherwise.
namespace BatchConversion {

// True when the command line asks for a conversion (checked before any window system starts).
bool requested(const QStringList &arguments);
int run(const QStringList &arguments, QTextStream &errors);

} // namespace BatchConversion
