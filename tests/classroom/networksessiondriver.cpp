// The session window with its server, run for the browser test: a questionnaire's session on
// 127.0.0.1, its runs kept in a results file, driven by lines on the standard input and
// answering in JSON lines on the standard output.
//
//   nelo-network-session-driver <questionnaire.qcm> <results.csv>
//   -> {"address": "http://127.0.0.1:8080/", "code": "123456"}
//   table          -> {"rows": [[name, answered, state, mark], ...]} (marks shown)
//   end            "Terminer la passation", then the table
//   corrections    "Montrer les corrections", then the table
//   class <name>\t<pupil>\t...   keeps a class list and chooses it in the window
//   codes <file>   "Codes personnels...", the sheet printed into the PDF file <file>
//   takeover / refuse   answers the first device waiting for a pupil's copy
//   shot <file>    the window as a PNG
//   quit           closes the window and stops
#include "classroom/classlist.h"
#include "classroom/network/networksession.h"
#include "classroom/network/networksessionwindow.h"
#include "classroom/network/servedsession.h"
#include "classroom/network/sessionjournal.h"
#include "classroom/network/sessiontablemodel.h"
#include "document/picturelocation.h"
#include "document/qcmfile.h"
#include "document/qcmtext.h"
#include "pictures/webpictures.h"
#include "results/resultsrunkeeper.h"
#include "scriptedservices.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QJsonObject &object)
{
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

QJsonObject table(NetworkSessionWindow &window)
{
    window.ShowMarksBox->setChecked(true);
    QJsonArray rows;
    const SessionTableModel &model = *window.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        QJsonArray cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells.append(model.data(model.index(row, column)).toString());
        rows.append(cells);
    }
    return {{QStringLiteral("rows"), rows}, {QStringLiteral("message"), window.MessageLabel->text()}};
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: nelo-network-session-driver questionnaire.qcm results.csv\n");
        return 2;
    }
    const QString questionnaire = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString results = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir dir;
    ScriptedServices scripted;
    registerWebFormats(scripted.pictures);

    NetworkSessionStart start;
    start.lines = QcmText::decodeQuestionnaire(QcmFile::read(questionnaire)).lines;
    start.questionnairePath = questionnaire;
    start.pictureFolder = PictureLocation::folderOf(questionnaire);
    start.address = QStringLiteral("127.0.0.1");
    ResultsRunKeeper keeper(std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(start.lines)), results);
    const QString journal = SessionJournal::pathFor(QFileInfo(results).absolutePath(), questionnaire);
    ServedSession served(NetworkSession::begin(journal, start, keeper,
                                               [] { return QDateTime::currentDateTime(); }),
                         scripted.pictures);
    ClassListStore lists(dir.filePath(QStringLiteral("classes")));
    NetworkSessionWindow window(served, lists, scripted.services);
    window.resize(1200, 720);
    window.show();
    if (!served.listening()) {
        std::fprintf(stderr, "not listening: %s\n", qPrintable(served.errorText()));
        return 1;
    }
    say({{QStringLiteral("address"), served.pageAddress()}, {QStringLiteral("code"), served.session().start().code}});

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            app.quit();
            return;
        }
        for (const QByteArray &line : QByteArray(buffer, int(count)).trimmed().split('\n')) {
            const QByteArray command = line.trimmed();
            if (command == "table") {
                say(table(window));
            } else if (command == "end") {
                scripted.boxes.script(MessageAnswer::Yes);
                window.EndButton->click();
                say(table(window));
            } else if (command == "corrections") {
                scripted.boxes.script(MessageAnswer::Yes);
                window.ShowCorrectionsButton->click();
                say(table(window));
            } else if (command.startsWith("class ")) {
                const QStringList fields = QString::fromUtf8(command.mid(6)).split(QLatin1Char('\t'));
                lists.save(fields.front(), fields.mid(1));
                if (window.ClassBox->findText(fields.front()) < 0)
                    window.ClassBox->addItem(fields.front());
                window.ClassBox->setCurrentIndex(window.ClassBox->findText(fields.front()));
                say({{QStringLiteral("class"), served.session().start().className}});
            } else if (command.startsWith("timedclass ")) {
                // "timedclass 3e A<TAB>Ann Durand<TAB>Bob Martin ; +50 %": pupils with their extra time.
                const QStringList fields = QString::fromUtf8(command.mid(11)).split(QLatin1Char('\t'));
                lists.saveEntries(fields.front(), ClassListReader::entriesOfText(fields.mid(1).join(QLatin1Char('\n'))));
                if (window.ClassBox->findText(fields.front()) < 0)
                    window.ClassBox->addItem(fields.front());
                window.ClassBox->setCurrentIndex(window.ClassBox->findText(fields.front()));
                say({{QStringLiteral("class"), served.session().start().className},
                     {QStringLiteral("extra"), QJsonArray::fromStringList(served.session().start().classExtraTimes)}});
            } else if (command.startsWith("codes ")) {
                scripted.printing.script(QString::fromLocal8Bit(command.mid(6)));
                scripted.boxes.script(MessageAnswer::Ok); // where the PDF went
                window.CodesButton->click();
                say({{QStringLiteral("codes"), served.session().usesPersonalCodes()}});
            } else if (command == "takeover" || command == "refuse") {
                QPushButton *button = window.PupilTable->findChild<QPushButton *>(
                    command == "takeover" ? QStringLiteral("TakeOverButton") : QStringLiteral("RefuseButton"));
                if (button)
                    button->click();
                QJsonObject answer = table(window);
                answer.insert(QStringLiteral("clicked"), button != nullptr);
                say(answer);
            } else if (command.startsWith("shot ")) {
                window.ShowMarksBox->setChecked(false);
                window.grab().save(QString::fromLocal8Bit(command.mid(5)));
                say({{QStringLiteral("shot"), true}});
            } else if (command == "quit") {
                window.close();
                app.quit();
            }
        }
    });
    return app.exec();
}
