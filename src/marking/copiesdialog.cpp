#include "marking/copiesdialog.h"

#include "classroom/classlist.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int DefaultCount = 30;
constexpr int MaximumCount = 999;

} // namespace

CopiesDialog::CopiesDialog(const ClassListStore &classLists, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CopiesDialog"));
    setWindowTitle(tr("Imprimer des copies à corriger"));
    createControls(classLists);
    createLayout();
    enableChoices();
}

void CopiesDialog::createControls(const ClassListStore &classLists)
{
    BesideRadio = new QRadioButton(tr("&Cases à côté des réponses (chaque copie dans son ordre si les réglages "
                                      "mélangent)"),
                                   this);
    BesideRadio->setObjectName(QStringLiteral("BesideRadio"));
    SheetRadio = new QRadioButton(tr("&Feuille de réponses séparée, avec un livret des questions imprimé une fois"), this);
    SheetRadio->setObjectName(QStringLiteral("SheetRadio"));

    NumberedRadio = new QRadioButton(tr("Copies &numérotées :"), this);
    NumberedRadio->setObjectName(QStringLiteral("NumberedRadio"));
    CountSpin = new QSpinBox(this);
    CountSpin->setObjectName(QStringLiteral("CountSpin"));
    CountSpin->setRange(1, MaximumCount);
    CountSpin->setValue(DefaultCount);
    ClassRadio = new QRadioButton(tr("Une copie par élève de la c&lasse :"), this);
    ClassRadio->setObjectName(QStringLiteral("ClassRadio"));
    ClassCombo = new QComboBox(this);
    ClassCombo->setObjectName(QStringLiteral("ClassCombo"));
    ClassCombo->addItems(classLists.classNames());
    // Without a kept class list there is no pupil to print a copy for.
    ClassRadio->setEnabled(ClassCombo->count() > 0);
    // Two choices, each its own group: the four buttons share a parent until laid out.
    auto *layouts = new QButtonGroup(this);
    layouts->addButton(BesideRadio);
    layouts->addButton(SheetRadio);
    auto *which = new QButtonGroup(this);
    which->addButton(NumberedRadio);
    which->addButton(ClassRadio);
    BesideRadio->setChecked(true);
    NumberedRadio->setChecked(true);
    connect(NumberedRadio, &QRadioButton::toggled, this, &CopiesDialog::enableChoices);
}

void CopiesDialog::createLayout()
{
    auto *layoutBox = new QGroupBox(tr("Mise en page"), this);
    auto *layoutColumn = new QVBoxLayout(layoutBox);
    layoutColumn->addWidget(BesideRadio);
    layoutColumn->addWidget(SheetRadio);

    auto *copiesBox = new QGroupBox(tr("Copies"), this);
    auto *grid = new QGridLayout(copiesBox);
    grid->addWidget(NumberedRadio, 0, 0);
    grid->addWidget(CountSpin, 0, 1);
    grid->addWidget(ClassRadio, 1, 0);
    grid->addWidget(ClassCombo, 1, 1);

    auto *hint = new QLabel(tr("Chaque page porte quatre carrés noirs et un code : les copies se scannent dans "
                               "n'importe quel ordre, puis se corrigent par Fichier > Corriger des copies scannées."),
                            this);
    hint->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Aperçu..."));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *column = new QVBoxLayout(this);
    column->addWidget(layoutBox);
    column->addWidget(copiesBox);
    column->addWidget(hint);
    column->addWidget(buttons);
}

void CopiesDialog::enableChoices()
{
    CountSpin->setEnabled(NumberedRadio->isChecked());
    ClassCombo->setEnabled(ClassRadio->isChecked());
}

CopyLayout CopiesDialog::layout() const
{
    return SheetRadio->isChecked() ? CopyLayout::AnswerSheet : CopyLayout::BoxesBeside;
}

int CopiesDialog::count() const
{
    return NumberedRadio->isChecked() ? CountSpin->value() : 0;
}

QString CopiesDialog::className() const
{
    return ClassRadio->isChecked() ? ClassCombo->currentText() : QString();
}
