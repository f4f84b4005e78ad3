#include "markingscreenshots.h"

#include "classroom/classlist.h"
#include "classroom/classtiming.h"
#include "document/qcmformat.h"
#include "marking/copiesdialog.h"
#include "marking/markedcorpus.h"
#include "marking/markingsession.h"
#include "marking/reviewwindow.h"
#include "platform/services.h"

#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

bool report(bool saved, const QString &path)
{
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << path << '\n';
    return saved;
}

bool saveWindow(QWidget &window, const QSize &size, const QString &path)
{
    window.resize(size);
    QCoreApplication::processEvents();
    return report(window.grab().save(path, "PNG"), path);
}

} // namespace

bool saveMarkingWindows(const QStringList &document, const QString &questionnaireFolder, Services &services,
                        const QDir &output)
{
    QTemporaryDir folder;
    ClassListStore lists(folder.filePath(QStringLiteral("classes")));
    lists.save(QStringLiteral("4e B"), {QStringLiteral("ARNAUD Léa"), QStringLiteral("BENALI Yanis"),
                                       QStringLiteral("COSTA Inès"), QStringLiteral("DUBOIS Hugo")});
    const auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(document));
    PaperCopies copies(QStringLiteral("capitales"), questionnaire, services.pictures, questionnaireFolder);
    bool ok = true;

    const QString beside = folder.filePath(QStringLiteral("beside.pdf"));
    const std::vector<PrintedCopy> numbered = {{12, QString(), 0x5A17}};
    MarkedCorpus::print(copies, numbered, CopyLayout::BoxesBeside, beside);
    const QString sheet = folder.filePath(QStringLiteral("sheet.pdf"));
    MarkedCorpus::print(copies, {{3, QStringLiteral("ARNAUD Léa"), 0x5A18}}, CopyLayout::AnswerSheet, sheet);
    for (const auto &[pdf, name] : {std::pair{beside, QStringLiteral("copy-boxes-beside.png")},
                                    std::pair{sheet, QStringLiteral("copy-answer-sheet.png")}}) {
        const QString path = output.filePath(name);
        ok = report(ScanFile(pdf).page(0, 90).save(path, "PNG"), path) && ok;
    }

    // A question with several right answers in the place of the second: its heading says so.
    {
        QStringList several = document;
        const qsizetype open = several.indexOf(QcmFormat::openingTag(1));
        const qsizetype close = several.indexOf(QcmFormat::closingTag(1));
        if (open >= 0 && close > open) {
            const QStringList question = {QStringLiteral("TITLE Quelles villes sont des capitales ?"),
                                          QStringLiteral("PICTURE "), QStringLiteral("REP1 Madrid"),
                                          QStringLiteral("REP2 Barcelone"), QStringLiteral("REP3 Lisbonne"),
                                          QStringLiteral("REP4 Porto"), QStringLiteral("REP5 Séville"),
                                          QStringLiteral("REPONSE 1"), QStringLiteral("Correction :"),
                                          QStringLiteral("Bonnes réponses : 1, 3")};
            several = several.mid(0, open + 1) + question + several.mid(close);
        }
        PaperCopies severalCopies(QStringLiteral("capitales"),
                                  std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(several)),
                                  services.pictures, questionnaireFolder);
        // Beside the answers, and the answer sheet's row with its word.
        for (const auto &[layout, name] : {std::pair{CopyLayout::BoxesBeside, QStringLiteral("copy-plusieurs-reponses.png")},
                                           std::pair{CopyLayout::AnswerSheet,
                                                     QStringLiteral("copy-plusieurs-reponses-feuille.png")}}) {
            const QString pdf = folder.filePath(QStringLiteral("several.pdf"));
            MarkedCorpus::print(severalCopies, {{5, QStringLiteral("COSTA Inès"), 0x5A19}}, layout, pdf);
            const QString path = output.filePath(name);
            ok = report(ScanFile(pdf).page(0, 90).save(path, "PNG"), path) && ok;
        }
    }

    // The copy of a pupil with a third more time, in a 55-minute test: the invigilator reads it
    // on the first page.
    {
        const QString pdf = folder.filePath(QStringLiteral("extra.pdf"));
        MarkedCorpus::print(copies,
                            {{7, QStringLiteral("BENALI Yanis"), 0x5A1A,
                              TimeAnnouncer::invigilatorNote(ExtraTime{ExtraTime::Kind::Percent, 33}, 55)}},
                            CopyLayout::BoxesBeside, pdf);
        const QString path = output.filePath(QStringLiteral("copy-temps-majore.png"));
        ok = report(ScanFile(pdf).page(0, 90).save(path, "PNG"), path) && ok;
    }

    CopiesDialog dialog(lists);
    dialog.show();
    ok = saveWindow(dialog, dialog.sizeHint(), output.filePath(QStringLiteral("copies-dialog.png"))) && ok;

    // A pupil who blackened two boxes of the first question, and a light pencil on the third.
    QImage scan = ScanFile(beside).page(0, 200).convertToFormat(QImage::Format_RGB32);
    const CopyPage page = copies.layOut(numbered.front(), CopyLayout::BoxesBeside).front();
    QRandomGenerator random(4);
    int box = 0;
    for (const PaperItem &item : page.items) {
        if (item.kind != PaperItem::CheckBox)
            continue;
        const QRectF pixels(item.rect.topLeft() * 200 / 72, item.rect.size() * 200 / 72);
        if (box == 0 || box == 1 || box == 7)
            MarkedCorpus::drawMark(scan, pixels, MarkedCorpus::Mark::Filled, random);
        else if (box == 11)
            MarkedCorpus::drawMark(scan, pixels, MarkedCorpus::Mark::Crossed, random);
        ++box;
    }
    {
        // The pupil's name, by hand.
        QPainter hand(&scan);
        QFont font(QStringLiteral("Liberation Serif"));
        font.setItalic(true);
        font.setPixelSize(60);
        hand.setFont(font);
        hand.setPen(QColor(30, 40, 120));
        const QRectF name = CopyGeometry::nameBox();
        hand.drawText(QPointF(name.left() + 40, name.bottom() - 12) * 200 / 72, QStringLiteral("Yanis Benali  4e B"));
    }
    MarkingSession session(questionnaire);
    session.addPage(MarkedCorpus::spoil(scan, {1.5, 1, 4, 0, 60, false, false}, 200, 1), {QStringLiteral("scan.pdf"), 1});
    ReviewWindow review(session, lists, services, [](MarkingSession &) { return MarkingSession::KeepReport(); });
    review.show();
    review.ReviewList->setCurrentRow(1);
    ok = saveWindow(review, QSize(1000, 640), output.filePath(QStringLiteral("marking-review.png"))) && ok;
    review.ReviewList->setCurrentRow(0);
    ok = saveWindow(review, QSize(1000, 640), output.filePath(QStringLiteral("marking-name.png"))) && ok;
    return ok;
}
