#include "app/splash.h"

#include "app/artwork.h"
#include "app/version.h"
#include "platform/desktopconventions.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

constexpr int SplashWidth = 318;
constexpr int SplashHeight = 221;
constexpr int BevelWidth = 3;
const QColor SplashYellow(255, 255, 0);
const QColor PanelOlive(128, 128, 0);

} // namespace

TSplash::TSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(SplashWidth, SplashHeight);
    setWindowTitle(QApplication::applicationDisplayName());
    createLabels();
}

void TSplash::createLabels()
{
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(24, 54, 89, 113);
    picture->setScaledContents(true);
    picture->setPixmap(artworkPixmap(QStringLiteral(":/pictures/splash.svg"), picture->size(), devicePixelRatioF()));

    auto *name = new QLabel(tr("Nelo Qcm"), this);
    name->setObjectName(QStringLiteral("ProductName"));
    name->setFont(designFont(QStringLiteral("Arial"), 23, true));
    name->setGeometry(130, 78, 170, 32);
    name->setAlignment(Qt::AlignCenter);

    auto *version = new QLabel(tr("Version %1").arg(QLatin1String(NeloVersion::Shown)), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setFont(designFont(QStringLiteral("Arial"), 15, true));
    version->setGeometry(130, 118, 170, 24);
    version->setAlignment(Qt::AlignCenter);
}

void TSplash::showAndPaint()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    // Let the window system map the window and draw it before the slow part of the start-up.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), SplashYellow);
    const QRect panel = rect().adjusted(10, 10, -10, -10);
    painter.fillRect(panel, PanelOlive);
    // A raised bevel: light on the top and left edges, dark on the bottom and right.
    for (int i = 0; i < BevelWidth; ++i) {
        const QRect edge = panel.adjusted(i, i, -i, -i);
        painter.setPen(PanelOlive.lighter(160));
        painter.drawLine(edge.topLeft(), edge.topRight());
        painter.drawLine(edge.topLeft(), edge.bottomLeft());
        painter.setPen(PanelOlive.darker(170));
        painter.drawLine(edge.bottomLeft(), edge.bottomRight());
        painter.drawLine(edge.topRight(), edge.bottomRight());
    }
}
