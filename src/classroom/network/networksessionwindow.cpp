#include "classroom/network/networksessionwindow.h"

#include "classroom/classdraw.h"
#include "classroom/classlist.h"
#include "classroom/grantminutesbox.h"
#include "classroom/network/networksession.h"
#include "classroom/network/personalcodesheet.h"
#include "classroom/network/qrcodeview.h"
#include "classroom/network/servedsession.h"
#include "classroom/network/sessionaddresses.h"
#include "classroom/network/sessionstatistics.h"
#include "classroom/network/sessiontablemodel.h"
#include "document/classsettings.h"
#include "platform/apperror.h"
#include "platform/errorguard.h"
#include "platform/messageboxes.h"
#include "platform/printdialogs.h"
#include "platform/screenfit.h"
#include "platform/services.h"
#include "platform/systemclock.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The address and the code are read from the back of the room on a projected screen.
constexpr int AddressPixels = 30;
constexpr int CodePixels = 44;

QLabel *namedLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

void setPixelFont(QWidget *widget, int pixels, bool bold)
{
    QFont font = widget->font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    widget->setFont(font);
}

// "482 913": three and three, as it is read aloud.
QString spacedCode(const QString &code)
{
    return code.size() == 6 ? code.left(3) + QLatin1Char(' ') + code.mid(3) : code;
}

QString percentText(double share)
{
    return QStringLiteral("%1 %").arg(qRound(share * 100));
}

} // namespace

NetworkSessionWindow::NetworkSessionWindow(ServedSession &served, const ClassListStore &classLists, Services &services,
                                           QWidget *parent)
    : QDialog(parent), m_served(served), m_classLists(classLists), m_services(services),
      m_codes(QDir(classLists.folder()).filePath(QStringLiteral("codes")))
{
    setObjectName(QStringLiteral("NetworkSessionWindow"));
    setWindowTitle(tr("Passation sur le réseau"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(createJoinPanel(), 4);
    layout->addWidget(createClassPanel(), 5);

    NetworkSession &session = m_served.session();
    // With the table, a few times a second, not once an answer.
    connect(m_model, &SessionTableModel::refreshed, this, &NetworkSessionWindow::refreshSummary);
    connect(&session, &NetworkSession::keepFailed, this, &NetworkSessionWindow::showProblem);
    connect(&session, &NetworkSession::takeOversChanged, this, &NetworkSessionWindow::refreshSummary);
    connect(&session, &NetworkSession::pupilChanged, this, &NetworkSessionWindow::updateRowButtons);
    // A waiting device's row tells how far the copy it asks for has come.
    connect(&session, &NetworkSession::pupilChanged, this, [this] {
        if (m_model->takeOverRowCount() > 0)
            placeTakeOverButtons();
    });
    connect(&m_served, &ServedSession::failed, this, &NetworkSessionWindow::showProblem);

    fillClasses();
    fillAddresses();
    refreshSummary();
    updateRowButtons();
    placeTakeOverButtons();
    if (session.ended())
        showEnded(session.unkeptCount() > 0 ? QStringList{tr("des copies restent à enregistrer")} : QStringList());
    fitToScreen(*this, QSize(1200, 760));
}

NetworkSessionWindow::~NetworkSessionWindow() = default;

QWidget *NetworkSessionWindow::createJoinPanel()
{
    auto *panel = new QWidget(this);
    auto *intro = new QLabel(tr("Dans le navigateur de l'appareil, taper l'adresse :"), panel);
    AddressLabel = namedLabel(QStringLiteral("AddressLabel"), panel);
    AddressLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    AddressLabel->setWordWrap(false);
    setPixelFont(AddressLabel, AddressPixels, true);
    auto *scan = new QLabel(tr("ou lire ce code avec l'appareil photo :"), panel);
    QrView = new QrCodeView(panel);
    QrView->setObjectName(QStringLiteral("QrView"));
    QrView->setAccessibleName(tr("Code QR de l'adresse"));
    CodeLabel = namedLabel(QStringLiteral("CodeLabel"), panel);
    CodeLabel->setWordWrap(false);
    CodeLabel->setAlignment(Qt::AlignCenter);
    setPixelFont(CodeLabel, CodePixels, true);

    AddressBox = new QComboBox(panel);
    AddressBox->setObjectName(QStringLiteral("AddressBox"));
    auto *addressCaption = new QLabel(tr("&Réseau :"), panel);
    addressCaption->setBuddy(AddressBox);
    auto *network = new QHBoxLayout;
    network->addWidget(addressCaption);
    network->addWidget(AddressBox, 1);

    auto *layout = new QVBoxLayout(panel);
    layout->addWidget(intro);
    layout->addWidget(AddressLabel);
    layout->addWidget(scan);
    layout->addWidget(QrView, 1);
    layout->addWidget(CodeLabel);
    layout->addLayout(network);
    return panel;
}

QWidget *NetworkSessionWindow::createClassPanel()
{
    auto *panel = new QWidget(this);
    const ClassSettings &settings = m_served.session().settings();
    SettingsLabel = namedLabel(QStringLiteral("SettingsLabel"), panel);
    const QString whens[] = {tr(" après sa copie"), tr(" à la fin de la passation"), QString()};
    const QString ends[] = {tr("rien"), tr("sa note"),
                            settings.correctionsShown == ClassSettings::CorrectionsShown::Never
                                ? tr("sa note")
                                : tr("sa note et les corrections") + whens[int(settings.correctionsShown)]};
    SettingsLabel->setText(
        ClassDraw::describe(m_served.session().questionnaire(), settings)
        + tr(" ; questions %1, réponses %2 ; note sur %3 à %4 point près%5 ; à la fin, l'élève voit %6.")
            .arg(settings.shuffleQuestions ? tr("mélangées") : tr("dans l'ordre"),
                 settings.shuffleAnswers ? tr("mélangées") : tr("dans l'ordre"))
            .arg(settings.markScale)
            .arg(ClassSettingsFormat::roundingText(settings.roundingHundredths),
                 settings.penalty == ClassSettings::Penalty::Chance ? tr(", correction du hasard") : QString(),
                 ends[int(settings.endView)]));
    if (settings.durationMinutes > 0)
        SettingsLabel->setText(SettingsLabel->text() + QLatin1Char(' ')
                               + tr("Durée : %1 par élève, plus son temps majoré.")
                                     .arg(TimeAnnouncer::durationText(qint64(settings.durationMinutes) * 60)));

    ClassBox = new QComboBox(panel);
    ClassBox->setObjectName(QStringLiteral("ClassBox"));
    auto *classCaption = new QLabel(tr("&Liste de classe :"), panel);
    classCaption->setBuddy(ClassBox);
    auto *classRow = new QHBoxLayout;
    classRow->addWidget(classCaption);
    classRow->addWidget(ClassBox, 1);

    m_model = new SessionTableModel(m_served.session(), this);
    PupilTable = new QTableView(panel);
    PupilTable->setObjectName(QStringLiteral("PupilTable"));
    PupilTable->setModel(m_model);
    PupilTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    PupilTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    PupilTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table rather than walking its cells, so that the buttons of a take-over
    // request, which live in the table, are reached from each other with the keyboard.
    PupilTable->setTabKeyNavigation(false);
    PupilTable->verticalHeader()->hide();
    PupilTable->horizontalHeader()->setSectionResizeMode(SessionTableModel::NameColumn, QHeaderView::Stretch);
    for (int column = SessionTableModel::AnsweredColumn; column < SessionTableModel::ColumnCount; ++column)
        PupilTable->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);

    connect(m_model, &SessionTableModel::takeOverRowsChanged, this, &NetworkSessionWindow::placeTakeOverButtons);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &NetworkSessionWindow::placeTakeOverButtons);
    connect(PupilTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &NetworkSessionWindow::updateRowButtons);

    RemoveButton = new QPushButton(tr("Retir&er la ligne"), panel);
    RemoveButton->setObjectName(QStringLiteral("RemoveButton"));
    RemoveButton->setToolTip(tr("Retire l'élève choisi de la passation : sa copie est gardée, notée « retirée », "
                                "et ne compte pas."));
    MergeButton = new QPushButton(tr("F&usionner deux lignes..."), panel);
    MergeButton->setObjectName(QStringLiteral("MergeButton"));
    MergeButton->setToolTip(tr("Deux lignes choisies d'un même élève n'en font plus qu'une : vous choisissez celle qui compte."));
    CodesButton = new QPushButton(tr("Codes &personnels..."), panel);
    CodesButton->setObjectName(QStringLiteral("CodesButton"));
    CodesButton->setToolTip(tr("Imprime un code par élève de la liste : avec lui, personne d'autre ne peut prendre son nom."));
    CodesLabel = namedLabel(QStringLiteral("CodesLabel"), panel);
    for (QPushButton *button : {RemoveButton, MergeButton, CodesButton})
        button->setAutoDefault(false);
    connect(RemoveButton, &QPushButton::clicked, this, &NetworkSessionWindow::removeRow);
    connect(MergeButton, &QPushButton::clicked, this, &NetworkSessionWindow::mergeRows);
    connect(CodesButton, &QPushButton::clicked, this, &NetworkSessionWindow::makePersonalCodes);
    auto *rowButtons = new QHBoxLayout;
    rowButtons->addWidget(RemoveButton);
    rowButtons->addWidget(MergeButton);
    rowButtons->addStretch();
    rowButtons->addWidget(CodesButton);

    SummaryLabel = namedLabel(QStringLiteral("SummaryLabel"), panel);
    ShowMarksBox = new QCheckBox(tr("Afficher les &notes"), panel);
    ShowMarksBox->setObjectName(QStringLiteral("ShowMarksBox"));
    connect(ShowMarksBox, &QCheckBox::toggled, m_model, &SessionTableModel::setMarksShown);
    auto *summaryRow = new QHBoxLayout;
    summaryRow->addWidget(SummaryLabel, 1);
    summaryRow->addWidget(ShowMarksBox);

    MessageLabel = namedLabel(QStringLiteral("MessageLabel"), panel);
    MessageLabel->hide();

    StatisticsButton = new QPushButton(tr("&Statistiques..."), panel);
    StatisticsButton->setObjectName(QStringLiteral("StatisticsButton"));
    ShowCorrectionsButton = new QPushButton(tr("Montrer les &corrections"), panel);
    ShowCorrectionsButton->setObjectName(QStringLiteral("ShowCorrectionsButton"));
    ShowCorrectionsButton->setVisible(settings.correctionsLater(false));
    ShowCorrectionsButton->setEnabled(!m_served.session().correctionsReleased());
    EndButton = new QPushButton(tr("&Terminer la passation"), panel);
    EndButton->setObjectName(QStringLiteral("EndButton"));
    CloseButton = new QPushButton(tr("&Fermer"), panel);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    for (QPushButton *button : {StatisticsButton, ShowCorrectionsButton, EndButton, CloseButton})
        button->setAutoDefault(false);
    connect(ShowCorrectionsButton, &QPushButton::clicked, this, &NetworkSessionWindow::showCorrections);
    connect(StatisticsButton, &QPushButton::clicked, this, &NetworkSessionWindow::showStatistics);
    connect(EndButton, &QPushButton::clicked, this, &NetworkSessionWindow::endSession);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(StatisticsButton);
    buttons->addStretch();
    buttons->addWidget(ShowCorrectionsButton);
    buttons->addWidget(EndButton);
    buttons->addWidget(CloseButton);

    auto *layout = new QVBoxLayout(panel);
    layout->addWidget(SettingsLabel);
    layout->addLayout(classRow);
    layout->addWidget(CodesLabel);
    layout->addWidget(PupilTable, 1);
    layout->addLayout(rowButtons);
    layout->addLayout(createTimeRow(panel));
    layout->addLayout(summaryRow);
    layout->addWidget(MessageLabel);
    layout->addLayout(buttons);
    return panel;
}

void NetworkSessionWindow::fillAddresses()
{
    const QString known = m_served.session().start().address;
    int chosen = 0;
    for (const LocalAddress &address : m_served.localAddresses()) {
        if (address.address == known)
            chosen = AddressBox->count();
        AddressBox->addItem(SessionAddresses::label(address), address.address);
    }
    connect(AddressBox, &QComboBox::currentIndexChanged, this, &NetworkSessionWindow::chooseAddress);
    AddressBox->setCurrentIndex(chosen);
    chooseAddress(chosen);
}

void NetworkSessionWindow::chooseAddress(int index)
{
    if (index < 0)
        return;
    if (!m_served.listen(AddressBox->itemData(index).toString()))
        showProblem(m_served.errorText());
    showAddress();
}

void NetworkSessionWindow::showAddress()
{
    const QString address = m_served.pageAddress();
    const QString code = m_served.session().start().code;
    AddressLabel->setText(address.isEmpty() ? tr("(aucune)") : address);
    // Scanned, the code comes with the address: the page fills it in.
    QrView->setCode(address.isEmpty() ? QrCode() : QrCode::encode((address + QLatin1Char('#') + code).toUtf8()));
    CodeLabel->setText(tr("Code : %1").arg(spacedCode(code)));
    CodeLabel->setAccessibleName(tr("Code de la passation : %1").arg(code));
}

QLayout *NetworkSessionWindow::createTimeRow(QWidget *panel)
{
    NetworkSession &session = m_served.session();
    ClosesBox = new QCheckBox(tr("Ouverte &jusqu'à :"), panel);
    ClosesBox->setObjectName(QStringLiteral("ClosesBox"));
    ClosesBox->setToolTip(tr("Après cette heure, personne ne rejoint plus la passation et les copies en cours "
                             "sont enregistrées telles quelles (« terminée : temps écoulé »)."));
    ClosesEdit = new QTimeEdit(panel);
    ClosesEdit->setObjectName(QStringLiteral("ClosesEdit"));
    ClosesEdit->setDisplayFormat(QStringLiteral("HH:mm"));
    ClosesEdit->setAccessibleName(tr("Heure de fermeture"));
    const QDateTime closes = session.closingTime();
    ClosesBox->setChecked(closes.isValid());
    ClosesEdit->setTime(closes.isValid() ? closes.time() : QTime::currentTime().addSecs(3600));
    ClosesEdit->setEnabled(closes.isValid());
    connect(ClosesBox, &QCheckBox::toggled, this, &NetworkSessionWindow::chooseClosingTime);
    connect(ClosesEdit, &QTimeEdit::editingFinished, this, &NetworkSessionWindow::chooseClosingTime);

    GrantBox = new GrantMinutesBox(panel);
    GrantButton = new QPushButton(tr("Accorder du te&mps"), panel);
    GrantButton->setObjectName(QStringLiteral("GrantButton"));
    GrantButton->setAutoDefault(false);
    GrantButton->setToolTip(tr("Ajoute ces minutes au temps de l'élève choisi, pour cette passation seulement."));
    connect(GrantButton, &QPushButton::clicked, this, &NetworkSessionWindow::grantTime);
    const bool limited = session.settings().durationMinutes > 0;
    GrantBox->setVisible(limited);
    GrantButton->setVisible(limited);
    GrantButton->setEnabled(false);
    TimeLabel = namedLabel(QStringLiteral("TimeLabel"), panel);
    showTimeColumn();
    connect(PupilTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, &NetworkSessionWindow::tickTime);

    TimeTimer = new QTimer(this);
    TimeTimer->setObjectName(QStringLiteral("TimeTimer"));
    TimeTimer->setInterval(1000);
    connect(TimeTimer, &QTimer::timeout, this, &NetworkSessionWindow::tickTime);
    TimeTimer->start();

    auto *row = new QHBoxLayout;
    row->addWidget(ClosesBox);
    row->addWidget(ClosesEdit);
    row->addWidget(TimeLabel, 1);
    row->addWidget(GrantBox);
    row->addWidget(GrantButton);
    return row;
}

void NetworkSessionWindow::chooseClosingTime()
{
    NetworkSession &session = m_served.session();
    ClosesEdit->setEnabled(ClosesBox->isChecked());
    QDateTime closes;
    if (ClosesBox->isChecked()) {
        // Today's hour; an hour already past today is taken as the next one (a class at 23:30
        // closing at 00:15).
        const QDateTime now = m_services.clock.now();
        closes = QDateTime(now.date(), ClosesEdit->time());
        if (closes <= now.addSecs(-60))
            closes = closes.addDays(1);
    }
    runGuarded(m_services.boxes, [&session, &closes] { session.setClosingTime(closes); });
    showTimeColumn();
}

void NetworkSessionWindow::showTimeColumn()
{
    const NetworkSession &session = m_served.session();
    const bool timed = session.settings().durationMinutes > 0 || session.closingTime().isValid();
    PupilTable->setColumnHidden(SessionTableModel::TimeColumn, session.ended() || !timed);
}

void NetworkSessionWindow::grantTime()
{
    const QList<int> rows = selectedPupils();
    if (rows.size() != 1)
        return;
    runGuarded(m_services.boxes, [this, &rows] { m_served.session().grantMinutes(rows.first(), GrantBox->value()); });
    tickTime();
}

void NetworkSessionWindow::tickTime()
{
    NetworkSession &session = m_served.session();
    if (session.ended()) {
        showTimeColumn();
        TimeTimer->stop();
        TimeLabel->clear();
        GrantButton->setEnabled(false);
        return;
    }
    runGuarded(m_services.boxes, [this, &session] {
        session.expireDue();
        // A line every ten seconds says the session is alive: an interruption is given back
        // from the last of them.
        if (++m_ticks % 10 == 0)
            session.noteAlive();
    });
    if (!PupilTable->isColumnHidden(SessionTableModel::TimeColumn))
        m_model->timeTicked();
    const QList<int> rows = selectedPupils();
    const int left = rows.size() == 1 ? session.remainingSeconds(session.pupil(rows.first())) : -1;
    GrantButton->setEnabled(left >= 0 && session.pupil(rows.first()).time.limited());
    TimeLabel->setText(left < 0 ? QString()
                                : tr("%1 : %2").arg(session.pupil(rows.first()).name, TimeAnnouncer::shownText(left)));
}

QStringList NetworkSessionWindow::extraTimesOf(const QString &className) const
{
    QStringList extras;
    if (className.isEmpty())
        return extras;
    for (const ClassListReader::Entry &entry : m_classLists.entries(className))
        extras << entry.extra.text();
    return extras;
}

void NetworkSessionWindow::fillClasses()
{
    const QString known = m_served.session().start().className;
    ClassBox->addItem(tr("(aucune : les élèves tapent leur nom)"));
    ClassBox->addItems(m_classLists.classNames());
    const int found = ClassBox->findText(known);
    ClassBox->setCurrentIndex(known.isEmpty() || found < 0 ? 0 : found);
    connect(ClassBox, &QComboBox::currentIndexChanged, this, &NetworkSessionWindow::chooseClass);
    // Codes made since the session began (in another session of the same questionnaire) count.
    if (!known.isEmpty() && found >= 0 && !m_served.session().ended())
        runGuarded(m_services.boxes, [this, &known] { useCodesOf(known); });
    showCodesInUse();
}

void NetworkSessionWindow::useCodesOf(const QString &className)
{
    NetworkSession &session = m_served.session();
    const QStringList pupils = className.isEmpty() ? QStringList() : m_classLists.pupils(className);
    const std::optional<PersonalCodeList> codes = m_codes.find(className, session.start().questionnairePath);
    session.setClassList(className, pupils, codes && codes->pupils == pupils ? *codes : PersonalCodeList(),
                         extraTimesOf(className));
}

void NetworkSessionWindow::showCodesInUse()
{
    const NetworkSession &session = m_served.session();
    CodesButton->setEnabled(!session.start().className.isEmpty() && !session.start().classPupils.isEmpty()
                            && !session.ended());
    CodesLabel->setText(session.usesPersonalCodes()
                            ? tr("Codes personnels demandés : chaque élève tape le code de son papier, pas son nom.")
                            : QString());
    CodesLabel->setVisible(session.usesPersonalCodes());
}

void NetworkSessionWindow::makePersonalCodes()
{
    NetworkSession &session = m_served.session();
    const QString className = session.start().className;
    const QStringList pupils = session.start().classPupils;
    if (className.isEmpty() || pupils.isEmpty() || session.ended())
        return;
    runGuarded(m_services.boxes, [&] {
        const QString questionnairePath = session.start().questionnairePath;
        if (m_codes.find(className, questionnairePath)) {
            const QString question = tr("Des codes personnels existent déjà pour la classe %1 et ce questionnaire.\n"
                                        "En faire de nouveaux ? Les papiers déjà distribués ne serviront plus.")
                                         .arg(className);
            if (m_services.boxes.show(MessageIcon::Question, question, MessageButtons::YesNo) != MessageAnswer::Yes)
                return;
        }
        const PersonalCodeStore::Made made = PersonalCodeStore::make(pupils);
        PrintJob job;
        job.documentName = tr("Codes personnels %1").arg(className);
        job.marginsMillimetres = QMarginsF(15, 12, 15, 12);
        const PersonalCodeSheet::Contents contents{className, QFileInfo(questionnairePath).completeBaseName(), pupils,
                                                   made.codes};
        // The codes are kept (as hashes) only once their sheet is printed: a cancelled print
        // leaves the earlier codes, if any, in use.
        if (!m_services.printDialogs.print(job, [&contents](PrintTarget &target) {
                PersonalCodeSheet::paint(target.device(), contents);
            }, this))
            return;
        m_codes.save(className, questionnairePath, made.list);
        session.setClassList(className, pupils, made.list, extraTimesOf(className));
    });
    showCodesInUse();
}

void NetworkSessionWindow::chooseClass(int index)
{
    const QString name = index > 0 ? ClassBox->itemText(index) : QString();
    runGuarded(m_services.boxes, [this, &name] { useCodesOf(name); });
    showCodesInUse();
}

QList<int> NetworkSessionWindow::selectedPupils() const
{
    QList<int> rows;
    for (const QModelIndex &index : PupilTable->selectionModel()->selectedRows()) {
        if (index.row() < m_served.session().pupilCount())
            rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void NetworkSessionWindow::updateRowButtons()
{
    const NetworkSession &session = m_served.session();
    const QList<int> rows = selectedPupils();
    RemoveButton->setEnabled(rows.size() == 1 && session.whyNotRemovable(rows.front()).isEmpty());
    MergeButton->setEnabled(rows.size() == 2 && !session.ended() && !session.pupil(rows[0]).removed
                            && !session.pupil(rows[1]).removed);
}

QString NetworkSessionWindow::rowDescription(int index) const
{
    const QModelIndex row = m_model->index(index, SessionTableModel::NameColumn);
    return tr("« %1 » (%2, %3)")
        .arg(row.data().toString(), row.siblingAtColumn(SessionTableModel::AnsweredColumn).data().toString(),
             row.siblingAtColumn(SessionTableModel::StateColumn).data().toString());
}

void NetworkSessionWindow::removeRow()
{
    const QList<int> rows = selectedPupils();
    if (rows.size() != 1)
        return;
    const int index = rows.front();
    runGuarded(m_services.boxes, [&] {
        NetworkSession &session = m_served.session();
        const QString why = session.whyNotRemovable(index);
        if (!why.isEmpty())
            throw AppError(why);
        const QString question = tr("Retirer %1 de la passation ?\nSa copie est gardée dans le journal et dans les "
                                    "résultats, notée « retirée », et ne compte pas. Sa page ne peut plus répondre.")
                                     .arg(rowDescription(index));
        if (m_services.boxes.show(MessageIcon::Question, question, MessageButtons::YesNo) != MessageAnswer::Yes)
            return;
        session.remove(index);
    });
    m_model->refreshNow();
    updateRowButtons();
}

void NetworkSessionWindow::mergeRows()
{
    const QList<int> rows = selectedPupils();
    if (rows.size() != 2)
        return;
    runGuarded(m_services.boxes, [&] {
        const QString question =
            tr("Ces deux lignes sont-elles le même élève ? Celle que vous gardez est celle qui compte ; l'autre est "
               "retirée (gardée, notée « retirée »), et ses réponses complètent celle gardée là où elle n'en a pas, "
               "tant que celle-ci n'est pas terminée.\n"
               "Oui : garder %1.\nNon : garder %2.\nAnnuler : ne rien changer.")
                .arg(rowDescription(rows[0]), rowDescription(rows[1]));
        switch (m_services.boxes.show(MessageIcon::Question, question, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes:
            m_served.session().merge(rows[0], rows[1]);
            break;
        case MessageAnswer::No:
            m_served.session().merge(rows[1], rows[0]);
            break;
        default:
            break;
        }
    });
    m_model->refreshNow();
    updateRowButtons();
}

void NetworkSessionWindow::placeTakeOverButtons()
{
    // Each waiting device gets its two answers in its own row, across the table, where the
    // teacher is looking: no box in front of the class's projected screen.
    const int pupils = m_served.session().pupilCount();
    PupilTable->clearSpans();
    for (int row = pupils; row < m_model->rowCount(); ++row) {
        const int id = m_model->takeOverAt(row);
        const QModelIndex cell = m_model->index(row, SessionTableModel::NameColumn);
        PupilTable->setSpan(row, 0, 1, SessionTableModel::ColumnCount);
        auto *box = PupilTable->indexWidget(cell);
        if (!box || box->property("takeOver").toInt() != id) {
            box = new QWidget;
            box->setProperty("takeOver", id);
            box->setAutoFillBackground(true);
            auto *asked = new QLabel(box);
            asked->setObjectName(QStringLiteral("TakeOverLabel"));
            asked->setTextFormat(Qt::PlainText);
            asked->setWordWrap(true);
            QFont bold = asked->font();
            bold.setBold(true);
            asked->setFont(bold);
            auto *take = new QPushButton(tr("Reprendre sur cet appareil"), box);
            take->setObjectName(QStringLiteral("TakeOverButton"));
            take->setAutoDefault(false);
            auto *refuse = new QPushButton(tr("Refuser"), box);
            refuse->setObjectName(QStringLiteral("RefuseButton"));
            refuse->setAutoDefault(false);
            auto *buttons = new QHBoxLayout;
            buttons->addWidget(take);
            buttons->addWidget(refuse);
            buttons->addStretch();
            auto *layout = new QVBoxLayout(box);
            layout->setContentsMargins(4, 2, 4, 2);
            layout->setSpacing(2);
            layout->addWidget(asked);
            layout->addLayout(buttons);
            connect(take, &QPushButton::clicked, this, [this, id] { answerTakeOver(id, true); });
            connect(refuse, &QPushButton::clicked, this, [this, id] { answerTakeOver(id, false); });
            PupilTable->setIndexWidget(cell, box);
        }
        if (auto *asked = box->findChild<QLabel *>(QStringLiteral("TakeOverLabel")))
            asked->setText(tr("%1 (%2)").arg(cell.data().toString(),
                                            cell.siblingAtColumn(SessionTableModel::AnsweredColumn).data().toString()));
        PupilTable->verticalHeader()->resizeSection(row, std::max(PupilTable->verticalHeader()->defaultSectionSize(),
                                                                  box->sizeHint().height()));
    }
}

void NetworkSessionWindow::answerTakeOver(int id, bool accepted)
{
    runGuarded(m_services.boxes, [&] {
        if (accepted)
            m_served.session().acceptTakeOver(id);
        else
            m_served.session().refuseTakeOver(id);
    });
}

void NetworkSessionWindow::refreshSummary()
{
    SummaryLabel->setText(m_model->summary());
}

void NetworkSessionWindow::showProblem(const QString &reason)
{
    MessageLabel->setStyleSheet(QStringLiteral("color: #a4000f; font-weight: bold;"));
    MessageLabel->setText(reason);
    MessageLabel->show();
}

void NetworkSessionWindow::endSession()
{
    NetworkSession &session = m_served.session();
    if (session.ended()) {
        // Runs that could not be kept at the end: tried again.
        showEnded(session.keepRemaining());
        return;
    }
    const QString question = session.live()
        ? tr("Terminer la passation ?\nLes élèves ne pourront plus répondre ; chaque copie sera enregistrée comme "
             "terminée, les questions qui n'ont pas été montrées sans réponse.")
        : tr("Terminer la passation ?\nLes élèves ne pourront plus répondre ; les copies "
             "inachevées seront enregistrées comme telles.");
    if (m_services.boxes.show(MessageIcon::Question, question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    showEnded(session.end());
}

void NetworkSessionWindow::showCorrections()
{
    const QString question = tr("Montrer les corrections aux élèves qui ont terminé ?\nUn élève qui répond encore "
                                "les verra dès qu'il aura terminé.");
    if (m_services.boxes.show(MessageIcon::Question, question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    if (runGuarded(m_services.boxes, [this] { m_served.session().showCorrections(); }))
        ShowCorrectionsButton->setEnabled(false);
}

void NetworkSessionWindow::showEnded(const QStringList &problems)
{
    const int unkept = m_served.session().unkeptCount();
    ClassBox->setEnabled(false);
    // Ending the run shows them.
    ShowCorrectionsButton->setEnabled(false);
    CodesButton->setEnabled(false);
    RemoveButton->setEnabled(false);
    MergeButton->setEnabled(false);
    if (unkept == 0) {
        MessageLabel->setStyleSheet(QString());
        MessageLabel->setText(tr("Passation terminée : toutes les copies sont enregistrées dans les résultats."));
        MessageLabel->show();
        EndButton->setText(tr("Passation terminée"));
        EndButton->setEnabled(false);
    } else {
        // Both texts take the count first, so that the reasons always land in their place.
        showProblem((unkept == 1 ? tr("%1 copie n'a pas pu être enregistrée (%2). Elle reste dans le journal de la passation.")
                                 : tr("%1 copies n'ont pas pu être enregistrées (%2). Elles restent dans le journal de la passation."))
                        .arg(unkept)
                        .arg(problems.join(QStringLiteral(" ; "))));
        EndButton->setText(tr("&Réessayer l'enregistrement"));
        EndButton->setEnabled(true);
    }
    refreshSummary();
}

void NetworkSessionWindow::showStatistics()
{
    const SessionStatistics statistics = SessionStatistics::of(m_served.session());
    const ClassQuestionnaire &questionnaire = m_served.session().questionnaire();
    auto *dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("SessionStatistics"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Statistiques de la passation"));
    auto *summary = namedLabel(QStringLiteral("StatisticsSummary"), dialog);
    if (statistics.runs == 0) {
        summary->setText(tr("Aucun élève n'a encore terminé."));
    } else {
        const MarkSummary &marks = statistics.marks;
        summary->setText((statistics.runs == 1 ? tr("1 copie.") : tr("%1 copies.").arg(statistics.runs))
                         + tr(" Moyenne %1, médiane %2, note la plus basse %3, la plus haute %4, écart type %5 (sur %6).")
                             .arg(ClassMarking::numberText(std::round(marks.mean * 100) / 100),
                                  ClassMarking::numberText(marks.median), ClassMarking::numberText(marks.lowest),
                                  ClassMarking::numberText(marks.highest),
                                  ClassMarking::numberText(std::round(marks.standardDeviation * 100) / 100))
                             .arg(marks.scale));
    }
    auto *table = new QTableWidget(questionnaire.size(), 4, dialog);
    table->setObjectName(QStringLiteral("StatisticsTable"));
    table->setHorizontalHeaderLabels({tr("Question"), tr("Réussite"), tr("Discrimination"), tr("À revoir")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int q = 0; q < questionnaire.size(); ++q) {
        const ItemAnalysis::Item &item = statistics.items.items[size_t(q)];
        const bool marked = statistics.marked[size_t(q)];
        const bool measured = marked && statistics.runs > 0;
        const QString cells[] = {
            tr("%1. %2").arg(q + 1).arg(questionnaire.question(q).title),
            measured ? percentText(item.facility) : marked ? QString() : tr("non notée"),
            measured && item.discrimination ? QString::number(*item.discrimination, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','))
                                            : QString(),
            measured && item.toReview ? tr("à revoir") : QString()};
        for (int column = 0; column < 4; ++column)
            table->setItem(q, column, new QTableWidgetItem(cells[column]));
    }
    auto *close = new QPushButton(tr("Fermer"), dialog);
    connect(close, &QPushButton::clicked, dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(summary);
    layout->addWidget(table, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    fitToScreen(*dialog, QSize(760, 520));
    dialog->show();
}

bool NetworkSessionWindow::mayClose()
{
    NetworkSession &session = m_served.session();
    if (session.ended()) {
        const int unkept = session.unkeptCount();
        if (unkept == 0)
            return true;
        const QString question =
            (unkept == 1 ? tr("1 copie n'est pas encore enregistrée dans les résultats.")
                         : tr("%1 copies ne sont pas encore enregistrées dans les résultats.").arg(unkept))
            + tr(" Elles restent dans le journal et seront enregistrées à la prochaine passation sur le réseau "
                 "de ce questionnaire.\nFermer quand même ?");
        return m_services.boxes.show(MessageIcon::Warning, question, MessageButtons::YesNo) == MessageAnswer::Yes;
    }
    const QString question = tr("La passation est en cours.\n"
                                "Oui : la terminer et enregistrer toutes les copies.\n"
                                "Non : l'interrompre ; elle reprendra où elle en est à la prochaine ouverture.\n"
                                "Annuler : continuer la passation.");
    switch (m_services.boxes.show(MessageIcon::Question, question, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        showEnded(session.end());
        return session.unkeptCount() == 0;
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

void NetworkSessionWindow::reject()
{
    // Escape closes as the close box does: asking first.
    close();
}

void NetworkSessionWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closing && !mayClose()) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_served.stop();
    QDialog::reject();
    event->accept();
}
