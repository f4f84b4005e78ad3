#pragma once

#include <QDir>
#include <QStringList>

struct Services;

// The class's windows for docs/screenshots: the pupils' window (a question at 1366 x 768 and
// 1920 x 1080, the end with the mark and the corrections), the settings of the class run and
// the class lists. Returns false when a picture could not be written.
bool saveClassWindows(const QStringList &document, const QString &questionnaireFolder, Services &services,
                      const QDir &output);
