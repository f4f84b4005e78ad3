#include "classroom/classlist.h"
#include "classroom/network/networksession.h"
#include "classroom/network/networksessionwindow.h"
#include "classroom/network/servedsession.h"
#include "classroom/network/sessiontablemodel.h"
#include "networktesting.h"
#include "scriptedservices.h"
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <QTemporaryDir>
using namespace NetworkTesting;
int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir; ScriptedServices scripted; ListKeeper keeper; StepClock clock;
    ClassListStore lists(dir.filePath("classes"));
    // "timed": a 55-minute test, two pupils of the class list with extra time, twelve minutes in.
    const bool timed = argc > 2 && QByteArray(argv[2]) == "timed";
    const char *names[] = {"DURAND Ann", "MARTIN Bob", "LEROY Chloé", "PETIT Denis", "MOREAU Élodie", "SIMON Farid"};
    NetworkSessionStart start; start.lines = questionnaire(12, true); start.address = "127.0.0.1";
    if (timed) {
        start.lines.prepend("PASSATION duree=55");
        start.className = "4e B";
        for (const char *name : names) start.classPupils << name;
        start.classExtraTimes = QStringList{"", "+33 %", "", "", "+10 min", ""};
        lists.saveEntries("4e B", ClassListReader::entriesOfText(
                                      "DURAND Ann\nMARTIN Bob ; +33 %\nLEROY Chloé\nPETIT Denis\nMOREAU Élodie ; +10 min\nSIMON Farid"));
    } else {
        lists.save("4e B", {"DURAND Ann", "MARTIN Bob"});
    }
    ServedSession served(NetworkSession::begin(dir.filePath("j.journal"), start, keeper, clock.function()), scripted.pictures);
    NetworkSessionWindow window(served, lists, scripted.services);
    for (int i = 0; i < 6; ++i) {
        NetworkPupil &p = *served.session().pupilFor(served.session().join(names[i]).token);
        for (int q = 0; q < 2 * i && q < 12; ++q) served.session().answer(p, q, 1 + (q + i) % 4, q + 1);
        if (i % 2 == 1) served.session().finish(p);
    }
    if (timed) {
        clock.now = clock.now.addSecs(12 * 60);
        served.session().grantMinutes(2, 5);
    }
    window.ShowMarksBox->setChecked(argc > 2 && !timed);
    window.resize(1366, 768);
    window.show();
    // The table tells its changes a few times a second: the picture waits for the last of them.
    QEventLoop settle;
    QTimer::singleShot(2 * SessionTableModel::RefreshMs, &settle, &QEventLoop::quit);
    settle.exec();
    window.grab().save(argv[1]);
}
