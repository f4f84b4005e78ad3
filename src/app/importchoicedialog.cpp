#include "app/importchoicedialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ImportChoiceDialog::ImportChoiceDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Importer des questions"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    createControls();
}

void ImportChoiceDialog::createControls()
{
    CategoryLabel = new QLabel(tr("Ce fichier range ses questions en plusieurs catégories.\n&Importer :"), this);
    CategoryLabel->setObjectName(QStringLiteral("CategoryLabel"));
    CategoryBox = new QComboBox(this);
    CategoryBox->setObjectName(QStringLiteral("CategoryBox"));
    CategoryBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    CategoryLabel->setBuddy(CategoryBox);

    TargetBox = new QGroupBox(tr("Les questions importées"), this);
    TargetBox->setObjectName(QStringLiteral("TargetBox"));
    NewButton = new QRadioButton(tr("forment un &nouveau questionnaire"), TargetBox);
    NewButton->setObjectName(QStringLiteral("NewButton"));
    AppendButton = new QRadioButton(tr("s'&ajoutent après les questions du questionnaire ouvert"), TargetBox);
    AppendButton->setObjectName(QStringLiteral("AppendButton"));
    NewButton->setChecked(true);
    auto *targets = new QVBoxLayout(TargetBox);
    targets->addWidget(NewButton);
    targets->addWidget(AppendButton);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->setObjectName(QStringLiteral("Buttons"));
    Buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    Buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annuler"));
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CategoryLabel);
    layout->addWidget(CategoryBox);
    layout->addWidget(TargetBox);
    layout->addWidget(Buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::optional<ImportChoice> ImportChoiceDialog::choose(const QList<QuestionExchange::FoundCategory> &categories,
                                                       bool canAppend)
{
    const bool several = categories.size() > 1;
    CategoryBox->clear();
    if (several)
        CategoryBox->addItems(categoryEntries(categories));
    CategoryLabel->setVisible(several);
    CategoryBox->setVisible(several);
    TargetBox->setVisible(canAppend);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    ImportChoice choice;
    choice.append = canAppend && AppendButton->isChecked();
    // The first entry takes them all.
    const int chosen = CategoryBox->currentIndex();
    if (several && chosen > 0)
        choice.category = categories.at(chosen - 1).path;
    return choice;
}
