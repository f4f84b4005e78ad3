#pragma once

#include <QDir>
#include <QStringList>

struct Services;

// Copies marked from scans, for docs/screenshots: the first page of a copy in each layout
// (drawn from the PDF as a scanner would see it), the dialog that prints them, and the review
// window on a doubtful question of a scanned copy. Returns false when a picture could not be
// written.
bool saveMarkingWindows(const QStringList &document, const QString &questionnaireFolder, Services &services,
                        const QDir &output);
