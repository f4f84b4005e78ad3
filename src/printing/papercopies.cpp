#include "printing/papercopies.h"

#include "classroom/classquestionnaire.h"
#include "classroom/classversion.h"
#include "document/picturelocation.h"
#include "platform/apperror.h"
#include "printing/papertest.h"
#include "printing/qrsymbol.h"
#include "results/printedtext.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace CopyGeometry;

namespace {

// Modules of white kept around the code inside its area; the area's own margin does the rest.
constexpr int QuietModules = 2;
// The booklet's pages keep the paper test's margins.
constexpr qreal BookletMargin = mm(15);
constexpr qreal BookletFooterHeight = 18;

QFont headingFont() { return PrintedText::font(14, true); }
QFont smallFont() { return PrintedText::font(9, false); }
QFont noteFont() { return PrintedText::font(7, false); }
// The instructions shrink to this size at the least to stay in their area, as the longer ones
// of a questionnaire with questions of several right answers must.
constexpr int SmallestInstructionsPixels = 9;

// The text font, or a smaller one when `text` would overflow `area` in it.
QFont instructionsFont(const QString &text, const QRectF &area)
{
    QFont font = PaperLayout::fonts().text;
    for (int pixels = font.pixelSize() - 1; pixels >= SmallestInstructionsPixels; --pixels) {
        if (QFontMetricsF(font).boundingRect(area, Qt::TextWordWrap, text).height() <= area.height())
            break;
        font = PrintedText::font(pixels, false);
    }
    return font;
}

} // namespace

PaperCopies::PaperCopies(const QString &name, std::shared_ptr<const ClassQuestionnaire> questionnaire,
                         const PictureRegistry &pictures, const QString &pictureFolder)
    : m_name(name), m_questionnaire(std::move(questionnaire)), m_fingerprint(m_questionnaire->fingerprint())
{
    std::vector<PaperQuestion> questions;
    std::vector<QString> picturePaths;
    questions.reserve(size_t(m_questionnaire->size()));
    for (const ClassQuestion &source : m_questionnaire->questions()) {
        PaperQuestion question;
        question.title = source.title;
        // Never the correction: the copy is in the pupil's hands.
        question.freeText = source.statement;
        question.answers = source.answers;
        question.solution = source.rightAnswer;
        for (int answer = 1; answer <= QcmFormat::AnswerCount; ++answer) {
            if (AnswerSets::contains(source.rightAnswers, answer))
                question.solutions.push_back(answer);
        }
        questions.push_back(std::move(question));
        picturePaths.push_back(source.picture.isEmpty() ? QString()
                                                        : PictureLocation::resolve(source.picture, pictureFolder));
    }
    m_severalAnswers = std::any_of(m_questionnaire->questions().begin(), m_questionnaire->questions().end(),
                                   [](const ClassQuestion &question) { return question.severalRight(); });
    m_test = std::make_unique<PaperTest>(name, std::move(questions), std::move(picturePaths), pictures);
}

PaperCopies::~PaperCopies() = default;

std::vector<PrintedCopy> PaperCopies::numbered(int count, const SeedSource &seeds)
{
    std::vector<PrintedCopy> copies;
    for (int number = 1; number <= count; ++number)
        copies.push_back({number, QString(), seeds() & SeedMask});
    return copies;
}

std::vector<PrintedCopy> PaperCopies::forPupils(const QStringList &pupils, const SeedSource &seeds)
{
    std::vector<PrintedCopy> copies;
    int number = 0;
    for (const QString &pupil : pupils)
        copies.push_back({++number, pupil.simplified(), seeds() & SeedMask});
    return copies;
}

QString PaperCopies::untoldPictureProblems()
{
    return m_test->untoldPictureProblems();
}

CopyPayload PaperCopies::payloadFor(const PrintedCopy &copy, CopyLayout layout) const
{
    CopyPayload payload;
    payload.layout = layout;
    payload.fingerprint = m_fingerprint;
    payload.copy = copy.number;
    payload.seed = copy.seed;
    return payload;
}

std::vector<CopyPage> PaperCopies::layOut(const PrintedCopy &copy, CopyLayout layout) const
{
    if (m_questionnaire->size() == 0)
        throw AppError(tr("Le questionnaire n'a aucune question : il n'y a pas de copie à imprimer."));
    if (copy.number < 1 || copy.number > CopyPayload::MaxCopy)
        throw AppError(tr("Les copies sont numérotées de 1 à %1.").arg(CopyPayload::MaxCopy));
    std::vector<CopyPage> pages = layout == CopyLayout::BoxesBeside ? besidePages(copy) : sheetPages(copy);
    if (int(pages.size()) > CopyPayload::MaxPages)
        throw AppError(tr("Une copie tiendrait sur %1 pages ; elle en a %2 au plus.").arg(pages.size()).arg(CopyPayload::MaxPages));
    for (size_t i = 0; i < pages.size(); ++i) {
        CopyPayload &payload = pages[i].payload;
        payload.page = int(i) + 1;
        payload.pageCount = int(pages.size());
        if (i == 0) {
            // A name the code cannot carry whole is still printed; the teacher then reads it.
            const QByteArray name = copy.pupil.toUtf8();
            if (!name.contains('\0') && name.size() <= CopyPayload::MaxPupilBytes)
                payload.pupil = copy.pupil;
        }
        if (int(payload.boxTops.size()) > CopyPayload::MaxBoxesPerPage)
            throw AppError(tr("La page %1 d'une copie aurait plus de %2 cases.").arg(i + 1).arg(CopyPayload::MaxBoxesPerPage));
    }
    return pages;
}

std::vector<CopyPage> PaperCopies::besidePages(const PrintedCopy &copy) const
{
    const ClassQuestionnaire &questionnaire = *m_questionnaire;
    const ClassVersion version = ClassVersion::build(questionnaire, questionnaire.settings(), copy.seed);
    std::vector<PaperQuestion> ordered;
    ordered.reserve(size_t(version.size()));
    for (int position = 0; position < version.size(); ++position) {
        const int number = version.questionAt(position);
        PaperQuestion question = m_test->questions()[size_t(number)];
        question.answers = {};
        const std::vector<int> &shown = version.shownAnswers(number);
        for (size_t place = 0; place < shown.size(); ++place)
            question.answers[place] = questionnaire.question(number).answers[size_t(shown[place] - 1)];
        ordered.push_back(std::move(question));
    }

    // Every page but the first has the same room; the first starts lower, under the instructions.
    const QRectF area = questionsArea(1);
    PaperLayout layout = PaperLayout::layOutQuestions(ordered, area.size(), questionsArea(0).top() - area.top());
    std::vector<CopyPage> pages(size_t(layout.pageCount));
    for (CopyPage &page : pages) {
        page.payload = payloadFor(copy, CopyLayout::BoxesBeside);
        page.payload.firstBox = -1;
    }
    int boxIndex = 0;
    for (PaperItem &item : layout.items) {
        CopyPage &page = pages[size_t(item.page)];
        if (page.payload.firstBox < 0)
            page.payload.firstBox = boxIndex;
        item.rect.translate(area.topLeft());
        item.question = version.questionAt(item.question);
        if (item.kind == PaperItem::CheckBox) {
            // The code says whole points: the box is drawn exactly there.
            const qreal top = std::round(item.rect.top());
            item.rect.moveTop(top);
            page.payload.boxTops.push_back(int(top));
            ++boxIndex;
        }
        page.items.push_back(std::move(item));
    }
    for (CopyPage &page : pages) {
        if (page.payload.firstBox < 0)
            page.payload.firstBox = boxIndex;
    }
    return pages;
}

std::vector<CopyPage> PaperCopies::sheetPages(const PrintedCopy &copy) const
{
    // One booklet for the whole class cannot hold each pupil's own draw.
    if (m_questionnaire->settings().draw != ClassSettings::Draw::None)
        throw AppError(tr("Les questions sont tirées pour chaque élève : la feuille de réponses, commune à toute la "
                          "classe, ne peut pas suivre ce tirage. Imprimez les copies avec les cases à côté des "
                          "réponses."));
    const int count = m_questionnaire->size();
    const int pageCount = (count + SheetSlotsPerPage - 1) / SheetSlotsPerPage;
    if (pageCount > SheetMaxPages) {
        throw AppError(tr("Le questionnaire a %1 questions ; la feuille de réponses en tient %2 au plus. "
                          "Imprimez les copies avec les cases à côté des réponses.")
                           .arg(count)
                           .arg(SheetMaxPages * SheetSlotsPerPage));
    }
    std::vector<CopyPage> pages(static_cast<size_t>(pageCount));
    for (CopyPage &page : pages)
        page.payload = payloadFor(copy, CopyLayout::AnswerSheet);
    return pages;
}

PaperLayout PaperCopies::bookletLayout() const
{
    const QSizeF area = pageSize() - QSizeF(2 * BookletMargin, 2 * BookletMargin + BookletFooterHeight);
    const qreal headingHeight = 2 * QFontMetricsF(headingFont()).lineSpacing() + 10;
    return PaperLayout::layOutQuestions(m_test->questions(), area, headingHeight);
}

void PaperCopies::print(QPagedPaintDevice &device, const std::vector<PrintedCopy> &copies, CopyLayout layout)
{
    // Everything is laid out before the first stroke: a refusal leaves no half-printed pile.
    std::vector<std::vector<CopyPage>> pages;
    pages.reserve(copies.size());
    for (const PrintedCopy &copy : copies)
        pages.push_back(layOut(copy, layout));
    const PaperLayout booklet = layout == CopyLayout::AnswerSheet ? bookletLayout() : PaperLayout();

    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&device);
    if (!painter.isActive())
        throw AppError(tr("Impossible d'imprimer les copies : l'imprimante ou le fichier refuse d'écrire."));
    const qreal dotsPerPoint = device.logicalDpiX() / 72.0;
    painter.scale(dotsPerPoint, dotsPerPoint);
    // The painter starts at the printable area's corner; copies are placed on the whole paper.
    painter.translate(-device.pageLayout().paintRect(QPageLayout::Point).topLeft());
    bool first = true;
    for (size_t c = 0; c < copies.size(); ++c) {
        for (const CopyPage &page : pages[c]) {
            if (!first)
                device.newPage();
            first = false;
            drawCopyPage(painter, copies[c], page, dotsPerPoint);
        }
    }
    for (int page = 0; page < booklet.pageCount; ++page) {
        device.newPage();
        drawBookletPage(painter, booklet, page, dotsPerPoint);
    }
}

void PaperCopies::drawCopyPage(QPainter &painter, const PrintedCopy &copy, const CopyPage &page, qreal dotsPerPoint)
{
    const CopyPayload &payload = page.payload;
    painter.setPen(QPen(Qt::black, 1));
    for (Corner corner : {TopLeft, TopRight, BottomRight, BottomLeft})
        painter.fillRect(cornerMark(corner), Qt::black);
    QrSymbol::encode(payload.encode()).draw(painter, codeArea(), QuietModules);

    const QRectF heading = headingArea();
    painter.setFont(headingFont());
    const QString title = payload.layout == CopyLayout::AnswerSheet ? tr("Feuille de réponses : %1").arg(m_name) : m_name;
    const QFontMetricsF headingMetrics(headingFont());
    painter.drawText(QRectF(heading.topLeft(), QSizeF(heading.width(), headingMetrics.lineSpacing())),
                     Qt::AlignLeft | Qt::AlignTop, headingMetrics.elidedText(title, Qt::ElideRight, heading.width()));
    painter.setFont(PaperLayout::fonts().text);
    painter.drawText(heading, Qt::AlignLeft | Qt::AlignBottom,
                     tr("Copie n° %1, page %2 / %3").arg(payload.copy).arg(payload.page).arg(payload.pageCount));

    if (payload.page == 1) {
        const QRectF name = nameBox();
        if (!copy.pupil.isEmpty()) {
            painter.setFont(headingFont());
            painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                             headingMetrics.elidedText(tr("Élève : %1").arg(copy.pupil), Qt::ElideRight, name.width()));
        } else {
            painter.drawRect(name);
            painter.setFont(smallFont());
            painter.drawText(name.adjusted(mm(1), mm(0.5), 0, 0), Qt::AlignLeft | Qt::AlignTop, tr("Nom, prénom et classe :"));
        }
        if (!copy.timeNote.isEmpty()) {
            painter.setFont(smallFont());
            painter.drawText(name.adjusted(mm(1), 0, -mm(1), -mm(0.5)), Qt::AlignRight | Qt::AlignBottom, copy.timeNote);
        }
        const QRectF instructions = instructionsArea();
        const qreal side = payload.layout == CopyLayout::AnswerSheet ? SheetBoxSide : besideBoxSide();
        const QRectF example(instructions.left(), instructions.top() + mm(1), side, side);
        painter.fillRect(example, Qt::black);
        const QRectF text = instructions.adjusted(side + mm(3), 0, 0, 0);
        const QString howToTick = instructionsText(payload.layout);
        painter.setFont(m_severalAnswers ? instructionsFont(howToTick, text) : PaperLayout::fonts().text);
        painter.drawText(text, Qt::TextWordWrap, howToTick);
    }

    if (payload.layout == CopyLayout::BoxesBeside) {
        for (const PaperItem &item : page.items)
            m_test->drawItem(painter, item, dotsPerPoint);
        return;
    }
    painter.setFont(PaperLayout::fonts().title);
    const int first = (payload.page - 1) * SheetSlotsPerPage;
    const int slots = std::min(SheetSlotsPerPage, m_questionnaire->size() - first);
    for (int column = 0; column * SheetRows < slots; ++column) {
        for (int answer = 1; answer <= 5; ++answer)
            painter.drawText(sheetColumnHeading(column, answer), Qt::AlignCenter, QString::number(answer));
    }
    for (int slot = 0; slot < slots; ++slot) {
        const ClassQuestion &question = m_questionnaire->question(first + slot);
        painter.setFont(PaperLayout::fonts().title);
        painter.drawText(sheetNumber(slot), Qt::AlignRight | Qt::AlignVCenter, QString::number(first + slot + 1));
        // Only answers the question has get a box: a tick cannot land on an answer that is not there.
        for (int answer : question.answerNumbers())
            painter.drawRect(sheetBox(slot, answer));
        if (question.severalRight()) {
            painter.setFont(noteFont());
            painter.drawText(sheetNote(slot), Qt::AlignLeft | Qt::AlignVCenter, sheetNoteText());
        }
    }
}

QString PaperCopies::sheetNoteText()
{
    return tr("plusieurs");
}

QString PaperCopies::instructionsText(CopyLayout layout) const
{
    if (!m_severalAnswers) {
        return tr("Noircissez entièrement la case de la réponse choisie, une seule par question, au stylo noir "
                  "ou bleu foncé, ou au crayon à papier bien appuyé. Pour changer de réponse, gommez "
                  "entièrement la case ou couvrez-la de correcteur blanc, puis noircissez la nouvelle case. "
                  "N'écrivez rien sur les carrés noirs des coins ni sur le code.");
    }
    // The answer sheet's row has no room for the whole note: its short word is explained here.
    const QString where = layout == CopyLayout::AnswerSheet
                              ? tr("aux questions marquées « %1 » (%2)").arg(sheetNoteText(), PaperLayout::severalAnswersNote())
                              : tr("là où il est écrit « %1 »").arg(PaperLayout::severalAnswersNote());
    return tr("Noircissez entièrement la case de la réponse choisie, une seule par question, ou la case de chaque "
              "réponse choisie %1, au stylo noir ou bleu foncé, ou au crayon à papier bien appuyé. Pour changer de "
              "réponse, gommez entièrement la case ou couvrez-la de correcteur blanc, puis noircissez la nouvelle "
              "case. N'écrivez rien sur les carrés noirs des coins ni sur le code.")
        .arg(where);
}

void PaperCopies::drawBookletPage(QPainter &painter, const PaperLayout &booklet, int pageIndex, qreal dotsPerPoint)
{
    const QPointF origin(BookletMargin, BookletMargin);
    if (pageIndex == 0) {
        painter.setFont(headingFont());
        const qreal line = QFontMetricsF(headingFont()).lineSpacing();
        painter.drawText(QRectF(origin, QSizeF(pageSize().width() - 2 * BookletMargin, line)), Qt::AlignLeft, m_name);
        painter.setFont(PaperLayout::fonts().text);
        painter.drawText(QRectF(origin + QPointF(0, line), QSizeF(pageSize().width() - 2 * BookletMargin, line)),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         tr("Livret des questions : répondez sur votre feuille de réponses, pas sur ce livret."));
    }
    painter.save();
    painter.translate(origin);
    for (const PaperItem &item : booklet.items) {
        if (item.page == pageIndex && item.kind != PaperItem::CheckBox)
            m_test->drawItem(painter, item, dotsPerPoint);
    }
    painter.restore();
    painter.setFont(PaperLayout::fonts().text);
    const qreal bottom = pageSize().height() - BookletMargin;
    painter.drawText(QRectF(BookletMargin, bottom - BookletFooterHeight, pageSize().width() - 2 * BookletMargin,
                            BookletFooterHeight),
                     Qt::AlignHCenter | Qt::AlignBottom,
                     tr("Livret, page %1 / %2").arg(pageIndex + 1).arg(booklet.pageCount));
}
