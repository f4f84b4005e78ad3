// The baselines of the start-up benchmark: the least a Qt Widgets program does to show a main
// window (empty), or, with --with-text, the same window with a menu and one line of text, which
// makes Qt load its font database as every real program must. Both say "shown" and leave
// exactly as nelo-qcm --quit-when-shown does.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Nelo Qcm"));
    if (QApplication::arguments().contains(QStringLiteral("--with-text"))) {
        window.menuBar()->addMenu(QStringLiteral("&Fichier"));
        window.setCentralWidget(new QLabel(QStringLiteral("Question 1")));
    }
    window.showMaximized();
    QTimer::singleShot(0, &app, [] {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return app.exec();
}
