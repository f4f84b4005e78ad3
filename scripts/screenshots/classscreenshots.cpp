#include "classscreenshots.h"

#include "classroom/classlist.h"
#include "classroom/classlistdialog.h"
#include "classroom/classquestionnaire.h"
#include "classroom/classsettingsdialog.h"
#include "classroom/pupil/pupilsession.h"
#include "classroom/pupil/pupilwindow.h"
#include "classroom/pupil/teachercode.h"
#include "classroom/pupil/teachercodedialog.h"
#include "platform/scriptedmessageboxes.h"

#include <QComboBox>
#include <QListWidget>
#include "platform/services.h"
#include "platform/systemclock.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest/QTest>

namespace {

// The runs stay in memory: the pictures need no results file.
struct NoKeeper : ClassRunKeeper
{
    QString keep(const ClassRunRecord &) override { return QStringLiteral("quiz-resultats.csv"); }
};

bool saveAt(QWidget &window, const QSize &size, const QString &path)
{
    window.setWindowState(Qt::WindowNoState);
    window.resize(size);
    QCoreApplication::processEvents();
    const bool saved = window.grab().save(path, "PNG");
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << path << '\n';
    return saved;
}

} // namespace

bool saveClassWindows(const QStringList &document, const QString &questionnaireFolder, Services &services,
                      const QDir &output)
{
    // Eight made-up pupils of an imagined class.
    QTemporaryDir data;
    ClassListStore lists(data.path());
    lists.save(QStringLiteral("4e B"), {QStringLiteral("ARNAUD Léa"), QStringLiteral("BENALI Yanis"),
                                       QStringLiteral("COSTA Inès"), QStringLiteral("DUBOIS Hugo"),
                                       QStringLiteral("FAURE Chloé"), QStringLiteral("GARNIER Noé"),
                                       QStringLiteral("MOREAU Jade"), QStringLiteral("NGUYEN Tom")});

    ClassSettings settings;
    settings.shuffleAnswers = true;
    settings.endView = ClassSettings::EndView::MarkAndCorrections;
    auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(document));
    NoKeeper keeper;
    SystemClock &clock = services.clock;
    PupilSession session(questionnaire, settings, keeper, [&clock] { return clock.now(); }, [] { return quint64(7); });
    TeacherCode teacherCode(QStringLiteral("screenshots"), [] { return qint64(0); });
    PupilWindow window(session, lists, services, teacherCode, questionnaireFolder);
    window.show();
    bool ok = true;
    window.ClassBox->setCurrentText(QStringLiteral("4e B"));
    ok = saveAt(window, QSize(1366, 768), output.filePath(QStringLiteral("pupil-mode-name.png"))) && ok;
    window.StartButton->click();
    QTest::keyClick(&window, Qt::Key_2);
    ok = saveAt(window, QSize(1366, 768), output.filePath(QStringLiteral("pupil-question-1366x768.png"))) && ok;
    ok = saveAt(window, QSize(1920, 1080), output.filePath(QStringLiteral("pupil-question-1920x1080.png"))) && ok;
    for (int question = 1; question < 6; ++question) {
        QTest::keyClick(&window, Qt::Key_PageDown);
        QTest::keyClick(&window, Qt::Key_1);
    }
    // "Terminer", answered "Oui".
    if (auto *boxes = dynamic_cast<ScriptedMessageBoxes *>(&services.boxes))
        boxes->script(MessageAnswer::Yes);
    window.FinishButton->click();
    ok = saveAt(window, QSize(1366, 768), output.filePath(QStringLiteral("pupil-end.png"))) && ok;
    window.StopButton->click();
    ok = saveAt(window, QSize(1366, 768), output.filePath(QStringLiteral("pupil-stop.png"))) && ok;

    ClassSettingsDialog settingsDialog(settings);
    settingsDialog.show();
    ok = saveAt(settingsDialog, settingsDialog.sizeHint(), output.filePath(QStringLiteral("class-settings.png"))) && ok;

    TeacherCodeDialog codeDialog;
    codeDialog.show();
    ok = saveAt(codeDialog, codeDialog.sizeHint(), output.filePath(QStringLiteral("class-teacher-code.png"))) && ok;

    ClassListDialog listDialog(lists, services);
    listDialog.show();
    ok = saveAt(listDialog, listDialog.size(), output.filePath(QStringLiteral("class-lists.png"))) && ok;

    // A timed run: 55 minutes, a third more for one pupil of the list.
    lists.saveEntries(QStringLiteral("4e B"), ClassListReader::entriesOfText(QStringLiteral(
                                                  "ARNAUD Léa\nBENALI Yanis ; +33 %\nCOSTA Inès\nDUBOIS Hugo ; +10 min\n"
                                                  "FAURE Chloé\nGARNIER Noé\nMOREAU Jade\nNGUYEN Tom")));
    ClassListDialog extraDialog(lists, services);
    extraDialog.show();
    extraDialog.ClassList->setCurrentRow(0);
    ok = saveAt(extraDialog, extraDialog.size(), output.filePath(QStringLiteral("class-lists-extra-time.png"))) && ok;
    ClassSettings timed = settings;
    timed.durationMinutes = 55;
    PupilSession timedSession(questionnaire, timed, keeper, [&clock] { return clock.now(); }, [] { return quint64(7); });
    PupilWindow timedWindow(timedSession, lists, services, teacherCode, questionnaireFolder);
    timedWindow.show();
    timedWindow.ClassBox->setCurrentText(QStringLiteral("4e B"));
    timedWindow.NameBox->setCurrentText(QStringLiteral("BENALI Yanis"));
    timedWindow.StartButton->click();
    ok = saveAt(timedWindow, QSize(1366, 768), output.filePath(QStringLiteral("pupil-time-left-1366x768.png"))) && ok;
    // The teacher's page, where she may give the pupil more time.
    timedWindow.StopButton->click();
    ok = saveAt(timedWindow, QSize(1366, 768), output.filePath(QStringLiteral("pupil-grant-time-1366x768.png"))) && ok;
    return ok;
}
