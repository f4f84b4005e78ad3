#include "marking/reviewwindow.h"

#include "classroom/classlist.h"
#include "marking/scanzoom.h"
#include "platform/errorguard.h"
#include "platform/messageboxes.h"
#include "platform/services.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

ReviewWindow::ReviewWindow(MarkingSession &session, const ClassListStore &classLists, Services &services, Keep keep,
                           AddScan addScan, QWidget *parent)
    : QDialog(parent), m_session(session), m_classLists(classLists), m_services(services), m_keep(std::move(keep)),
      m_addScan(std::move(addScan))
{
    setObjectName(QStringLiteral("ReviewWindow"));
    setWindowTitle(tr("Corriger des copies scannées"));
    createControls();
    createLayout();
    fillList();
    refresh();
    if (ReviewList->count() > 0)
        ReviewList->setCurrentRow(0);
    else
        showItem(-1);
}

void ReviewWindow::createControls()
{
    ReviewList = new QListWidget(this);
    ReviewList->setObjectName(QStringLiteral("ReviewList"));
    connect(ReviewList, &QListWidget::currentRowChanged, this, &ReviewWindow::showItem);

    ItemLabel = new QLabel(this);
    ItemLabel->setObjectName(QStringLiteral("ItemLabel"));
    ItemLabel->setWordWrap(true);
    Zoom = new ScanZoom(this);
    Zoom->setObjectName(QStringLiteral("Zoom"));
    connect(Zoom, &ScanZoom::boxClicked, this, &ReviewWindow::chooseBox);
    ReadingLabel = new QLabel(this);
    ReadingLabel->setObjectName(QStringLiteral("ReadingLabel"));
    ReadingLabel->setWordWrap(true);
    NoAnswerButton = new QPushButton(tr("&Aucune réponse"), this);
    NoAnswerButton->setObjectName(QStringLiteral("NoAnswerButton"));
    connect(NoAnswerButton, &QPushButton::clicked, this, &ReviewWindow::chooseNoAnswer);
    AcceptBoxesButton = new QPushButton(tr("&Garder ces cases"), this);
    AcceptBoxesButton->setObjectName(QStringLiteral("AcceptBoxesButton"));
    connect(AcceptBoxesButton, &QPushButton::clicked, this, &ReviewWindow::acceptBoxes);

    ClassCombo = new QComboBox(this);
    ClassCombo->setObjectName(QStringLiteral("ClassCombo"));
    ClassCombo->addItem(tr("(nom tapé)"));
    ClassCombo->addItems(m_classLists.classNames());
    connect(ClassCombo, &QComboBox::currentIndexChanged, this, &ReviewWindow::fillPupils);
    PupilCombo = new QComboBox(this);
    PupilCombo->setObjectName(QStringLiteral("PupilCombo"));
    PupilCombo->setEditable(true);
    PupilCombo->setInsertPolicy(QComboBox::NoInsert);
    PupilCombo->setMinimumContentsLength(24);
    NameButton = new QPushButton(tr("&Valider le nom"), this);
    NameButton->setObjectName(QStringLiteral("NameButton"));
    connect(NameButton, &QPushButton::clicked, this, &ReviewWindow::acceptName);

    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setWordWrap(true);
    AddScanButton = new QPushButton(tr("Ajouter un &scan..."), this);
    AddScanButton->setObjectName(QStringLiteral("AddScanButton"));
    AddScanButton->setVisible(bool(m_addScan));
    connect(AddScanButton, &QPushButton::clicked, this, &ReviewWindow::addScan);
    SaveButton = new QPushButton(tr("&Enregistrer les copies prêtes"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    connect(SaveButton, &QPushButton::clicked, this, &ReviewWindow::saveReadyCopies);
    CloseButton = new QPushButton(tr("&Fermer"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    connect(CloseButton, &QPushButton::clicked, this, &ReviewWindow::reject);
}

void ReviewWindow::createLayout()
{
    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->addWidget(ItemLabel);
    auto *scroll = new QScrollArea(right);
    scroll->setWidgetResizable(true);
    scroll->setWidget(Zoom);
    rightLayout->addWidget(scroll, 1);
    rightLayout->addWidget(ReadingLabel);
    auto *answerRow = new QHBoxLayout;
    answerRow->addWidget(NoAnswerButton);
    answerRow->addWidget(AcceptBoxesButton);
    answerRow->addStretch();
    rightLayout->addLayout(answerRow);
    auto *nameRow = new QHBoxLayout;
    auto *classLabel = new QLabel(tr("&Classe :"), right);
    classLabel->setBuddy(ClassCombo);
    auto *pupilLabel = new QLabel(tr("É&lève :"), right);
    pupilLabel->setBuddy(PupilCombo);
    nameRow->addWidget(classLabel);
    nameRow->addWidget(ClassCombo);
    nameRow->addWidget(pupilLabel);
    nameRow->addWidget(PupilCombo, 1);
    nameRow->addWidget(NameButton);
    rightLayout->addLayout(nameRow);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(ReviewList);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({340, 660});

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(SummaryLabel, 1);
    bottom->addWidget(AddScanButton);
    bottom->addWidget(SaveButton);
    bottom->addWidget(CloseButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);
    resize(1000, 640);
}

void ReviewWindow::fillList()
{
    const int row = ReviewList->currentRow();
    const QSignalBlocker blocker(ReviewList);
    ReviewList->clear();
    m_items = m_session.reviewItems();
    for (const MarkingSession::ReviewItem &item : m_items)
        ReviewList->addItem((item.done ? tr("✓ %1") : tr("• %1")).arg(item.text));
    for (const MarkingSession::PageNote &note : m_session.notes())
        ReviewList->addItem(tr("✗ %1").arg(note.text));
    ReviewList->setCurrentRow(std::min(row, ReviewList->count() - 1));
}

void ReviewWindow::refresh()
{
    int ready = 0, waiting = 0, kept = 0;
    for (const ReadCopy &copy : m_session.copies()) {
        kept += copy.kept;
        ready += copy.ready() && !copy.kept;
        waiting += !copy.ready();
    }
    SummaryLabel->setText(tr("Copies lues : %1 ; prêtes à enregistrer : %2 ; enregistrées : %3 ; en attente : %4.")
                              .arg(m_session.copies().size())
                              .arg(ready)
                              .arg(kept)
                              .arg(waiting));
    SaveButton->setEnabled(ready > 0);
}

const MarkingSession::ReviewItem *ReviewWindow::currentItem() const
{
    const int row = ReviewList->currentRow();
    return row >= 0 && row < int(m_items.size()) ? &m_items[size_t(row)] : nullptr;
}

const CopyQuestion *ReviewWindow::currentQuestion() const
{
    const MarkingSession::ReviewItem *item = currentItem();
    if (!item || item->kind != MarkingSession::ReviewItem::Kind::Question)
        return nullptr;
    const ReadCopy &copy = m_session.copies()[size_t(item->copy)];
    for (const CopyQuestion &question : copy.questions) {
        if (question.question == item->question)
            return &question;
    }
    return nullptr;
}

int ReviewWindow::boxNumber(const ReadCopy &copy, const CopyQuestion &question, int index) const
{
    // On the answer sheet a box is the answer's own number; beside the answers, its place.
    return copy.layout == CopyLayout::AnswerSheet ? question.boxes[size_t(index)].answer : index + 1;
}

QString ReviewWindow::boxesLabel(const ReadCopy &copy, const CopyQuestion &question, const std::vector<int> &indexes) const
{
    if (indexes.empty())
        return tr("aucune réponse");
    QStringList numbers;
    for (int index : indexes)
        numbers << QString::number(boxNumber(copy, question, index));
    if (numbers.size() == 1)
        return tr("case %1").arg(numbers.front());
    const QString last = numbers.takeLast();
    return tr("cases %1 et %2").arg(numbers.join(tr(", ")), last);
}

void ReviewWindow::showItem(int row)
{
    const MarkingSession::ReviewItem *item = currentItem();
    const bool isQuestion = item && item->kind == MarkingSession::ReviewItem::Kind::Question;
    const bool isName = item && item->kind == MarkingSession::ReviewItem::Kind::Name;
    NoAnswerButton->setVisible(isQuestion);
    AcceptBoxesButton->setVisible(isQuestion && currentQuestion()->severalAllowed);
    ReadingLabel->setVisible(isQuestion);
    for (QWidget *widget : {static_cast<QWidget *>(ClassCombo), static_cast<QWidget *>(PupilCombo),
                            static_cast<QWidget *>(NameButton)})
        widget->setEnabled(isName);
    if (isQuestion) {
        const CopyQuestion &question = *currentQuestion();
        const ReadCopy &copy = m_session.copies()[size_t(item->copy)];
        ItemLabel->setText(question.severalAllowed
                               ? tr("%1. Cliquez sur chaque case que l'élève a choisie (un autre clic la retire), "
                                    "puis sur « Garder ces cases ».")
                                     .arg(item->text)
                               : tr("%1. Cliquez sur la case que l'élève a choisie.").arg(item->text));
        std::vector<int> chosen;
        for (int i = 0; i < int(question.boxes.size()); ++i) {
            if (AnswerSets::contains(question.answers(), question.boxes[size_t(i)].answer))
                chosen.push_back(i);
        }
        const QString reading = boxesLabel(copy, question, chosen);
        Zoom->display(question.picture, question.boxesInPicture, std::move(chosen));
        ReadingLabel->setText(question.settled ? tr("Votre choix : %1.").arg(reading)
                                               : tr("Lecture proposée : %1.").arg(reading));
    } else if (isName) {
        const ReadCopy &copy = m_session.copies()[size_t(item->copy)];
        ItemLabel->setText(copy.named() ? tr("%1 : %2.").arg(copy.title(), copy.pupil)
                                        : tr("%1 : choisissez l'élève dans une liste de classe, ou tapez son nom.")
                                              .arg(copy.title()));
        Zoom->display(copy.namePicture, {}, -1);
        PupilCombo->setEditText(copy.pupil);
    } else if (row >= int(m_items.size()) && row < ReviewList->count()) {
        const MarkingSession::PageNote &note = m_session.notes()[size_t(row) - m_items.size()];
        ItemLabel->setText(note.text);
        Zoom->display(note.thumbnail, {}, -1);
    } else {
        ItemLabel->setText(m_session.copies().empty() ? tr("Aucune copie n'a été lue dans ces fichiers.")
                                                      : tr("Rien à trancher : toutes les cases ont été lues sans doute."));
        Zoom->clear();
    }
}

void ReviewWindow::chooseBox(int index)
{
    const CopyQuestion *question = currentQuestion();
    if (!question || index < 0 || index >= int(question->boxes.size()))
        return;
    settle(question->afterClick(index));
}

void ReviewWindow::chooseNoAnswer()
{
    settle(0);
}

void ReviewWindow::acceptBoxes()
{
    if (const CopyQuestion *question = currentQuestion())
        settle(question->answers());
}

void ReviewWindow::settle(AnswerSet answers)
{
    const MarkingSession::ReviewItem *item = currentItem();
    if (!item || !currentQuestion())
        return;
    m_session.settleAnswers(item->copy, item->question, answers);
    fillList();
    refresh();
    showItem(ReviewList->currentRow());
}

void ReviewWindow::fillPupils()
{
    const QString typed = PupilCombo->currentText();
    PupilCombo->clear();
    if (ClassCombo->currentIndex() > 0)
        PupilCombo->addItems(m_classLists.pupils(ClassCombo->currentText()));
    PupilCombo->setEditText(ClassCombo->currentIndex() > 0 && PupilCombo->count() > 0 ? PupilCombo->itemText(0) : typed);
}

void ReviewWindow::acceptName()
{
    const MarkingSession::ReviewItem *item = currentItem();
    if (!item || item->kind != MarkingSession::ReviewItem::Kind::Name)
        return;
    const QString name = PupilCombo->currentText().simplified();
    if (name.isEmpty()) {
        m_services.boxes.warn(tr("Tapez le nom de l'élève, ou choisissez-le dans une liste de classe."));
        return;
    }
    m_session.setPupil(item->copy, name);
    fillList();
    refresh();
    // On to the next thing to decide.
    for (int row = 0; row < int(m_items.size()); ++row) {
        if (!m_items[size_t(row)].done) {
            ReviewList->setCurrentRow(row);
            return;
        }
    }
    showItem(ReviewList->currentRow());
}

void ReviewWindow::saveReadyCopies()
{
    MarkingSession::KeepReport report;
    // A failure (the results file locked, the disk full) is said; the copies kept before it
    // stay kept, the others wait for the next try.
    const bool kept = runGuarded(m_services.boxes, [&] { report = m_keep(m_session); });
    refresh();
    fillList();
    if (!kept)
        return;
    QStringList lines;
    if (report.kept > 0)
        lines << (report.kept == 1 ? tr("1 copie enregistrée dans %1.").arg(report.file)
                                   : tr("%1 copies enregistrées dans %2.").arg(report.kept).arg(report.file));
    lines << report.lines;
    m_services.boxes.showDetails(MessageIcon::Information,
                                 report.kept > 0 ? tr("Les copies prêtes sont enregistrées.")
                                                 : tr("Aucune nouvelle copie à enregistrer."),
                                 lines.join(QLatin1Char('\n')));
}

void ReviewWindow::addScan()
{
    // The pages already read stay read; those added join their copies.
    runGuarded(m_services.boxes, [this] { m_addScan(m_session); });
    fillList();
    refresh();
    showItem(ReviewList->currentRow());
}

void ReviewWindow::reject()
{
    const bool unsaved = std::any_of(m_session.copies().begin(), m_session.copies().end(),
                                     [](const ReadCopy &copy) { return copy.ready() && !copy.kept; });
    if (unsaved
        && m_services.boxes.show(MessageIcon::Question,
                                 tr("Des copies prêtes ne sont pas enregistrées dans les résultats.\nFermer quand même ?"),
                                 MessageButtons::YesNo)
               != MessageAnswer::Yes)
        return;
    QDialog::reject();
}
