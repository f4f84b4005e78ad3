#include "runner/reporthtml.h"

namespace ReportHtml {

QString cell(const QString &text)
{
    return QStringLiteral("<td>%1</td>").arg(text.toHtmlEscaped());
}

QString number(const QString &text, bool emphasised)
{
    const QString escaped = text.toHtmlEscaped();
    return QStringLiteral("<td align=\"right\">%1</td>")
        .arg(emphasised ? QStringLiteral("<b>%1</b>").arg(escaped) : escaped);
}

QString tableHeader(const QStringList &captions, int firstWidth)
{
    QString row = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (qsizetype c = 0; c < captions.size(); ++c) {
        const QString width = c == 0 && firstWidth > 0 ? QStringLiteral(" width=\"%1%\"").arg(firstWidth) : QString();
        row += QStringLiteral("<th%1>%2</th>").arg(width, captions.at(c).toHtmlEscaped());
    }
    return row + QStringLiteral("</tr></thead>");
}

} // namespace ReportHtml
