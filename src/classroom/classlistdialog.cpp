#include "classroom/classlistdialog.h"

#include "classroom/classlist.h"
#include "document/qcmfile.h"
#include "platform/apperror.h"
#include "platform/errorguard.h"
#include "platform/filedialogs.h"
#include "platform/messageboxes.h"
#include "platform/services.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

namespace {

// A class list file of school software is a few kilobytes: a bigger one is not a list.
constexpr qint64 MaxListSize = 4 * 1024 * 1024;

// The "Temps majoré" cell: the usual values of support plans offered, any other typed, and
// written back the one way the program writes it ("33%" becomes "+33 %"). A value that is not
// an extra time is kept as typed, for the teacher to see and mend; keeping the list names it.
class ExtraTimeDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems({QString(), QStringLiteral("+33 %"), QStringLiteral("+50 %"), QStringLiteral("+10 min"),
                       QStringLiteral("+20 min")});
        return box;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QComboBox *>(editor)->setCurrentText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString typed = static_cast<QComboBox *>(editor)->currentText().trimmed();
        const std::optional<ExtraTime> extra = ExtraTime::parse(typed);
        model->setData(index, extra ? extra->text() : typed, Qt::EditRole);
    }
};

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

ClassListDialog::ClassListDialog(ClassListStore &store, Services &services, QWidget *parent)
    : QDialog(parent), m_store(store), m_services(services)
{
    setObjectName(QStringLiteral("ClassListDialog"));
    setWindowTitle(tr("Listes de classe"));

    ClassList = new QListWidget(this);
    ClassList->setObjectName(QStringLiteral("ClassList"));
    connect(ClassList, &QListWidget::currentTextChanged, this, &ClassListDialog::showClass);

    ClassNameEdit = new QLineEdit(this);
    ClassNameEdit->setObjectName(QStringLiteral("ClassNameEdit"));
    ClassNameEdit->setMaxLength(60);
    ClassNameEdit->setPlaceholderText(tr("par exemple : 4e B"));
    PupilsTable = new QTableWidget(0, 2, this);
    PupilsTable->setObjectName(QStringLiteral("PupilsTable"));
    PupilsTable->setHorizontalHeaderLabels({tr("Élève (NOM Prénom)"), tr("Temps majoré")});
    PupilsTable->horizontalHeaderItem(ExtraTimeColumn)
        ->setToolTip(tr("+33 % ou +10 min (tiers-temps d'un PAP ou d'un PPS) : il s'ajoute à la durée de la "
                        "passation, sur le poste de la classe, sur le réseau et sur la copie papier."));
    PupilsTable->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    PupilsTable->horizontalHeader()->setSectionResizeMode(ExtraTimeColumn, QHeaderView::Interactive);
    PupilsTable->horizontalHeader()->resizeSection(ExtraTimeColumn, 130);
    PupilsTable->verticalHeader()->setDefaultSectionSize(PupilsTable->fontMetrics().height() + 10);
    PupilsTable->setItemDelegateForColumn(ExtraTimeColumn, new ExtraTimeDelegate(PupilsTable));
    PupilsTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::AnyKeyPressed);
    PupilsTable->setSelectionBehavior(QAbstractItemView::SelectItems);
    PupilsTable->setAccessibleName(tr("Élèves de la classe"));
    PupilsTable->setAccessibleDescription(tr("Un élève par ligne, son nom puis son temps majoré. Ctrl+V colle une "
                                             "liste copiée d'un tableur."));
    PupilsTable->installEventFilter(this);
    connect(PupilsTable, &QTableWidget::itemChanged, this, &ClassListDialog::cellEdited);
    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));

    ImportButton = new QPushButton(tr("&Importer un fichier..."), this);
    ImportButton->setObjectName(QStringLiteral("ImportButton"));
    SaveButton = new QPushButton(tr("&Enregistrer la liste"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    DeleteButton = new QPushButton(tr("&Supprimer la liste"), this);
    DeleteButton->setObjectName(QStringLiteral("DeleteButton"));
    RemovePupilButton = new QPushButton(tr("Re&tirer l'élève"), this);
    RemovePupilButton->setObjectName(QStringLiteral("RemovePupilButton"));
    RemovePupilButton->setToolTip(tr("Retire de la liste les élèves des lignes choisies (touche Suppr)."));
    connect(RemovePupilButton, &QPushButton::clicked, this, &ClassListDialog::removePupils);
    connect(ImportButton, &QPushButton::clicked, this, &ClassListDialog::importFile);
    connect(SaveButton, &QPushButton::clicked, this, &ClassListDialog::saveClass);
    connect(DeleteButton, &QPushButton::clicked, this, &ClassListDialog::deleteClass);

    auto *classesLabel = new QLabel(tr("&Classes gardées :"), this);
    classesLabel->setBuddy(ClassList);
    auto *left = new QVBoxLayout;
    left->addWidget(classesLabel);
    left->addWidget(ClassList);

    auto *form = new QFormLayout;
    form->addRow(tr("&Nom de la classe :"), ClassNameEdit);
    auto *pupilsLabel = new QLabel(tr("É&lèves :"), this);
    pupilsLabel->setBuddy(PupilsTable);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(CountLabel, 1);
    countRow->addWidget(RemovePupilButton);
    auto *actions = new QHBoxLayout;
    actions->addWidget(ImportButton);
    actions->addWidget(SaveButton);
    actions->addWidget(DeleteButton);
    auto *right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(pupilsLabel);
    right->addWidget(PupilsTable, 1);
    right->addLayout(countRow);
    right->addLayout(actions);

    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 2);

    auto *privacy = new QLabel(tr("Les noms des élèves restent sur cet ordinateur, dans le dossier %1. "
                                  "Supprimez une liste dont vous n'avez plus besoin.")
                                   .arg(QDir::toNativeSeparators(m_store.folder())),
                               this);
    privacy->setObjectName(QStringLiteral("PrivacyLabel"));
    privacy->setWordWrap(true);
    privacy->setTextFormat(Qt::PlainText);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Fermer"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(privacy);
    layout->addWidget(buttons);
    resize(760, 520);

    setEntries({});
    listClasses(QString());
}

std::vector<ClassListReader::Entry> ClassListDialog::entries() const
{
    std::vector<ClassListReader::Entry> pupils;
    for (int row = 0; row < PupilsTable->rowCount(); ++row) {
        if (!cellText(PupilsTable, row, NameColumn).simplified().isEmpty())
            pupils.push_back(ClassListReader::entryOf(cellText(PupilsTable, row, NameColumn),
                                                      cellText(PupilsTable, row, ExtraTimeColumn), row + 1));
    }
    return pupils;
}

void ClassListDialog::setEntries(const std::vector<ClassListReader::Entry> &entries)
{
    {
        const QSignalBlocker quiet(PupilsTable);
        PupilsTable->setRowCount(0);
        PupilsTable->setRowCount(int(entries.size()));
        for (int row = 0; row < int(entries.size()); ++row) {
            PupilsTable->setItem(row, NameColumn, new QTableWidgetItem(entries[row].name));
            PupilsTable->setItem(row, ExtraTimeColumn, new QTableWidgetItem(entries[row].extra.text()));
        }
    }
    keepBlankRowLast();
    countPupils();
}

void ClassListDialog::paste(const QString &text)
{
    QStringList problems;
    const std::vector<ClassListReader::Entry> pasted = ClassListReader::entriesOfPaste(text, &problems);
    if (pasted.empty())
        return;
    {
        const QSignalBlocker quiet(PupilsTable);
        // From the current row on, into the rows left blank and then new ones: a paste never
        // writes over a pupil already in the table.
        int row = std::max(PupilsTable->currentRow(), 0);
        for (const ClassListReader::Entry &entry : pasted) {
            while (row < PupilsTable->rowCount() && !cellText(PupilsTable, row, NameColumn).trimmed().isEmpty())
                ++row;
            if (row == PupilsTable->rowCount())
                PupilsTable->insertRow(row);
            PupilsTable->setItem(row, NameColumn, new QTableWidgetItem(entry.name));
            PupilsTable->setItem(row, ExtraTimeColumn, new QTableWidgetItem(entry.extra.text()));
        }
    }
    keepBlankRowLast();
    countPupils();
    if (!problems.isEmpty()) {
        m_services.boxes.show(MessageIcon::Warning,
                              tr("Ces temps majorés n'ont pas été compris ; les élèves sont dans la liste sans "
                                 "temps majoré :\n%1").arg(problems.mid(0, 10).join(QLatin1Char('\n'))),
                              MessageButtons::Ok);
    }
}

bool ClassListDialog::eventFilter(QObject *watched, QEvent *event)
{
    // While a cell is edited its editor has the keys: these reach the table only between edits.
    if (watched == PupilsTable && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Paste)) {
            paste(QApplication::clipboard()->text());
            return true;
        }
        if (key->matches(QKeySequence::Delete)) {
            removePupils();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ClassListDialog::removePupils()
{
    std::set<int, std::greater<>> rows;
    for (const QModelIndex &index : PupilsTable->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty() && PupilsTable->currentRow() >= 0)
        rows.insert(PupilsTable->currentRow());
    {
        const QSignalBlocker quiet(PupilsTable);
        for (int row : rows)
            PupilsTable->removeRow(row);
    }
    keepBlankRowLast();
    countPupils();
}

void ClassListDialog::cellEdited()
{
    keepBlankRowLast();
    countPupils();
}

void ClassListDialog::keepBlankRowLast()
{
    const int rows = PupilsTable->rowCount();
    const bool lastBlank = rows > 0 && cellText(PupilsTable, rows - 1, NameColumn).trimmed().isEmpty()
        && cellText(PupilsTable, rows - 1, ExtraTimeColumn).trimmed().isEmpty();
    if (!lastBlank) {
        const QSignalBlocker quiet(PupilsTable);
        PupilsTable->insertRow(rows);
    }
}

void ClassListDialog::listClasses(const QString &current)
{
    ClassList->clear();
    ClassList->addItems(m_store.classNames());
    const QList<QListWidgetItem *> found = ClassList->findItems(current, Qt::MatchExactly);
    if (!found.isEmpty())
        ClassList->setCurrentItem(found.first());
    DeleteButton->setEnabled(!found.isEmpty());
}

void ClassListDialog::showClass()
{
    QListWidgetItem *item = ClassList->currentItem();
    DeleteButton->setEnabled(item != nullptr);
    if (!item)
        return;
    ClassNameEdit->setText(item->text());
    setEntries(m_store.entries(item->text()));
}

void ClassListDialog::importFile()
{
    runGuarded(m_services.boxes, [this] {
        const QString path = m_services.dialogs.openFile(
            tr("Listes d'élèves (*.csv *.txt)|*.csv;*.txt|Tous les fichiers (*)|*"), QString(),
            FileDialogs::Folder::KeepCurrent);
        if (path.isEmpty())
            return;
        if (QFileInfo(path).size() > MaxListSize)
            throw AppError(tr("Le fichier %1 est trop volumineux pour une liste d'élèves.").arg(QFileInfo(path).fileName()));
        QStringList problems;
        const std::vector<ClassListReader::Entry> names = ClassListReader::readEntries(QcmFile::read(path), &problems);
        if (names.empty())
            throw AppError(tr("Le fichier %1 ne contient aucun nom d'élève.").arg(QFileInfo(path).fileName()));
        ClassList->setCurrentItem(nullptr);
        if (ClassNameEdit->text().trimmed().isEmpty())
            ClassNameEdit->setText(QFileInfo(path).completeBaseName());
        setEntries(names);
        PupilsTable->setFocus();
        if (!problems.isEmpty()) {
            m_services.boxes.show(MessageIcon::Warning,
                                  tr("Ces temps majorés n'ont pas été compris ; les élèves sont dans la liste sans "
                                     "temps majoré :\n%1").arg(problems.mid(0, 10).join(QLatin1Char('\n'))),
                                  MessageButtons::Ok);
        }
    });
}

void ClassListDialog::saveClass()
{
    runGuarded(m_services.boxes, [this] {
        const QString name = ClassNameEdit->text().simplified();
        const std::vector<ClassListReader::Entry> entries = this->entries();
        if (entries.empty())
            throw AppError(tr("La liste ne contient aucun élève."));
        m_store.saveEntries(name, entries);
        listClasses(name);
    });
}

void ClassListDialog::deleteClass()
{
    QListWidgetItem *item = ClassList->currentItem();
    if (!item)
        return;
    const QString name = item->text();
    if (m_services.boxes.show(MessageIcon::Question,
                              tr("Supprimer la liste de la classe %1 ? Les noms de ses élèves seront effacés de cet "
                                 "ordinateur.")
                                  .arg(name),
                              MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return;
    runGuarded(m_services.boxes, [this, &name] {
        m_store.remove(name);
        listClasses(QString());
        ClassNameEdit->clear();
        setEntries({});
    });
}

void ClassListDialog::countPupils()
{
    int pupils = 0;
    int extra = 0;
    for (int row = 0; row < PupilsTable->rowCount(); ++row) {
        if (cellText(PupilsTable, row, NameColumn).simplified().isEmpty())
            continue;
        ++pupils;
        if (!cellText(PupilsTable, row, ExtraTimeColumn).trimmed().isEmpty())
            ++extra;
    }
    const QString count = tr("%n élève(s)", nullptr, pupils);
    CountLabel->setText(extra == 0 ? count : tr("%1, dont %n avec un temps majoré", nullptr, extra).arg(count));
}
