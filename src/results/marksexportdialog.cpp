#include "results/marksexportdialog.h"

#include "results/statisticsreport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

MarksExportDialog::MarksExportDialog(const ResultsStatistics &statistics, const ClassListStore &classLists,
                                     QWidget *parent)
    : QDialog(parent), m_classLists(classLists)
{
    setWindowTitle(tr("Exporter les notes"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(tr("Un fichier pour le cahier de notes : une ligne par élève, sa note sur %1, et la copie "
                                "qui la donne. Avec une liste de classe, tous ses élèves dans l'ordre de la liste, "
                                "pour coller la colonne des notes dans le cahier de l'établissement.")
                                 .arg(statistics.scale),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    createClassListChoice(statistics);

    auto *which = new QGroupBox(tr("Pour un élève qui a plusieurs copies"), this);
    auto *choices = new QVBoxLayout(which);
    LatestButton = new QRadioButton(MarksExport::choiceText(MarksExport::Choice::LatestFinished), which);
    LatestButton->setObjectName(QStringLiteral("LatestButton"));
    LatestButton->setChecked(true);
    BestButton = new QRadioButton(MarksExport::choiceText(MarksExport::Choice::Best), which);
    BestButton->setObjectName(QStringLiteral("BestButton"));
    MeanButton = new QRadioButton(MarksExport::choiceText(MarksExport::Choice::Mean), which);
    MeanButton->setObjectName(QStringLiteral("MeanButton"));
    for (QRadioButton *button : {LatestButton, BestButton, MeanButton})
        choices->addWidget(button);
    layout->addWidget(which);

    AbsentBox = new QCheckBox(tr("Écrire « &ABS » pour un élève de la liste sans copie (sinon la case reste vide)"), this);
    AbsentBox->setObjectName(QStringLiteral("AbsentBox"));
    AbsentBox->setChecked(true);
    layout->addWidget(AbsentBox);
    const auto listChosen = [this] { AbsentBox->setEnabled(ClassListBox->currentIndex() > 0); };
    connect(ClassListBox, &QComboBox::currentIndexChanged, this, listChosen);
    listChosen();

    if (const int unfinished = statistics.unfinishedRuns(); unfinished > 0) {
        UnfinishedBox = new QCheckBox(unfinished == 1 ? tr("Compter la passation &inachevée, pour un élève sans copie "
                                                           "terminée")
                                                      : tr("Compter les %1 passations &inachevées, pour un élève sans "
                                                           "copie terminée")
                                                            .arg(unfinished),
                                      this);
        UnfinishedBox->setObjectName(QStringLiteral("UnfinishedBox"));
        layout->addWidget(UnfinishedBox);
    }
    if (statistics.changedMarks() > 0) {
        auto *changed = new QLabel(StatisticsReport::changedMarksText(statistics), this);
        changed->setWordWrap(true);
        layout->addWidget(changed);
        RecomputeBox = new QCheckBox(tr("&Recalculer toutes les notes avec les bonnes réponses et les réglages actuels"),
                                     this);
        RecomputeBox->setObjectName(QStringLiteral("RecomputeBox"));
        layout->addWidget(RecomputeBox);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Exporter..."));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

MarksExportDialog::MarksExportDialog(const ResultsStatistics &statistics, QWidget *parent)
    : MarksExportDialog(statistics, ClassListStore(QString()), parent)
{
}

// The kept lists, the one holding most pupils of the copies first chosen: most often the class
// that took the questionnaire.
void MarksExportDialog::createClassListChoice(const ResultsStatistics &statistics)
{
    auto *form = new QFormLayout;
    // The choice as wide as its longest item, not the window's width.
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    ClassListBox = new QComboBox(this);
    ClassListBox->setObjectName(QStringLiteral("ClassListBox"));
    ClassListBox->addItem(tr("aucune (les élèves des copies, par ordre alphabétique)"));
    int best = 0;
    int bestFound = 0;
    const QStringList classNames = m_classLists.folder().isEmpty() ? QStringList() : m_classLists.classNames();
    for (const QString &name : classNames) {
        ClassListBox->addItem(name);
        const int found = MarksExport::pupilsFound(statistics, m_classLists.pupils(name));
        if (found > bestFound) {
            bestFound = found;
            best = ClassListBox->count() - 1;
        }
    }
    ClassListBox->setCurrentIndex(best);
    form->addRow(tr("&Liste de classe :"), ClassListBox);
    static_cast<QVBoxLayout *>(layout())->addLayout(form);
}

MarksExport::Options MarksExportDialog::options() const
{
    MarksExport::Options options;
    options.choice = BestButton->isChecked()   ? MarksExport::Choice::Best
                     : MeanButton->isChecked() ? MarksExport::Choice::Mean
                                               : MarksExport::Choice::LatestFinished;
    options.countUnfinished = UnfinishedBox && UnfinishedBox->isChecked();
    options.recompute = RecomputeBox && RecomputeBox->isChecked();
    if (ClassListBox->currentIndex() > 0) {
        options.className = ClassListBox->currentText();
        options.classList = m_classLists.pupils(options.className);
    }
    options.absentAsAbs = AbsentBox->isChecked();
    return options;
}
