#include "marking/markingsession.h"

#include "classroom/classrun.h"
#include "marking/scannedpage.h"
#include "marking/scanfile.h"
#include "marking/scanreadingmodule.h"
#include "platform/apperror.h"
#include "printing/paperlayout.h"

#include <QFileInfo>

#include <QPainter>

#include <algorithm>
#include <map>

namespace {

// Pictures of doubtful questions and of name boxes: about 144 dots per inch, enough to read a
// pencil's grey and a pupil's handwriting without keeping the whole page.
constexpr double PicturePixelsPerPoint = 2.0;
// A page that could not be read is shown this large (its longer side), for the teacher to see
// what it is.
constexpr int ThumbnailSide = 700;

// `part` under `picture`, and the places of its boxes moved with it.
void appendPicture(CopyQuestion &question, const QImage &part, const std::vector<QRectF> &places)
{
    const int top = question.picture.isNull() ? 0 : question.picture.height();
    if (question.picture.isNull()) {
        question.picture = part;
    } else {
        QImage both(std::max(question.picture.width(), part.width()), top + part.height(), QImage::Format_Grayscale8);
        both.fill(Qt::white);
        QPainter painter(&both);
        painter.drawImage(0, 0, question.picture);
        painter.drawImage(0, top, part);
        painter.end();
        question.picture = both;
    }
    for (const QRectF &place : places)
        question.boxesInPicture.push_back(place.translated(0, top));
}

QString plural(int count, const QString &one, const QString &many)
{
    return (count == 1 ? one : many).arg(count);
}

// "2", "2 et 4", "1, 2 et 4": boxes by their places, from 0.
QString placesText(const std::vector<int> &places)
{
    QStringList numbers;
    for (int place : places)
        numbers << QString::number(place + 1);
    const QString last = numbers.takeLast();
    return numbers.isEmpty() ? last : MarkingSession::tr("%1 et %2").arg(numbers.join(MarkingSession::tr(", ")), last);
}

// "question 5", with what the copy said of a question with several right answers: several
// boxes may be the pupil's answer there.
QString questionText(const CopyQuestion &question)
{
    const QString number = MarkingSession::tr("question %1").arg(question.position + 1);
    return question.severalAllowed ? MarkingSession::tr("%1 (%2)").arg(number, PaperLayout::severalAnswersNote()) : number;
}

} // namespace

QString PageSource::text() const
{
    return MarkingSession::tr("%1, page %2").arg(file).arg(page);
}

AnswerSet CopyQuestion::answers() const
{
    if (settled)
        return *settled;
    AnswerSet chosen = 0;
    for (int box : reading.chosenBoxes) {
        if (box >= 0 && box < int(boxes.size()))
            chosen |= AnswerSets::of(boxes[size_t(box)].answer);
    }
    return chosen;
}

AnswerSet CopyQuestion::afterClick(int index) const
{
    const AnswerSet box = index >= 0 && index < int(boxes.size()) ? AnswerSets::of(boxes[size_t(index)].answer) : 0;
    return severalAllowed ? AnswerSet(answers() ^ box) : box;
}

QString CopyQuestion::doubtText() const
{
    std::vector<int> ticked;
    std::map<BoxDoubt, std::vector<int>> doubtful;
    for (int i = 0; i < int(reading.states.size()); ++i) {
        if (reading.states[size_t(i)] == BoxState::Ticked)
            ticked.push_back(i);
        else if (reading.states[size_t(i)] == BoxState::Doubtful)
            doubtful[reading.doubts[size_t(i)]].push_back(i);
    }
    QStringList parts;
    if (!ticked.empty())
        parts << (ticked.size() == 1 ? MarkingSession::tr("case %1 noircie") : MarkingSession::tr("cases %1 noircies"))
                     .arg(placesText(ticked));
    for (const auto &[doubt, places] : doubtful) {
        const bool one = places.size() == 1;
        switch (doubt) {
        case BoxDoubt::Faint:
            parts << (one ? MarkingSession::tr("case %1 à peine marquée") : MarkingSession::tr("cases %1 à peine marquées"))
                         .arg(placesText(places));
            break;
        case BoxDoubt::Ringed:
            parts << (one ? MarkingSession::tr("case %1 entourée") : MarkingSession::tr("cases %1 entourées"))
                         .arg(placesText(places));
            break;
        case BoxDoubt::OnEdge:
            parts << (one ? MarkingSession::tr("encre sur le bord de la case %1")
                          : MarkingSession::tr("encre sur le bord des cases %1"))
                         .arg(placesText(places));
            break;
        case BoxDoubt::None:
        case BoxDoubt::Unclear:
            parts << (one ? MarkingSession::tr("case %1 peu nette") : MarkingSession::tr("cases %1 peu nettes"))
                         .arg(placesText(places));
            break;
        }
    }
    return parts.join(MarkingSession::tr(", "));
}

std::vector<int> ReadCopy::missingPages() const
{
    std::vector<int> missing;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (!pages[i])
            missing.push_back(int(i) + 1);
    }
    return missing;
}

int ReadCopy::waitingCount() const
{
    return int(std::count_if(questions.begin(), questions.end(), [](const CopyQuestion &q) { return q.waiting(); }));
}

bool ReadCopy::ready() const
{
    return missingPages().empty() && waitingCount() == 0 && named()
           && std::all_of(questions.begin(), questions.end(), [](const CopyQuestion &q) { return q.complete(); });
}

QString ReadCopy::title() const
{
    return MarkingSession::tr("Copie n° %1").arg(number);
}

MarkingSession::MarkingSession(std::shared_ptr<const ClassQuestionnaire> questionnaire)
    : m_questionnaire(std::move(questionnaire)), m_fingerprint(m_questionnaire->fingerprint())
{
}

void MarkingSession::addPage(const QImage &image, const PageSource &source)
{
    // The reader is looked up once for the pile, not once a page.
    if (!m_reading)
        m_reading = &loadScanReading();
    addPage(ScannedPage(image, *m_reading), source);
}

void MarkingSession::addPageOf(const ScanFile &scan, int index)
{
    const PageSource source{QFileInfo(scan.path()).fileName(), index + 1};
    QImage image;
    try {
        image = scan.page(index);
    } catch (const AppError &) {
        return addUnreadablePage(source, tr("l'image de la page ne peut pas être décodée (fichier abîmé ou coupé, ou "
                                            "d'un genre d'image que le programme ne lit pas). Page non lue."));
    }
    addPage(image, source);
}

void MarkingSession::addUnreadablePage(const PageSource &source, const QString &why)
{
    ++m_pagesGiven;
    m_notes.push_back({PageNote::Kind::Unreadable, source, tr("%1 : %2").arg(source.text(), why), QImage()});
}

int MarkingSession::pagesRead() const
{
    const auto notRead = std::count_if(m_notes.begin(), m_notes.end(),
                                       [](const PageNote &note) { return note.kind != PageNote::Kind::Duplicate; });
    return m_pagesGiven - int(notRead);
}

void MarkingSession::addPage(const ScannedPage &scan, const PageSource &source)
{
    ++m_pagesGiven;
    auto refuse = [&](PageNote::Kind kind, const QString &why, bool withThumbnail) {
        m_notes.push_back({kind, source, tr("%1 : %2").arg(source.text(), why),
                           withThumbnail ? scan.thumbnail(ThumbnailSide) : QImage()});
    };
    switch (scan.problem()) {
    case ScannedPage::Problem::None:
        break;
    case ScannedPage::Problem::Blank:
        return refuse(PageNote::Kind::Unreadable, tr("page vide, rien à lire."), false);
    case ScannedPage::Problem::NoMarks:
        return refuse(PageNote::Kind::Unreadable,
                      tr("les quatre carrés noirs des coins n'y sont pas tous : ce n'est pas une copie, ou la page "
                         "est coupée ou tachée. Page non lue."),
                      true);
    case ScannedPage::Problem::NoCode:
        return refuse(PageNote::Kind::Unreadable,
                      tr("le code de la page est illisible (abîmé, taché ou mal scanné). Page non lue."), true);
    case ScannedPage::Problem::UnknownCode:
        return refuse(PageNote::Kind::Unreadable, tr("le code de la page n'est pas celui d'une copie de Nelo Qcm. Page non lue."),
                      true);
    case ScannedPage::Problem::UnknownLayout:
        return refuse(PageNote::Kind::Unreadable,
                      tr("copie imprimée avec une mise en page que cette version de Nelo Qcm ne connaît pas. "
                         "Corrigez-la avec la version qui l'a imprimée. Page non lue."),
                      true);
    }
    const ReadPage read = CopyPageReader::read(scan, *m_questionnaire, m_fingerprint);
    switch (read.problem) {
    case ReadPage::Problem::None:
        break;
    case ReadPage::Problem::OtherQuestionnaire:
        return refuse(PageNote::Kind::OtherQuestionnaire,
                      tr("copie n° %1, page %2, d'un autre questionnaire, ou de celui-ci modifié depuis l'impression des "
                         "copies. Page refusée.")
                          .arg(read.payload.copy)
                          .arg(read.payload.page),
                      false);
    case ReadPage::Problem::Inconsistent:
        return refuse(PageNote::Kind::Unreadable,
                      tr("le code de la page ne correspond pas aux questions (code abîmé). Page non lue."), true);
    }
    ReadCopy &copy = copyFor(read.payload);
    if (read.payload.page > copy.pageCount)
        return refuse(PageNote::Kind::Unreadable, tr("le code de la page est abîmé. Page non lue."), true);
    std::optional<PageSource> &seen = copy.pages[size_t(read.payload.page - 1)];
    if (seen) {
        return refuse(PageNote::Kind::Duplicate,
                      tr("%1, page %2, déjà lue (%3) ; elle ne compte qu'une fois.")
                          .arg(copy.title())
                          .arg(read.payload.page)
                          .arg(seen->text()),
                      false);
    }
    seen = source;
    if (std::find(m_keptBefore.begin(), m_keptBefore.end(), copy.number) != m_keptBefore.end())
        copy.keptBefore = copy.kept = true;
    if (read.payload.page == 1) {
        copy.printedPupil = read.payload.pupil;
        if (!copy.named())
            copy.pupil = copy.printedPupil;
        if (copy.printedPupil.isEmpty())
            copy.namePicture = scan.picture(CopyGeometry::nameBox(), PicturePixelsPerPoint);
    }
    gather(copy, read, scan);
}

ReadCopy &MarkingSession::copyFor(const CopyPayload &payload)
{
    const auto it = std::find_if(m_copies.begin(), m_copies.end(), [&payload](const ReadCopy &copy) {
        return copy.number == payload.copy && copy.seed == payload.seed && copy.layout == payload.layout;
    });
    if (it != m_copies.end())
        return *it;
    ReadCopy copy;
    copy.layout = payload.layout;
    copy.number = payload.copy;
    copy.seed = payload.seed;
    copy.pageCount = payload.pageCount;
    copy.pages.resize(size_t(payload.pageCount));
    // Copies stay in their numbers' order, whatever the order of the pile.
    const auto at = std::upper_bound(m_copies.begin(), m_copies.end(), copy.number,
                                     [](int number, const ReadCopy &other) { return number < other.number; });
    return *m_copies.insert(at, std::move(copy));
}

void MarkingSession::gather(ReadCopy &copy, const ReadPage &page, const ScannedPage &scan)
{
    for (const ReadQuestion &part : page.questions) {
        auto it = std::find_if(copy.questions.begin(), copy.questions.end(),
                               [&part](const CopyQuestion &q) { return q.question == part.question; });
        if (it == copy.questions.end()) {
            CopyQuestion question;
            question.question = part.question;
            question.position = part.position;
            question.boxCount = part.boxCount;
            question.severalAllowed = m_questionnaire->question(part.question).severalRight();
            const auto at = std::upper_bound(copy.questions.begin(), copy.questions.end(), part.position,
                                             [](int position, const CopyQuestion &q) { return position < q.position; });
            it = copy.questions.insert(at, std::move(question));
        }
        CopyQuestion &question = *it;
        question.boxes.insert(question.boxes.end(), part.boxes.begin(), part.boxes.end());
        const bool split = int(part.boxes.size()) < part.boxCount;
        if (question.complete()) {
            std::vector<BoxMeasure> measures;
            for (const ReadBox &box : question.boxes)
                measures.push_back(box.measure);
            question.reading = BoxDecision::read(measures, question.severalAllowed);
        }
        // A question split over two pages is pictured part by part, before its reading is known.
        if (split || question.waiting()) {
            std::vector<QRectF> places;
            for (const ReadBox &box : part.boxes) {
                const QRectF place = box.place.translated(-part.area.topLeft());
                places.emplace_back(place.topLeft() * PicturePixelsPerPoint, place.size() * PicturePixelsPerPoint);
            }
            appendPicture(question, scan.picture(part.area, PicturePixelsPerPoint), places);
        }
    }
}

QStringList MarkingSession::missingPages() const
{
    QStringList lines;
    for (const ReadCopy &copy : m_copies) {
        const std::vector<int> missing = copy.missingPages();
        if (missing.empty())
            continue;
        QStringList numbers;
        for (int page : missing)
            numbers << tr("%1 / %2").arg(page).arg(copy.pageCount);
        lines << (missing.size() == 1 ? tr("%1 : page %2 manquante.") : tr("%1 : pages %2 manquantes."))
                     .arg(copy.title(), numbers.join(tr(", ")));
    }
    return lines;
}

std::vector<int> MarkingSession::missingCopies() const
{
    std::vector<int> missing;
    const bool pagesLost = std::any_of(m_notes.begin(), m_notes.end(),
                                       [](const PageNote &note) { return note.kind == PageNote::Kind::Unreadable; });
    if (!pagesLost || m_copies.empty())
        return missing;
    for (int number = 1; number < m_copies.back().number; ++number) {
        const bool read = std::any_of(m_copies.begin(), m_copies.end(),
                                      [number](const ReadCopy &copy) { return copy.number == number; });
        if (!read && std::find(m_keptBefore.begin(), m_keptBefore.end(), number) == m_keptBefore.end())
            missing.push_back(number);
    }
    return missing;
}

void MarkingSession::passOver(const std::function<bool(int, quint64)> &alreadyKept)
{
    if (!alreadyKept)
        return;
    for (ReadCopy &copy : m_copies) {
        if (!copy.keptBefore && alreadyKept(copy.number, copy.seed)) {
            copy.keptBefore = copy.kept = true;
            m_keptBefore.push_back(copy.number);
        }
    }
}

QStringList MarkingSession::doubtLines() const
{
    QStringList lines;
    for (const ReadCopy &copy : m_copies) {
        if (copy.kept || copy.keptBefore)
            continue;
        const QString who = copy.named() ? tr("%1 (%2)").arg(copy.title(), copy.pupil) : copy.title();
        if (!copy.named() && copy.pages.front())
            lines << tr("%1 : nom à lire").arg(copy.title());
        for (const CopyQuestion &question : copy.questions) {
            if (question.waiting() && question.complete())
                lines << tr("%1, %2 : %3").arg(who, questionText(question), question.doubtText());
        }
    }
    return lines;
}

std::vector<MarkingSession::ReviewItem> MarkingSession::reviewItems() const
{
    std::vector<ReviewItem> items;
    for (size_t c = 0; c < m_copies.size(); ++c) {
        const ReadCopy &copy = m_copies[c];
        // What the results hold was settled before: only what is left is offered.
        if (copy.keptBefore)
            continue;
        if (copy.printedPupil.isEmpty() && copy.pages.front())
            items.push_back({ReviewItem::Kind::Name, int(c), -1, tr("%1 : nom à lire").arg(copy.title()), copy.named()});
        for (const CopyQuestion &question : copy.questions) {
            if (question.reading.kind != QuestionReading::Kind::Doubtful || !question.complete())
                continue;
            const QString why = question.reading.doubt == QuestionReading::Doubt::SeveralTicked
                                    ? tr("plusieurs cases noircies")
                                    : tr("case peu nette");
            items.push_back({ReviewItem::Kind::Question, int(c), question.question,
                             tr("%1, %2 : %3").arg(copy.title(), questionText(question), why),
                             question.settled.has_value()});
        }
    }
    return items;
}

bool MarkingSession::settle(int copyIndex, int question, int answer)
{
    return settleAnswers(copyIndex, question, AnswerSets::of(answer));
}

bool MarkingSession::settleAnswers(int copyIndex, int question, AnswerSet answers)
{
    if (copyIndex < 0 || copyIndex >= int(m_copies.size()))
        return false;
    ReadCopy &copy = m_copies[size_t(copyIndex)];
    const auto it = std::find_if(copy.questions.begin(), copy.questions.end(),
                                 [question](const CopyQuestion &q) { return q.question == question; });
    if (it == copy.questions.end() || (answers & AnswerSets::OutOfRange) != 0)
        return false;
    if (AnswerSets::count(answers) > 1 && !it->severalAllowed)
        return false;
    for (int answer = 1; answer <= QcmFormat::AnswerCount; ++answer) {
        const bool offered = std::any_of(it->boxes.begin(), it->boxes.end(),
                                         [answer](const ReadBox &box) { return box.answer == answer; });
        if (AnswerSets::contains(answers, answer) && !offered)
            return false;
    }
    it->settled = answers;
    return true;
}

void MarkingSession::setPupil(int copyIndex, const QString &pupil)
{
    if (copyIndex >= 0 && copyIndex < int(m_copies.size()))
        m_copies[size_t(copyIndex)].pupil = pupil.simplified();
}

ClassRunRecord MarkingSession::recordOf(const ReadCopy &copy, const QDateTime &when) const
{
    ClassRun run(m_questionnaire, CopyPageReader::settingsFor(*m_questionnaire, copy.layout), copy.seed);
    for (const CopyQuestion &question : copy.questions) {
        if (const AnswerSet answers = question.answers())
            run.setAnswers(question.question, answers);
    }
    run.finish();
    ClassRunRecord record;
    record.way = ClassRunRecord::Way::Paper;
    record.pupil = copy.pupil;
    record.started = when;
    record.seed = copy.seed;
    record.copy = copy.number;
    record.finished = true;
    record.answers = run.answers();
    record.ticked = run.answerSets();
    record.score = run.score();
    return record;
}

std::vector<ClassRunRecord> MarkingSession::readyRecords(const QDateTime &when) const
{
    std::vector<ClassRunRecord> records;
    for (const ReadCopy &copy : m_copies) {
        if (copy.ready() && !copy.kept)
            records.push_back(recordOf(copy, when));
    }
    return records;
}

MarkingSession::KeepReport MarkingSession::keep(ClassRunKeeper &keeper, const AlreadyKept &alreadyKept,
                                                const QDateTime &when)
{
    KeepReport report;
    for (ReadCopy &copy : m_copies) {
        if (copy.kept)
            continue;
        // A copy the results hold is not offered again, settled or not this time.
        if (alreadyKept && alreadyKept(copy.number, copy.seed)) {
            copy.kept = true;
            ++report.alreadyThere;
            report.lines << tr("%1 : déjà dans les résultats, pas ajoutée une seconde fois.").arg(copy.title());
            continue;
        }
        if (!copy.ready()) {
            QStringList why;
            if (!copy.missingPages().empty())
                why << plural(int(copy.missingPages().size()), tr("%1 page manquante"), tr("%1 pages manquantes"));
            if (const int waiting = copy.waitingCount())
                why << plural(waiting, tr("%1 question à trancher"), tr("%1 questions à trancher"));
            if (!copy.named())
                why << tr("nom à lire");
            report.lines << tr("%1 : pas gardée (%2).").arg(copy.title(), why.join(tr(", ")));
            continue;
        }
        // A failure stops here with its message; the copies kept so far stay kept.
        report.file = keeper.keep(recordOf(copy, when));
        copy.kept = true;
        ++report.kept;
    }
    return report;
}

QStringList MarkingSession::summary() const
{
    QStringList lines;
    const QString copies = plural(int(m_copies.size()), tr("%1 copie"), tr("%1 copies"));
    if (pagesNotRead() == 0)
        lines << tr("%1, %2.").arg(plural(pagesRead(), tr("%1 page lue"), tr("%1 pages lues")), copies);
    else
        lines << tr("%1 sur %2, %3 ; %4.")
                     .arg(plural(pagesRead(), tr("%1 page lue"), tr("%1 pages lues")))
                     .arg(m_pagesGiven)
                     .arg(plural(pagesNotRead(), tr("%1 non lue"), tr("%1 non lues")), copies);
    int ready = 0, waiting = 0, unnamed = 0;
    for (const ReadCopy &copy : m_copies) {
        if (copy.keptBefore)
            continue;
        ready += copy.ready();
        waiting += copy.waitingCount();
        unnamed += !copy.named();
    }
    lines << tr("%1 ; %2 ; %3.")
                 .arg(plural(ready, tr("%1 copie prête"), tr("%1 copies prêtes")),
                      plural(waiting, tr("%1 question à trancher"), tr("%1 questions à trancher")),
                      plural(unnamed, tr("%1 nom à lire"), tr("%1 noms à lire")));
    for (const ReadCopy &copy : m_copies) {
        if (copy.keptBefore)
            lines << tr("%1 : déjà dans les résultats, pas ajoutée une seconde fois.").arg(copy.title());
    }
    for (const PageNote &note : m_notes)
        lines << note.text;
    lines << missingPages();
    for (int number : missingCopies())
        lines << tr("Copie n° %1 : aucune page lue (ses pages sont peut-être parmi celles qui n'ont pas pu être lues).")
                     .arg(number);
    return lines;
}
