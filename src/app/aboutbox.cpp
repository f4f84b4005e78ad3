#include "app/aboutbox.h"

#include "app/artwork.h"
#include "app/version.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("A propos"));
    setFixedSize(329, 218);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    createPanel();

    OKButton = new QPushButton(tr("OK"), this);
    OKButton->setGeometry(131, 178, 75, 27);
    OKButton->setDefault(true);
    // Escape rejects the dialog, which closes it just as the OK button does.
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::createPanel()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 8, 313, 161);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);

    auto *icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(12, 12, 64, 64);

    auto *name = new QLabel(tr("Nelo Qcm"), panel);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 3);
    name->setFont(bold);
    name->setGeometry(92, 16, 200, 26);

    auto *version = new QLabel(tr("Version %1").arg(QLatin1String(NeloVersion::Shown)), panel);
    version->setObjectName(QStringLiteral("Version"));
    version->setGeometry(92, 46, 200, 20);

    auto *comments = new QLabel(tr("Générateur de questionnaires à choix multiples."), panel);
    comments->setObjectName(QStringLiteral("Comments"));
    comments->setWordWrap(true);
    comments->setGeometry(12, 94, 289, 52);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    // Drawn at the first showing rather than at start-up, where every millisecond shows.
    auto *icon = findChild<QLabel *>(QStringLiteral("ProgramIcon"));
    if (icon && icon->pixmap().isNull())
        icon->setPixmap(artworkPixmap(QStringLiteral(":/pictures/nelo-qcm.svg"), QSize(64, 64), devicePixelRatioF()));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}
