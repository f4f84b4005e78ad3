#include "pictures/previewwindow.h"

#include "pictures/picture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

PreviewWindow::PreviewWindow(Picture &picture, QWidget *parent)
    : QDialog(parent, Qt::Tool), m_picture(picture)
{
    setWindowTitle(tr("Prévisualiser"));
    setModal(true);
    setSizeGripEnabled(true);
    const QSize wanted(picture.width() + 2 * Border, picture.height() + 2 * Border);
    QRect area(QPoint(0, 0), wanted);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        area.setSize(wanted.boundedTo(available.size()));
        area.moveCenter(available.center());
    }
    resize(area.size());
    move(area.topLeft());
    connect(&m_picture, &Picture::changed, this, &PreviewWindow::pictureChanged);
}

void PreviewWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_picture.isEmpty() && !m_picture.needsPreparation())
        m_cache.paint(painter, m_picture, rect(), rect(), devicePixelRatioF());
}

void PreviewWindow::pictureChanged()
{
    m_cache.invalidate();
    update();
}
