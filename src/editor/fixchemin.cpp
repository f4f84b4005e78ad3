#include "editor/fixchemin.h"

#include "platform/accessiblenames.h"
#include "platform/firstshow.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

namespace {

constexpr int PathRole = Qt::UserRole;

QString displayName(const QString &path)
{
    const QString name = QDir(path).dirName();
    return name.isEmpty() ? path : name;
}

} // namespace

TFixchemin::TFixchemin(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Fixchemin"));
    setWindowTitle(tr("Fixer le chemin"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(DesignWidth, DesignHeight);
    createControls();
    // The folders are listed when the dialog shows, as on every opening.
    m_chosen = QDir::cleanPath(QDir::currentPath());
}

void TFixchemin::showEvent(QShowEvent *event)
{
    // Opens again on the directory chosen last, whatever folder is current now; its folders are
    // listed afresh. One removed meanwhile gives way to the nearest folder above it that is left.
    QString chosen = m_chosen;
    for (QString above = QFileInfo(chosen).path(); !QFileInfo(chosen).isDir() && above != chosen;
         above = QFileInfo(chosen).path())
        chosen = above;
    showDirectory(chosen);
    QDialog::showEvent(event);
}

void TFixchemin::createControls()
{
    Label1 = new QLabel(tr("Chemin absolu"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(16, 8);
    adjustSizeWhenShown(Label1);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Bevel1->setGeometry(14, 28, 500, 26);
    Label2 = new QLabel(Bevel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(2, 2, 496, 22);
    Label2->setAutoFillBackground(true);
    QPalette white = Label2->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    Label2->setPalette(white);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Named by its caption; the path it shows is heard as its description (its tool tip).
    AccessibleNames::setCaption(Label2, Label1);

    Button1 = new QPushButton(tr("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(440, 96, 75, 25);
    Button2 = new QPushButton(tr("Annuler"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(440, 64, 75, 25);

    DirectoryListBox1 = new QTreeWidget(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setAccessibleName(tr("Dossiers"));
    DirectoryListBox1->setGeometry(14, 64, 408, 208);
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setColumnCount(1);
    DirectoryListBox1->setIndentation(14);
    DirectoryListBox1->setRootIsDecorated(false);
    // Double click and Enter open a folder; expanding on double click would only fold it.
    DirectoryListBox1->setExpandsOnDoubleClick(false);
    DirectoryListBox1->setItemsExpandable(false);
    // Every level is open and stays open: no fold marks beside them. A style sheet is parsed
    // when it is set, so this one waits for the dialog's first showing.
    whenFirstShown(DirectoryListBox1, [tree = DirectoryListBox1] {
        tree->setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    });
    DirectoryListBox1->installEventFilter(this);

    // "OK" first, so it has the focus when the dialog opens; no default button: Enter presses
    // the button that has the focus.
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, DirectoryListBox1);
    Button1->setFocus();

    connect(Button1, &QPushButton::clicked, this, &TFixchemin::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFixchemin::Button2Click);
    connect(DirectoryListBox1, &QTreeWidget::itemDoubleClicked, this, &TFixchemin::openItem);
}

void TFixchemin::showDirectory(const QString &path)
{
    m_chosen = QDir::cleanPath(path);
    Label2->setText(m_chosen);
    Label2->setToolTip(m_chosen);

    const QIcon openFolder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedFolder = style()->standardIcon(QStyle::SP_DirClosedIcon);
    DirectoryListBox1->clear();

    // The way down from the root, each level inside the previous one.
    QStringList levels;
    for (QDir dir(m_chosen);; ) {
        levels.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    QTreeWidgetItem *parent = nullptr;
    for (const QString &level : std::as_const(levels)) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(DirectoryListBox1);
        item->setText(0, displayName(level));
        item->setData(0, PathRole, level);
        item->setIcon(0, openFolder);
        item->setExpanded(true);
        parent = item;
    }
    QTreeWidgetItem *chosen = parent;

    const QDir dir(m_chosen);
    const QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &child : children) {
        auto *item = new QTreeWidgetItem(chosen);
        item->setText(0, child);
        item->setData(0, PathRole, dir.filePath(child));
        item->setIcon(0, closedFolder);
    }
    if (chosen) {
        chosen->setExpanded(true);
        DirectoryListBox1->setCurrentItem(chosen);
        DirectoryListBox1->scrollToItem(chosen);
    }
}

bool TFixchemin::openDirectory(const QString &path)
{
    const QString absolute = QDir(path).absolutePath();
    if (!QDir(absolute).isReadable() || !QDir::setCurrent(absolute))
        return false;
    showDirectory(absolute);
    return true;
}

void TFixchemin::openItem(QTreeWidgetItem *item)
{
    if (item)
        openDirectory(item->data(0, PathRole).toString());
}

bool TFixchemin::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DirectoryListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openItem(DirectoryListBox1->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFixchemin::Button1Click()
{
    accept();
}

void TFixchemin::Button2Click()
{
    reject();
}

void TFixchemin::Result(QString &directory) const
{
    // Only "OK" confirms; "Annuler", Escape and the close box all cancel: confirming by Escape
    // would rewrite every picture path of the questionnaire without a word.
    directory.clear();
    if (result() == QDialog::Accepted)
        directory = m_chosen;
}
