#include "printing/papertest.h"

#include "document/picturelocation.h"
#include "pictures/picture.h"
#include "pictures/pictureregistry.h"
#include "runner/runsession.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace {

std::unique_ptr<Picture> loadPicture(const PictureRegistry &registry, const QString &path)
{
    if (path.isEmpty())
        return nullptr;
    try {
        std::unique_ptr<Picture> picture = registry.createFor(path);
        picture->loadFromFile(path);
        if (picture->needsPreparation())
            picture->prepare();
        return picture->isEmpty() ? nullptr : std::move(picture);
    } catch (...) {
        // A picture that cannot be read is left out of the page, as the run leaves it out.
        return nullptr;
    }
}

} // namespace

PaperTest::PaperTest(const QString &name, const QStringList &document, const PictureRegistry &pictures,
                     const QString &pictureFolder)
    : m_name(name)
{
    // The questions exactly as a run reads them.
    RunSession session;
    session.Init(document);
    session.Compte();
    const int count = session.RunQuestionCount();
    m_questions.reserve(size_t(count));
    m_pictures.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const RunQuestion shown = i == 0 ? session.Exec() : session.LitFiche();
        PaperQuestion question;
        question.title = shown.title;
        question.freeText = shown.freeText;
        for (size_t a = 0; a < question.answers.size(); ++a) {
            // The run's lines carry their "k) " prefix; the paper puts its own before a box.
            const QString &line = shown.answerLines[a];
            question.answers[a] = line.isEmpty() ? QString() : line.mid(3);
        }
        question.solution = session.Solutions()[size_t(i)];
        m_pictures.push_back(loadPicture(pictures, PictureLocation::resolve(shown.picture, pictureFolder)));
        if (m_pictures.back())
            question.pictureSize = QSizeF(m_pictures.back()->width(), m_pictures.back()->height());
        m_questions.push_back(std::move(question));
        session.Suivant(0);
    }
}

PaperTest::~PaperTest() = default;

PaperLayout PaperTest::print(QPagedPaintDevice &device, bool answerKey)
{
    const QPageLayout page = device.pageLayout();
    const QRectF area = page.paintRect(QPageLayout::Point);
    const PaperLayout layout = PaperLayout::layOut(m_name, m_questions, area.size(), answerKey);

    QPainter painter(&device);
    // One layout point is one printed point, whatever the device's resolution.
    const qreal scale = device.logicalDpiX() / 72.0;
    painter.scale(scale, scale);
    const PaperLayout::Fonts fonts = PaperLayout::fonts();
    // Items come question by question, then the footers: sorted into their pages first.
    std::vector<std::vector<const PaperItem *>> pages(size_t(layout.pageCount));
    for (const PaperItem &item : layout.items)
        pages[size_t(item.page)].push_back(&item);
    for (size_t pageIndex = 0; pageIndex < pages.size(); ++pageIndex) {
        if (pageIndex > 0)
            device.newPage();
        for (const PaperItem *each : pages[pageIndex]) {
            const PaperItem &item = *each;
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
                if (Picture *picture = m_pictures[size_t(item.question)].get())
                    picture->draw(painter, item.rect);
                break;
            case PaperItem::CheckBox:
                painter.drawRect(item.rect);
                break;
            case PaperItem::Footer:
                painter.setFont(fonts.text);
                painter.drawText(item.rect, Qt::AlignHCenter | Qt::AlignBottom, item.text);
                break;
            case PaperItem::FreeText:
            case PaperItem::Answer:
            case PaperItem::KeyLine:
                painter.setFont(fonts.text);
                painter.drawText(item.rect, Qt::TextWordWrap, item.text);
                break;
            }
        }
    }
    return layout;
}
