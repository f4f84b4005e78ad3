#pragma once

#include <QString>
#include <QStringList>

// The pieces of the printed reports (results of a run, statistics of a class): rich text for
// QTextDocument, which repeats a table's header on every page.
namespace ReportHtml {

QString cell(const QString &text);
// Numbers line up on the right, as in the windows.
QString number(const QString &text, bool emphasised = false);
// Opens a bordered table the width of the page with its header row; the first column (a
// title, a name) takes `firstWidth` percent of it when given.
QString tableHeader(const QStringList &captions, int firstWidth = 0);

} // namespace ReportHtml
