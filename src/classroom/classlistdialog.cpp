#include "classroom/classlistdialog.h"

#include "classroom/classlist.h"
#include "document/qcmfile.h"
#include "platform/apperror.h"
#include "platform/errorguard.h"
#include "platform/filedialogs.h"
#include "platform/messageboxes.h"
#include "platform/services.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A class list file of school software is a few kilobytes: a bigger one is not a list.
constexpr qint64 MaxListSize = 4 * 1024 * 1024;

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
    PupilsEdit = new QPlainTextEdit(this);
    PupilsEdit->setObjectName(QStringLiteral("PupilsEdit"));
    PupilsEdit->setPlaceholderText(tr("Un élève par ligne : NOM Prénom\n"
                                      "Temps majoré après un point-virgule : NOM Prénom ; +33 %  ou  NOM Prénom ; +10 min"));
    PupilsEdit->setToolTip(tr("Colonne « Temps majoré » : après le nom, un point-virgule puis +33 % ou +10 min (tiers-temps "
                              "d'un PAP ou d'un PPS). Il s'ajoute à la durée de la passation, sur le poste de la classe, "
                              "sur le réseau et sur la copie papier."));
    PupilsEdit->setTabChangesFocus(true);
    connect(PupilsEdit, &QPlainTextEdit::textChanged, this, &ClassListDialog::countPupils);
    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));

    ImportButton = new QPushButton(tr("&Importer un fichier..."), this);
    ImportButton->setObjectName(QStringLiteral("ImportButton"));
    SaveButton = new QPushButton(tr("&Enregistrer la liste"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    DeleteButton = new QPushButton(tr("&Supprimer la liste"), this);
    DeleteButton->setObjectName(QStringLiteral("DeleteButton"));
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
    form->addRow(tr("É&lèves :"), PupilsEdit);
    form->addRow(QString(), CountLabel);
    auto *actions = new QHBoxLayout;
    actions->addWidget(ImportButton);
    actions->addWidget(SaveButton);
    actions->addWidget(DeleteButton);
    auto *right = new QVBoxLayout;
    right->addLayout(form);
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
    resize(720, 480);

    listClasses(QString());
    countPupils();
}

QStringList ClassListDialog::pupils() const
{
    QStringList names;
    for (const QString &line : PupilsEdit->toPlainText().split(QLatin1Char('\n'))) {
        const QString name = line.section(QLatin1Char(';'), 0, 0).simplified();
        if (!name.isEmpty())
            names << name;
    }
    return names;
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
    PupilsEdit->setPlainText(ClassListReader::textOf(m_store.entries(item->text())));
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
        PupilsEdit->setPlainText(ClassListReader::textOf(names));
        PupilsEdit->setFocus();
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
        const std::vector<ClassListReader::Entry> entries = ClassListReader::entriesOfText(PupilsEdit->toPlainText());
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
        PupilsEdit->clear();
    });
}

void ClassListDialog::countPupils()
{
    CountLabel->setText(tr("%n élève(s)", nullptr, int(pupils().size())));
}
