#include "runner/pupilnamedialog.h"

#include "platform/filedialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A name longer than this is a paste gone wrong, not a pupil.
constexpr int MaxNameLength = 100;

} // namespace

PupilNameDialog::PupilNameDialog(FileDialogs &dialogs, const QString &name, const QString &resultsPath, QWidget *parent)
    : QDialog(parent), m_dialogs(dialogs), m_resultsPath(resultsPath)
{
    setWindowTitle(resultsPath.isEmpty() ? tr("Imprimer les résultats") : tr("Enregistrer les résultats"));
    auto *form = new QFormLayout(this);
    NameEdit = new QLineEdit(name, this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameEdit->setMaxLength(MaxNameLength);
    NameEdit->setPlaceholderText(tr("facultatif"));
    NameEdit->setMinimumWidth(260);
    form->addRow(tr("&Nom de l'élève :"), NameEdit);

    if (!resultsPath.isEmpty()) {
        FileLabel = new QLabel(this);
        FileLabel->setObjectName(QStringLiteral("FileLabel"));
        FileLabel->setTextFormat(Qt::PlainText);
        FileLabel->setWordWrap(true);
        FileButton = new QPushButton(tr("Autre &fichier..."), this);
        FileButton->setObjectName(QStringLiteral("FileButton"));
        connect(FileButton, &QPushButton::clicked, this, &PupilNameDialog::chooseFile);
        form->addRow(tr("Fichier :"), FileLabel);
        form->addRow(QString(), FileButton);
        showPath();
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    NameEdit->setFocus();
}

QString PupilNameDialog::name() const
{
    return NameEdit->text().trimmed();
}

QString PupilNameDialog::askResultsFile(FileDialogs &dialogs, const QString &proposed)
{
    const QString chosen = dialogs.saveFile(tr("Résultats (*.csv)|*.csv"), proposed);
    if (chosen.isEmpty() || chosen.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".csv");
}

void PupilNameDialog::chooseFile()
{
    const QString chosen = askResultsFile(m_dialogs, m_resultsPath);
    if (chosen.isEmpty())
        return;
    m_resultsPath = chosen;
    showPath();
}

void PupilNameDialog::showPath()
{
    FileLabel->setText(QDir::toNativeSeparators(m_resultsPath));
}
