#include "app/classroomcommands.h"
#include "app/mainform.h"
#include "app/workspace.h"
#include "classroom/classlist.h"
#include "document/qcmfile.h"
#include "document/qcmtext.h"
#include "editor/planche.h"
#include "marking/copiesdialog.h"
#include "marking/copypagereader.h"
#include "marking/markedcorpus.h"
#include "marking/reviewwindow.h"
#include "marking/scannedpage.h"
#include "marking/scanzoom.h"
#include "results/resultsfile.h"
#include "menuprogram.h"
#include "whenshown.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Questions = 4;
constexpr double Dpi = 150;

// Each page of the printed copies scanned with the second answer of every question blackened,
// and on the first copy its second question's first answer too; the scans in one PDF, as a
// copier makes it.
void scanCopies(const QString &printed, const QString &scans, const ClassQuestionnaire &questionnaire)
{
    const ScanFile file(printed);
    QPdfWriter writer(scans);
    writer.setResolution(int(Dpi));
    writer.setPageMargins(QMarginsF());
    QPainter painter(&writer);
    QRandomGenerator random(5);
    for (int page = 0; page < file.pageCount(); ++page) {
        QImage image = file.page(page, Dpi).convertToFormat(QImage::Format_RGB32);
        // The scan's own code says where its boxes are.
        const CopyPayload payload = ScannedPage(image).payload();
        const auto boxes = CopyPageReader::printedBoxes(questionnaire, payload.layout, payload.seed);
        for (size_t i = 0; i < payload.boxTops.size(); ++i) {
            const auto &box = boxes[size_t(payload.firstBox) + i];
            if (box.answer == 2 || (payload.copy == 1 && box.question == 1 && box.answer == 1)) {
                const QRectF rect(CopyGeometry::besideBoxLeft(), payload.boxTops[i], CopyGeometry::besideBoxSide(),
                                  CopyGeometry::besideBoxSide());
                MarkedCorpus::drawMark(image, QRectF(rect.topLeft() * Dpi / 72, rect.size() * Dpi / 72),
                                       MarkedCorpus::Mark::Filled, random);
            }
        }
        if (page > 0)
            writer.newPage();
        painter.drawImage(QRect(0, 0, writer.width(), writer.height()), image);
    }
}

} // namespace

// Copies printed, scanned and marked as the teacher does it from the main window.
class TestPaperCopyCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void printedScannedMarked();

private:
    MenuProgram program;
    QTemporaryDir dir;
};

void TestPaperCopyCommands::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    ClassListStore(ClassroomCommands::defaultClassListFolder())
        .save(QStringLiteral("4e B"), {QStringLiteral("ALBERT Ana"), QStringLiteral("BRUN Basile")});
}

void TestPaperCopyCommands::printedScannedMarked()
{
    const QStringList lines = MarkedCorpus::questionnaireLines(Questions, false);
    const QString quiz = dir.filePath(QStringLiteral("quiz.qcm"));
    QcmFile::write(quiz, QcmText::encodeLines(lines));
    program.form().openNamedQuestionnaire(quiz);
    const auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(lines));

    const QString printed = dir.filePath(QStringLiteral("copies.pdf"));
    program.printing.script(printed);
    program.boxes.script(MessageAnswer::Ok); // where the PDF went
    bool defaults = false;
    whenModal<CopiesDialog>([&defaults](CopiesDialog *dialog) {
        // Boxes beside the answers, numbered copies, unless the teacher says otherwise.
        defaults = dialog->BesideRadio->isChecked() && dialog->NumberedRadio->isChecked()
                   && dialog->layout() == CopyLayout::BoxesBeside;
        dialog->CountSpin->setValue(2);
        dialog->accept();
    });
    program.trigger(QStringLiteral("Imprimer des &copies à corriger..."));
    QVERIFY(defaults);
    QCOMPARE(ScanFile(printed).pageCount(), 2);

    const QString scans = dir.filePath(QStringLiteral("scan.pdf"));
    scanCopies(printed, scans, *questionnaire);
    const auto markThroughTheMenu = [&](const std::function<void(ReviewWindow *)> &review) {
        program.dialogs.script(scans);
        whenModal<ReviewWindow>([review](ReviewWindow *window) {
            review(window);
            window->CloseButton->click();
        });
        program.trigger(QStringLiteral("Corri&ger des copies scannées..."));
    };

    QStringList rows;
    markThroughTheMenu([&rows](ReviewWindow *window) {
        for (int row = 0; row < window->ReviewList->count(); ++row)
            rows << window->ReviewList->item(row)->text();
        QVERIFY(!window->SaveButton->isEnabled());
        // The doubtful question: the teacher clicks the second box on the scan.
        window->ReviewList->setCurrentRow(1);
        QCOMPARE(window->ReadingLabel->text(), QStringLiteral("Lecture proposée : aucune réponse."));
        QTest::mouseClick(window->Zoom, Qt::LeftButton, {}, window->Zoom->boxOnWidget(1).center().toPoint());
        QCOMPARE(window->ReadingLabel->text(), QStringLiteral("Votre choix : case 2."));
        // The first copy's name from the class list, the second's typed.
        window->ReviewList->setCurrentRow(0);
        window->ClassCombo->setCurrentText(QStringLiteral("4e B"));
        QCOMPARE(window->PupilCombo->currentText(), QStringLiteral("ALBERT Ana"));
        window->NameButton->click();
        window->ReviewList->setCurrentRow(2);
        window->ClassCombo->setCurrentIndex(0);
        window->PupilCombo->setEditText(QStringLiteral("  BRUN   Basile "));
        window->NameButton->click();
        window->SaveButton->click();
        QVERIFY(!window->SaveButton->isEnabled());
    });
    QCOMPARE(rows, (QStringList{QStringLiteral("• Copie n° 1 : nom à lire"),
                                QStringLiteral("• Copie n° 1, question 2 : plusieurs cases noircies"),
                                QStringLiteral("• Copie n° 2 : nom à lire")}));
    QCOMPARE(program.boxes.lastText(), QStringLiteral("Les copies prêtes sont enregistrées."));

    const QString results = ResultsFile::pathFor(dir.path(), quiz);
    const ResultsSheet sheet = ResultsFile::read(results);
    QCOMPARE(sheet.runs.size(), size_t(2));
    for (int copy = 0; copy < 2; ++copy) {
        const QStringList &run = sheet.runs[size_t(copy)];
        QCOMPARE(run[ResultsFile::NameColumn], copy == 0 ? QStringLiteral("ALBERT Ana") : QStringLiteral("BRUN Basile"));
        QCOMPARE(run[ResultsFile::WayColumn], QStringLiteral("papier"));
        QCOMPARE(run[ResultsFile::CopyColumn], QString::number(copy + 1));
        QCOMPARE(run.mid(ResultsFile::FixedColumnCount), QStringList(Questions, QStringLiteral("2")));
    }

    // The same scans again, and once more from the window: the copies the results hold offer
    // nothing to settle, nothing is added, nothing read twice.
    int duplicates = 0;
    QStringList offered;
    bool saveOffered = true;
    markThroughTheMenu([&](ReviewWindow *window) {
        program.dialogs.script(scans);
        window->AddScanButton->click();
        for (int row = 0; row < window->ReviewList->count(); ++row) {
            const QString text = window->ReviewList->item(row)->text();
            duplicates += text.contains(QStringLiteral("déjà lue"));
            if (text.contains(QStringLiteral("nom à lire")) || text.contains(QStringLiteral("question")))
                offered << text;
        }
        saveOffered = window->SaveButton->isEnabled();
    });
    QCOMPARE(duplicates, 2);
    QCOMPARE(offered, QStringList());
    QVERIFY(!saveOffered);
    QCOMPARE(ResultsFile::read(results).runs.size(), size_t(2));
}

QTEST_MAIN(TestPaperCopyCommands)
#include "tst_papercopycommands.moc"
