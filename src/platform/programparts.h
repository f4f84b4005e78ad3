#pragma once

#include <QString>

// The program's parts outside its executable: the metafile converter, the statistics chart's
// module. In the build tree they stand beside the program; installed, in its private folder
// (<libexecdir>/nelo-qcm), found from the program's own folder whatever the prefix.
enum class ProgramPart { Executable, Module };

// The part's path, beside the program first, then in the private folder; empty when neither
// holds a file of that name (an executable one, for an executable).
QString locateProgramPart(const QString &programFolder, const QString &fileName, ProgramPart kind);
