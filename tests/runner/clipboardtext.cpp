// Prints the text on the clipboard of the X display it runs on: the end-to-end run reads the
// results the program copied there.
#include <QClipboard>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return text.isEmpty() ? 1 : 0;
}
