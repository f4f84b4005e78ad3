#include "printing/paperlayout.h"

#include "results/printedtext.h"

#include <QFontMetricsF>

#include <algorithm>

namespace {

constexpr qreal QuestionGap = 14;   // between two questions
constexpr qreal LineGap = 3;        // between the parts of a question
constexpr qreal BoxSize = PaperLayout::BoxSize;
constexpr qreal BoxGap = 6;
constexpr qreal Indent = PaperLayout::Indent;
constexpr qreal FooterHeight = 18;
constexpr int KeyColumns = 4;

// Places items one after another down the pages.
class Pager
{
public:
    Pager(std::vector<PaperItem> &items, const QSizeF &area, qreal footerHeight)
        : m_items(items), m_area(area), m_footerHeight(footerHeight)
    {
    }

    qreal bottom() const { return m_area.height() - m_footerHeight; }
    qreal y() const { return m_y; }
    int page() const { return m_page; }
    void newPage()
    {
        ++m_page;
        m_y = 0;
    }
    // Items placed on this page by hand end at `y`.
    void skipTo(qreal y) { m_y = std::max(m_y, y); }
    // A group of items measured from 0: on this page when it fits, else at the top of the next;
    // a group taller than a page breaks between its items.
    void placeGroup(std::vector<PaperItem> group, qreal height)
    {
        if (m_y > 0 && m_y + height > bottom())
            newPage();
        if (height <= bottom()) {
            for (PaperItem &item : group) {
                item.page = m_page;
                item.rect.translate(0, m_y);
                m_items.push_back(std::move(item));
            }
            m_y += height;
            return;
        }
        qreal shift = m_y;
        for (PaperItem &item : group) {
            if (item.rect.top() + shift > 0 && item.rect.bottom() + shift > bottom()) {
                newPage();
                shift = -item.rect.top();
            }
            item.page = m_page;
            item.rect.translate(0, shift);
            m_y = item.rect.bottom();
            m_items.push_back(std::move(item));
        }
    }

private:
    std::vector<PaperItem> &m_items;
    QSizeF m_area;
    qreal m_footerHeight;
    int m_page = 0;
    qreal m_y = 0;
};

// Each question as one group: title, picture, free text, then its answers with their boxes.
void placeQuestions(Pager &pager, const std::vector<PaperQuestion> &questions, qreal width)
{
    const PaperLayout::Fonts font = PaperLayout::fonts();
    const QFontMetricsF titleMetrics(font.title), textMetrics(font.text);
    const qreal textWidth = width - Indent;
    const qreal answerWidth = textWidth - BoxSize - BoxGap;
    for (size_t q = 0; q < questions.size(); ++q) {
        const PaperQuestion &question = questions[q];
        const int index = int(q);
        std::vector<PaperItem> group;
        qreal y = 0;
        const QString title = PaperLayout::heading(int(q) + 1, question);
        qreal h = PrintedText::height(titleMetrics, title, width);
        group.push_back({PaperItem::QuestionTitle, 0, QRectF(0, y, width, h), title, index});
        y += h + LineGap;
        if (!question.pictureSize.isEmpty()) {
            QSizeF size = question.pictureSize;
            size.scale(QSizeF(width / 3, pager.bottom() / 3).boundedTo(size), Qt::KeepAspectRatio);
            group.push_back({PaperItem::Picture, 0, QRectF(QPointF(Indent, y), size), QString(), index});
            y += size.height() + LineGap;
        } else if (!question.pictureProblem.isEmpty()) {
            h = PrintedText::height(textMetrics, question.pictureProblem, textWidth);
            group.push_back({PaperItem::MissingPicture, 0, QRectF(Indent, y, textWidth, h), question.pictureProblem, index});
            y += h + LineGap;
        }
        for (const QString &line : question.freeText) {
            h = PrintedText::height(textMetrics, line, textWidth);
            group.push_back({PaperItem::FreeText, 0, QRectF(Indent, y, textWidth, h), line, index});
            y += h;
        }
        if (!question.freeText.isEmpty())
            y += LineGap;
        for (int a = 0; a < QcmFormat::AnswerCount; ++a) {
            if (question.answers[size_t(a)].isEmpty())
                continue;
            const QString answer = QStringLiteral("%1) %2").arg(a + 1).arg(question.answers[size_t(a)]);
            h = PrintedText::height(textMetrics, answer, answerWidth);
            const qreal boxTop = y + (textMetrics.lineSpacing() - BoxSize) / 2;
            group.push_back({PaperItem::CheckBox, 0, QRectF(Indent, boxTop, BoxSize, BoxSize), QString(), index});
            group.push_back({PaperItem::Answer, 0, QRectF(Indent + BoxSize + BoxGap, y, answerWidth, h), answer, index});
            y += h + 2;
        }
        pager.placeGroup(std::move(group), y + QuestionGap);
    }
}

} // namespace

QString PaperLayout::severalAnswersNote()
{
    return tr("plusieurs réponses possibles");
}

QString PaperLayout::heading(int number, const PaperQuestion &question)
{
    const QString title = tr("%1. %2").arg(number).arg(question.title);
    // In the heading, where the pupil reads before answering, and away from the boxes.
    return question.severalAnswers() ? tr("%1 (%2)").arg(title, severalAnswersNote()) : title;
}

namespace {

// "2, 4": every right answer of a question that has several, for the answer key.
QString solutionText(const PaperQuestion &question)
{
    if (question.severalAnswers()) {
        QStringList numbers;
        for (int answer : question.solutions)
            numbers << QString::number(answer);
        return numbers.join(PaperLayout::tr(", "));
    }
    return question.solution ? QString::number(*question.solution) : PaperLayout::tr("?");
}

} // namespace

PaperLayout::Fonts PaperLayout::fonts()
{
    return {PrintedText::font(16, true), PrintedText::font(12, true), PrintedText::font(11, false)};
}

PaperLayout PaperLayout::layOut(const QString &name, const std::vector<PaperQuestion> &questions, const QSizeF &area,
                                bool answerKey)
{
    PaperLayout layout;
    const Fonts font = fonts();
    const QFontMetricsF headingMetrics(font.heading), titleMetrics(font.title), textMetrics(font.text);
    const qreal width = area.width();
    const qreal textWidth = width - Indent;
    Pager pager(layout.items, area, FooterHeight);

    {
        std::vector<PaperItem> header;
        qreal y = 0;
        const qreal h = PrintedText::height(headingMetrics, name, width);
        header.push_back({PaperItem::Heading, 0, QRectF(0, y, width, h), name});
        y += h + 10;
        const qreal line = textMetrics.lineSpacing() * 2;
        const QString fields[] = {tr("Nom :"), tr("Prénom :"), tr("Classe :"), tr("Date :")};
        for (int i = 0; i < 4; ++i) {
            const qreal left = (i % 2) * width / 2;
            header.push_back({PaperItem::NameField, 0, QRectF(left, y + (i / 2) * line, width / 2 - 10, line), fields[i]});
        }
        y += 2 * line + QuestionGap;
        pager.placeGroup(std::move(header), y);
    }

    placeQuestions(pager, questions, width);

    if (answerKey && !questions.empty()) {
        pager.newPage();
        const QString heading = tr("Corrigé");
        const qreal h = PrintedText::height(headingMetrics, heading, width);
        pager.placeGroup({{PaperItem::KeyHeading, 0, QRectF(0, 0, width, h), heading}}, h + 10);
        const qreal line = textMetrics.lineSpacing() + 2;
        const qreal columnWidth = width / KeyColumns;
        // The key fills each page column by column, so numbers read downwards as in a list.
        for (size_t q = 0; q < questions.size();) {
            const qreal top = pager.y();
            const int rows = std::max(1, int((pager.bottom() - top) / line));
            for (int column = 0; column < KeyColumns && q < questions.size(); ++column) {
                for (int row = 0; row < rows && q < questions.size(); ++row, ++q) {
                    const QString text = tr("%1) %2").arg(q + 1).arg(solutionText(questions[q]));
                    layout.items.push_back({PaperItem::KeyLine, pager.page(),
                                            QRectF(column * columnWidth, top + row * line, columnWidth, line), text, int(q)});
                }
            }
            if (q < questions.size())
                pager.newPage();
        }
        // The corrections come after the key, each question's under its number and title.
        for (const PaperItem &item : layout.items) {
            if (item.kind == PaperItem::KeyLine && item.page == pager.page())
                pager.skipTo(item.rect.bottom() + QuestionGap);
        }
        for (size_t q = 0; q < questions.size(); ++q) {
            const PaperQuestion &question = questions[q];
            if (question.correction.isEmpty())
                continue;
            std::vector<PaperItem> group;
            const QString title = tr("%1. %2").arg(q + 1).arg(question.title);
            qreal y = 0;
            qreal h = PrintedText::height(titleMetrics, title, width);
            group.push_back({PaperItem::QuestionTitle, 0, QRectF(0, y, width, h), title, int(q)});
            y += h + LineGap;
            for (const QString &text : question.correction) {
                h = PrintedText::height(textMetrics, text, textWidth);
                group.push_back({PaperItem::KeyLine, 0, QRectF(Indent, y, textWidth, h), text, int(q)});
                y += h;
            }
            pager.placeGroup(std::move(group), y + QuestionGap);
        }
    }

    layout.pageCount = pager.page() + 1;
    for (int page = 0; page < layout.pageCount; ++page) {
        layout.items.push_back({PaperItem::Footer, page, QRectF(0, area.height() - FooterHeight + 4, width, FooterHeight - 4),
                                tr("Page %1 / %2").arg(page + 1).arg(layout.pageCount)});
    }
    return layout;
}

PaperLayout PaperLayout::layOutQuestions(const std::vector<PaperQuestion> &questions, const QSizeF &area,
                                         qreal firstPageTop)
{
    PaperLayout layout;
    Pager pager(layout.items, area, 0);
    pager.skipTo(firstPageTop);
    placeQuestions(pager, questions, area.width());
    layout.pageCount = pager.page() + 1;
    return layout;
}
