#include "classroom/classsettingsdialog.h"

#include "classroom/classdraw.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

ClassSettingsDialog::ClassSettingsDialog(const ClassSettings &settings, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ClassSettingsDialog"));
    setWindowTitle(tr("Réglages de la passation"));

    ShuffleQuestionsBox = new QCheckBox(tr("Mélanger l'ordre des &questions"), this);
    ShuffleQuestionsBox->setObjectName(QStringLiteral("ShuffleQuestionsBox"));
    ShuffleQuestionsBox->setChecked(settings.shuffleQuestions);
    ShuffleAnswersBox = new QCheckBox(tr("Mélanger l'ordre des &réponses"), this);
    ShuffleAnswersBox->setObjectName(QStringLiteral("ShuffleAnswersBox"));
    ShuffleAnswersBox->setChecked(settings.shuffleAnswers);

    ScaleBox = new QSpinBox(this);
    ScaleBox->setObjectName(QStringLiteral("ScaleBox"));
    ScaleBox->setRange(1, ClassSettingsFormat::MaxMarkScale);
    ScaleBox->setValue(settings.markScale);

    RoundingBox = new QComboBox(this);
    RoundingBox->setObjectName(QStringLiteral("RoundingBox"));
    for (int step : ClassSettingsFormat::roundingSteps()) {
        RoundingBox->addItem(tr("à %1 point près").arg(ClassSettingsFormat::roundingText(step)), step);
        if (step == settings.roundingHundredths)
            RoundingBox->setCurrentIndex(RoundingBox->count() - 1);
    }

    PenaltyBox = new QComboBox(this);
    PenaltyBox->setObjectName(QStringLiteral("PenaltyBox"));
    PenaltyBox->addItem(tr("Aucune : une réponse fausse vaut 0"));
    PenaltyBox->addItem(tr("Correction du hasard : une réponse fausse retire 1/(k-1) point (k réponses)"));
    PenaltyBox->setCurrentIndex(settings.penalty == ClassSettings::Penalty::Chance ? 1 : 0);
    PenaltyBox->setToolTip(tr("La note totale ne descend jamais sous 0. Une question sans réponse vaut 0."));

    SeveralBox = new QComboBox(this);
    SeveralBox->setObjectName(QStringLiteral("SeveralBox"));
    SeveralBox->addItem(tr("Tout ou rien"));
    SeveralBox->addItem(tr("Crédit partiel"));
    SeveralBox->setCurrentIndex(int(settings.severalMarking));
    SeveralBox->setToolTip(tr("« Tout ou rien » : le point de la question seulement si toutes ses bonnes réponses, et "
                              "elles seules, sont cochées. « Crédit partiel » : chaque bonne réponse cochée rapporte "
                              "sa part du point, chaque fausse en retire une part ; jamais moins de 0 pour la "
                              "question. La pénalité ci-dessus ne vaut que pour les questions à une bonne réponse."));

    EndViewBox = new QComboBox(this);
    EndViewBox->setObjectName(QStringLiteral("EndViewBox"));
    EndViewBox->addItem(tr("Rien"));
    EndViewBox->addItem(tr("Sa note"));
    EndViewBox->addItem(tr("Sa note et les corrections"));
    EndViewBox->setCurrentIndex(int(settings.endView));

    CorrectionsBox = new QComboBox(this);
    CorrectionsBox->setObjectName(QStringLiteral("CorrectionsBox"));
    CorrectionsBox->addItem(tr("Après la copie"));
    CorrectionsBox->addItem(tr("À la fin de la passation"));
    CorrectionsBox->addItem(tr("Jamais"));
    CorrectionsBox->setCurrentIndex(int(settings.correctionsShown));
    CorrectionsBox->setToolTip(tr("« À la fin de la passation » : l'élève qui termine voit sa note (ou rien) ; les "
                                  "corrections viennent quand vous terminez la passation ou cliquez sur « Montrer "
                                  "les corrections »."));
    connect(EndViewBox, &QComboBox::currentIndexChanged, this, &ClassSettingsDialog::endViewChosen);
    endViewChosen(EndViewBox->currentIndex());

    DrawBox = new QComboBox(this);
    DrawBox->setObjectName(QStringLiteral("DrawBox"));
    DrawBox->addItem(tr("Toutes les questions"));
    DrawBox->addItem(tr("N questions tirées parmi toutes"));
    DrawBox->addItem(tr("1 question de chaque groupe"));
    DrawBox->setCurrentIndex(int(settings.draw));
    DrawBox->setToolTip(tr("Chaque élève reçoit son propre tirage, que sa version (colonne Version des résultats) "
                           "permet de retrouver. Un groupe : les questions dont le titre commence par le même nom "
                           "entre crochets, par exemple « [Fractions] » ; les questions hors groupe sont toujours "
                           "posées."));
    DrawCountBox = new QSpinBox(this);
    DrawCountBox->setObjectName(QStringLiteral("DrawCountBox"));
    DrawCountBox->setRange(1, ClassSettingsFormat::maxDrawCount());
    DrawCountBox->setValue(settings.draw == ClassSettings::Draw::AmongAll ? settings.drawCount : 1);
    DrawProblemLabel = new QLabel(this);
    DrawProblemLabel->setObjectName(QStringLiteral("DrawProblemLabel"));
    DrawProblemLabel->setWordWrap(true);
    DrawProblemLabel->setStyleSheet(QStringLiteral("color: #a00000;"));
    DrawProblemLabel->hide();
    connect(DrawBox, &QComboBox::currentIndexChanged, this, &ClassSettingsDialog::drawChosen);
    drawChosen(DrawBox->currentIndex());
    DurationBox = new QSpinBox(this);
    DurationBox->setObjectName(QStringLiteral("DurationBox"));
    DurationBox->setRange(0, ClassSettingsFormat::MaxDurationMinutes);
    DurationBox->setSpecialValueText(tr("aucune"));
    DurationBox->setSuffix(tr(" min"));
    DurationBox->setValue(settings.durationMinutes);
    DurationBox->setToolTip(tr("Le temps de chaque élève, compté par l'ordinateur de l'enseignant. Le temps majoré "
                               "d'un élève (liste de classe) s'y ajoute. À la fin du temps, la copie est enregistrée "
                               "telle quelle."));

    auto *form = new QFormLayout(this);
    form->addRow(ShuffleQuestionsBox);
    form->addRow(ShuffleAnswersBox);
    form->addRow(tr("Note &sur :"), ScaleBox);
    form->addRow(tr("&Arrondie :"), RoundingBox);
    form->addRow(tr("&Pénalité :"), PenaltyBox);
    form->addRow(tr("Plusieurs &bonnes réponses :"), SeveralBox);
    form->addRow(tr("À la fin, l'élève &voit :"), EndViewBox);
    form->addRow(tr("&Corrections montrées :"), CorrectionsBox);
    form->addRow(tr("T&irage :"), DrawBox);
    form->addRow(tr("&Nombre tiré (N) :"), DrawCountBox);
    form->addRow(DrawProblemLabel);
    form->addRow(tr("&Durée :"), DurationBox);
    auto *note = new QLabel(tr("Ces réglages sont enregistrés dans le questionnaire. Le questionnaire exécuté "
                               "avec F9 n'en tient pas compte."),
                            this);
    note->setWordWrap(true);
    form->addRow(note);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

ClassSettings ClassSettingsDialog::settings() const
{
    ClassSettings chosen;
    chosen.shuffleQuestions = ShuffleQuestionsBox->isChecked();
    chosen.shuffleAnswers = ShuffleAnswersBox->isChecked();
    chosen.markScale = ScaleBox->value();
    chosen.roundingHundredths = RoundingBox->currentData().toInt();
    chosen.penalty = PenaltyBox->currentIndex() == 1 ? ClassSettings::Penalty::Chance : ClassSettings::Penalty::None;
    chosen.severalMarking = ClassSettings::SeveralMarking(SeveralBox->currentIndex());
    chosen.endView = ClassSettings::EndView(EndViewBox->currentIndex());
    chosen.correctionsShown = ClassSettings::CorrectionsShown(CorrectionsBox->currentIndex());
    chosen.draw = ClassSettings::Draw(DrawBox->currentIndex());
    chosen.drawCount = chosen.draw == ClassSettings::Draw::AmongAll ? DrawCountBox->value() : 0;
    chosen.durationMinutes = DurationBox->value();
    return chosen;
}

void ClassSettingsDialog::setBank(int questions, int groups)
{
    m_bank = Bank{questions, groups};
    DrawCountBox->setSuffix(tr(" parmi %1").arg(questions));
}

void ClassSettingsDialog::accept()
{
    if (m_bank) {
        const QString problem = ClassDraw::problem(settings(), m_bank->questions, m_bank->groups);
        if (!problem.isEmpty()) {
            DrawProblemLabel->setText(problem);
            DrawProblemLabel->show();
            (DrawCountBox->isEnabled() ? static_cast<QWidget *>(DrawCountBox) : DrawBox)->setFocus();
            return;
        }
    }
    QDialog::accept();
}

void ClassSettingsDialog::drawChosen(int index)
{
    DrawCountBox->setEnabled(ClassSettings::Draw(index) == ClassSettings::Draw::AmongAll);
    DrawProblemLabel->hide();
}

void ClassSettingsDialog::endViewChosen(int index)
{
    // When the corrections come means something only if the pupil is to see them.
    CorrectionsBox->setEnabled(ClassSettings::EndView(index) == ClassSettings::EndView::MarkAndCorrections);
}
