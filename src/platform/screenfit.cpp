#include "platform/screenfit.h"

#include "platform/firstshow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// Within room, window and its frame; centred on its parent's window when it has one (a dialog
// over the window it serves), else on room.
void place(QWidget &window, QSize wanted, const QRect &room)
{
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    window.resize(wanted.boundedTo(room.size() - frame));
    QRect placed(QPoint(), window.size() + frame);
    const QWidget *parent = window.parentWidget();
    placed.moveCenter(parent && parent->isVisible() ? parent->window()->frameGeometry().center() : room.center());
    placed.moveRight(std::min(placed.right(), room.right()));
    placed.moveBottom(std::min(placed.bottom(), room.bottom()));
    placed.moveLeft(std::max(placed.left(), room.left()));
    placed.moveTop(std::max(placed.top(), room.top()));
    window.move(placed.topLeft());
}

} // namespace

QRect availableRoom(const QWidget &window)
{
    const QWidget *parent = window.parentWidget();
    const QScreen *screen = parent ? parent->screen() : window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void fitToScreen(QWidget &window, QSize wanted)
{
    const QRect room = availableRoom(window);
    if (room.isEmpty()) {
        window.resize(wanted);
        return;
    }
    place(window, wanted, room);
    // The frame (title bar, borders) is known once the window system has framed the window:
    // placed again then, so that the frame too stays on the screen.
    whenFirstShown(&window, [&window, wanted] {
        const QRect room = availableRoom(window);
        if (!room.isEmpty())
            place(window, window.size().boundedTo(wanted), room);
    });
}
