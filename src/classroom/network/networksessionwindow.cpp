#include "classroom/network/networksessionwindow.h"

#include "classroom/classlist.h"
#include "classroom/network/networksession.h"
#include "classroom/network/qrcodeview.h"
#include "classroom/network/servedsession.h"
#include "classroom/network/sessionaddresses.h"
#include "classroom/network/sessionstatistics.h"
#include "classroom/network/sessiontablemodel.h"
#include "document/classsettings.h"
#include "platform/errorguard.h"
#include "platform/messageboxes.h"
#include "platform/screenfit.h"
#include "platform/services.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

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
    : QDialog(parent), m_served(served), m_classLists(classLists), m_services(services)
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
    connect(&m_served, &ServedSession::failed, this, &NetworkSessionWindow::showProblem);

    fillClasses();
    fillAddresses();
    refreshSummary();
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
    const QString ends[] = {tr("rien"), tr("sa note"), tr("sa note et les corrections")};
    SettingsLabel->setText(
        (m_served.session().questionnaire().size() <= 1 ? tr("%1 question") : tr("%1 questions"))
                .arg(m_served.session().questionnaire().size())
        + tr(" ; questions %1, réponses %2 ; note sur %3 à %4 point près%5 ; à la fin, l'élève voit %6.")
            .arg(settings.shuffleQuestions ? tr("mélangées") : tr("dans l'ordre"),
                 settings.shuffleAnswers ? tr("mélangées") : tr("dans l'ordre"))
            .arg(settings.markScale)
            .arg(ClassSettingsFormat::roundingText(settings.roundingHundredths),
                 settings.penalty == ClassSettings::Penalty::Chance ? tr(", correction du hasard") : QString(),
                 ends[int(settings.endView)]));

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
    PupilTable->setSelectionMode(QAbstractItemView::NoSelection);
    PupilTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PupilTable->verticalHeader()->hide();
    PupilTable->horizontalHeader()->setSectionResizeMode(SessionTableModel::NameColumn, QHeaderView::Stretch);
    for (int column = SessionTableModel::AnsweredColumn; column < SessionTableModel::ColumnCount; ++column)
        PupilTable->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);

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
    EndButton = new QPushButton(tr("&Terminer la passation"), panel);
    EndButton->setObjectName(QStringLiteral("EndButton"));
    CloseButton = new QPushButton(tr("&Fermer"), panel);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    for (QPushButton *button : {StatisticsButton, EndButton, CloseButton})
        button->setAutoDefault(false);
    connect(StatisticsButton, &QPushButton::clicked, this, &NetworkSessionWindow::showStatistics);
    connect(EndButton, &QPushButton::clicked, this, &NetworkSessionWindow::endSession);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(StatisticsButton);
    buttons->addStretch();
    buttons->addWidget(EndButton);
    buttons->addWidget(CloseButton);

    auto *layout = new QVBoxLayout(panel);
    layout->addWidget(SettingsLabel);
    layout->addLayout(classRow);
    layout->addWidget(PupilTable, 1);
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

void NetworkSessionWindow::fillClasses()
{
    const QString known = m_served.session().start().className;
    ClassBox->addItem(tr("(aucune : les élèves tapent leur nom)"));
    ClassBox->addItems(m_classLists.classNames());
    const int found = ClassBox->findText(known);
    ClassBox->setCurrentIndex(known.isEmpty() || found < 0 ? 0 : found);
    connect(ClassBox, &QComboBox::currentIndexChanged, this, &NetworkSessionWindow::chooseClass);
}

void NetworkSessionWindow::chooseClass(int index)
{
    const QString name = index > 0 ? ClassBox->itemText(index) : QString();
    runGuarded(m_services.boxes, [this, &name] {
        m_served.session().setClassList(name, name.isEmpty() ? QStringList() : m_classLists.pupils(name));
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
    const QString question = tr("Terminer la passation ?\nLes élèves ne pourront plus répondre ; les copies "
                                "inachevées seront enregistrées comme telles.");
    if (m_services.boxes.show(MessageIcon::Question, question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    showEnded(session.end());
}

void NetworkSessionWindow::showEnded(const QStringList &problems)
{
    const int unkept = m_served.session().unkeptCount();
    ClassBox->setEnabled(false);
    if (unkept == 0) {
        MessageLabel->setStyleSheet(QString());
        MessageLabel->setText(tr("Passation terminée : toutes les copies sont enregistrées dans les résultats."));
        MessageLabel->show();
        EndButton->setText(tr("Passation terminée"));
        EndButton->setEnabled(false);
    } else {
        showProblem((unkept == 1 ? tr("1 copie n'a pas pu être enregistrée (%2). Elle reste dans le journal de la passation.")
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
