#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nelo Qcm"));
    QApplication::setApplicationDisplayName(QStringLiteral("Nelo Qcm"));

    // The authoring workspace is not built yet: an honest empty frame until it is.
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Nelo Qcm"));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
