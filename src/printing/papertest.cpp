#include "printing/papertest.h"

#include "document/answerchoices.h"
#include "document/correction.h"
#include "document/picturelocation.h"
#include "pictures/picture.h"
#include "pictures/pictureregistry.h"
#include "platform/apperror.h"
#include "printing/printedpicture.h"
#include "runner/runsession.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <memory>
#include <new>

namespace {

// Throws the picture kind's French reason when it cannot be read.
std::unique_ptr<Picture> loadPicture(const PictureRegistry &registry, const QString &path)
{
    std::unique_ptr<Picture> picture = registry.createFor(path);
    picture->loadFromFile(path);
    return picture;
}

// The reason `act` failed, or nothing when it did not.
template <typename Act>
QString failureOf(Act &&act)
{
    try {
        act();
    } catch (const AppError &error) {
        return error.message();
    } catch (const std::bad_alloc &) {
        return PaperTest::tr("Mémoire insuffisante");
    }
    return {};
}

// A warning names this many pictures at most; the pages name them all.
constexpr size_t MaximumNamedInWarning = 10;

} // namespace

PaperTest::PaperTest(const QString &name, const QStringList &document, const PictureRegistry &pictures,
                     const QString &pictureFolder)
    : m_name(name), m_registry(pictures)
{
    // The questions exactly as a run reads them.
    RunSession session;
    session.Init(document);
    session.Compte();
    const int count = session.RunQuestionCount();
    m_questions.reserve(size_t(count));
    m_picturePaths.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const RunQuestion shown = i == 0 ? session.Exec() : session.LitFiche();
        PaperQuestion question;
        question.title = shown.title;
        // What follows a "Correction :" line is for the answer key, never for the pupil's copy.
        Correction::FreeTextParts parts = Correction::split(shown.freeText);
        question.freeText = std::move(parts.statement);
        question.correction = std::move(parts.correction);
        for (size_t a = 0; a < question.answers.size(); ++a) {
            // The run's lines carry their "k) " prefix; the paper puts its own before a box.
            const QString &line = shown.answerLines[a];
            question.answers[a] = line.isEmpty() ? QString() : line.mid(3);
        }
        question.solution = session.Solutions()[size_t(i)];
        // The run reads one right answer; the correction's own line may name more. An answer
        // without a text cannot be ticked, so it is not one.
        const AnswerChoices::Choices choices = AnswerChoices::read(shown.freeText, question.solution.value_or(0)).choices;
        for (int answer : choices.rightAnswers()) {
            if (!question.answers[size_t(answer - 1)].isEmpty())
                question.solutions.push_back(answer);
        }
        if (question.solutions.size() < 2)
            question.solutions.clear();
        m_picturePaths.push_back(shown.picture.isEmpty() ? QString() : PictureLocation::resolve(shown.picture, pictureFolder));
        m_questions.push_back(std::move(question));
        session.Suivant(0);
    }
    measurePictures();
}

PaperTest::PaperTest(const QString &name, std::vector<PaperQuestion> questions, std::vector<QString> picturePaths,
                     const PictureRegistry &pictures)
    : m_name(name), m_registry(pictures), m_questions(std::move(questions)), m_picturePaths(std::move(picturePaths))
{
    m_picturePaths.resize(m_questions.size());
    measurePictures();
}

void PaperTest::measurePictures()
{
    for (size_t i = 0; i < m_questions.size(); ++i) {
        const QString &picturePath = m_picturePaths[i];
        if (picturePath.isEmpty())
            continue;
        PaperQuestion &question = m_questions[i];
        // Only the size is kept: the picture is read again for its page.
        const QString failure = failureOf([&] {
            const std::unique_ptr<Picture> picture = loadPicture(m_registry, picturePath);
            if (picture->isEmpty())
                throw AppError(tr("Image vide"));
            question.pictureSize = QSizeF(picture->width(), picture->height());
        });
        if (!failure.isEmpty())
            question.pictureProblem = noteProblem(int(i), failure);
    }
}

PaperTest::~PaperTest() = default;

QString PaperTest::noteProblem(int question, const QString &reason)
{
    const QString &picture = m_picturePaths[size_t(question)];
    const bool known = std::any_of(m_problems.begin(), m_problems.end(),
                                   [question](const PictureProblem &problem) { return problem.question == question; });
    if (!known)
        m_problems.push_back({question, picture, reason});
    return tr("Image non imprimable : %1 (%2)").arg(QcmFormat::fileNameOf(picture), reason);
}

QString PaperTest::untoldPictureProblems()
{
    const size_t untold = m_problems.size() - m_told;
    if (untold == 0)
        return {};
    QStringList lines;
    lines << (untold == 1 ? tr("Une image ne peut pas être imprimée ; son nom est écrit à sa place :")
                          : tr("%1 images ne peuvent pas être imprimées ; leur nom est écrit à leur place :").arg(untold));
    for (size_t i = m_told; i < m_problems.size() && i < m_told + MaximumNamedInWarning; ++i) {
        const PictureProblem &problem = m_problems[i];
        lines << tr("Question %1 : %2 (%3)").arg(problem.question + 1).arg(problem.picture, problem.reason);
    }
    if (untold > MaximumNamedInWarning)
        lines << tr("et %1 autres.").arg(untold - MaximumNamedInWarning);
    m_told = m_problems.size();
    return lines.join(QLatin1Char('\n'));
}

void PaperTest::drawPicture(QPainter &painter, const PaperItem &item, qreal dotsPerPoint)
{
    const QString failure = failureOf([&] {
        const std::unique_ptr<Picture> picture = loadPicture(m_registry, m_picturePaths[size_t(item.question)]);
        PrintedPicture::draw(*picture, painter, item.rect, PrintedPicture::dotsFor(item.rect, dotsPerPoint));
    });
    if (failure.isEmpty())
        return;
    // Gone or spoilt since the questions were read: its place keeps its name.
    painter.drawRect(item.rect);
    painter.setFont(PaperLayout::fonts().text);
    painter.drawText(item.rect.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap,
                     noteProblem(item.question, failure));
}

PaperLayout PaperTest::print(QPagedPaintDevice &device, bool answerKey)
{
    const QPageLayout page = device.pageLayout();
    const QRectF area = page.paintRect(QPageLayout::Point);
    const PaperLayout layout = PaperLayout::layOut(m_name, m_questions, area.size(), answerKey);

    QPainter painter(&device);
    // One layout point is one printed point, whatever the device's resolution.
    const qreal scale = device.logicalDpiX() / 72.0;
    painter.scale(scale, scale);
    // Items come question by question, then the footers: sorted into their pages first.
    std::vector<std::vector<const PaperItem *>> pages(size_t(layout.pageCount));
    for (const PaperItem &item : layout.items)
        pages[size_t(item.page)].push_back(&item);
    for (size_t pageIndex = 0; pageIndex < pages.size(); ++pageIndex) {
        if (pageIndex > 0)
            device.newPage();
        for (const PaperItem *each : pages[pageIndex])
            drawItem(painter, *each, scale);
    }
    return layout;
}

void PaperTest::drawItem(QPainter &painter, const PaperItem &item, qreal dotsPerPoint)
{
    const PaperLayout::Fonts fonts = PaperLayout::fonts();
    switch (item.kind) {
    case PaperItem::Heading:
    case PaperItem::KeyHeading:
        painter.setFont(fonts.heading);
        painter.drawText(item.rect, Qt::TextWordWrap, item.text);
        break;
    case PaperItem::QuestionTitle:
        painter.setFont(fonts.title);
        painter.drawText(item.rect, Qt::TextWordWrap, item.text);
        break;
    case PaperItem::NameField: {
        painter.setFont(fonts.text);
        painter.drawText(item.rect, Qt::AlignLeft | Qt::AlignBottom, item.text);
        const qreal start = item.rect.left() + QFontMetricsF(fonts.text).horizontalAdvance(item.text) + 4;
        painter.drawLine(QLineF(start, item.rect.bottom() - 2, item.rect.right(), item.rect.bottom() - 2));
        break;
    }
    case PaperItem::Picture:
        drawPicture(painter, item, dotsPerPoint);
        break;
    case PaperItem::CheckBox:
        painter.drawRect(item.rect);
        break;
    case PaperItem::Footer:
        painter.setFont(fonts.text);
        painter.drawText(item.rect, Qt::AlignHCenter | Qt::AlignBottom, item.text);
        break;
    case PaperItem::MissingPicture:
    case PaperItem::FreeText:
    case PaperItem::Answer:
    case PaperItem::KeyLine:
        painter.setFont(fonts.text);
        painter.drawText(item.rect, Qt::TextWordWrap, item.text);
        break;
    }
}
