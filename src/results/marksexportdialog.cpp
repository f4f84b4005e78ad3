#include "results/marksexportdialog.h"

#include "results/statisticsreport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

MarksExportDialog::MarksExportDialog(const ResultsStatistics &statistics, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Exporter les notes"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(tr("Un fichier pour le cahier de notes : une ligne par élève, son nom et sa note sur %1, "
                                "dans l'ordre alphabétique.")
                                 .arg(statistics.scale),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *which = new QGroupBox(tr("Pour un élève qui a plusieurs passations"), this);
    auto *choices = new QVBoxLayout(which);
    LatestButton = new QRadioButton(tr("la &dernière"), which);
    LatestButton->setObjectName(QStringLiteral("LatestButton"));
    LatestButton->setChecked(true);
    BestButton = new QRadioButton(tr("la &meilleure note"), which);
    BestButton->setObjectName(QStringLiteral("BestButton"));
    choices->addWidget(LatestButton);
    choices->addWidget(BestButton);
    layout->addWidget(which);

    if (const int unfinished = statistics.unfinishedRuns(); unfinished > 0) {
        UnfinishedBox = new QCheckBox(unfinished == 1 ? tr("Compter la passation &inachevée (la note de ses réponses)")
                                                      : tr("Compter les %1 passations &inachevées (la note de leurs "
                                                           "réponses)")
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

MarksExport::Options MarksExportDialog::options() const
{
    MarksExport::Options options;
    options.choice = BestButton->isChecked() ? MarksExport::Choice::Best : MarksExport::Choice::Latest;
    options.countUnfinished = UnfinishedBox && UnfinishedBox->isChecked();
    options.recompute = RecomputeBox && RecomputeBox->isChecked();
    return options;
}
