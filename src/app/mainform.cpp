#include "app/mainform.h"

#include "accessories/pocket.h"
#include "app/aboutbox.h"
#include "app/artwork.h"
#include "app/classroomcommands.h"
#include "app/helpkey.h"
#include "app/hints.h"
#include "app/importchoicedialog.h"
#include "app/correctedcopiescommand.h"
#include "app/marksexportcommand.h"
#include "app/networksessioncommand.h"
#include "app/papercopycommands.h"
#include "app/questionnaireprinting.h"
#include "app/resultsstatisticscommand.h"
#include "document/qcmformat.h"
#include "document/questionnairefile.h"
#include "editor/planche.h"
#include "pictures/picturecontent.h"
#include "platform/errorguard.h"
#include "platform/filedialogs.h"
#include "platform/frenchconventions.h"
#include "platform/helpwindow.h"
#include "platform/services.h"
#include "platform/messageboxes.h"
#include "platform/systemclock.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ToolPanelHeight = 30;
constexpr int ToolButtonSize = 25;
constexpr int ClockInterval = 1000;
// Panel 0 of the status bar takes the window's width but this much, which is the clock's.
constexpr int ClockPanelWidth = 100;
// "&Fichier" carries this help context, the next menus the following ones.
constexpr int FirstMenuHelpContext = 3;

} // namespace

TMainForm::TMainForm(Services &services, QWidget *parent)
    : QMainWindow(parent), m_services(services), m_boxes(services.boxes), m_dialogs(services.dialogs),
      m_clock(services.clock)
{
    setWindowTitle(tr("Nelo Qcm"));
    setAcceptDrops(true);

    auto *centre = new QWidget;
    auto *layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolPanel = new QWidget;
    m_toolPanel->setObjectName(QStringLiteral("ToolPanel"));
    m_toolPanel->setFixedHeight(ToolPanelHeight);
    m_mdiArea = new QMdiArea;
    m_mdiArea->setObjectName(QStringLiteral("MdiArea"));
    layout->addWidget(m_toolPanel);
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(centre);

    createMenus();
    createToolBar();
    createStatusBar();
    createClock();
    new HelpKey([this](int context) { guarded([this, context] { showHelpContext(context); }); }, this);
    resize(584, 356);
}

TMainForm::~TMainForm() = default;

QString TMainForm::CurrentFileName() const
{
    return m_file ? m_file->CurrentFileName() : QString();
}

// Building the window

QAction *TMainForm::addMenuItem(QMenu *menu, const QString &text, const QString &hint, const QKeySequence &shortcut,
                                void (TMainForm::*command)(), bool enabledAtStart)
{
    QAction *action = menu->addAction(text);
    action->setStatusTip(hint);
    action->setShortcut(shortcut);
    action->setEnabled(enabledAtStart);
    if (!enabledAtStart)
        m_waitingActions.append(action);
    connect(action, &QAction::triggered, this, [this, command] { guarded([this, command] { (this->*command)(); }); });
    return action;
}

QAction *TMainForm::addSheetItem(QMenu *menu, const QString &text, const QString &hint, const QKeySequence &shortcut,
                                 void (TPlanche::*command)())
{
    QAction *action = menu->addAction(text);
    action->setStatusTip(hint);
    action->setShortcut(shortcut);
    action->setEnabled(false);
    m_waitingActions.append(action);
    connect(action, &QAction::triggered, this, [this, command] { forwardToSheet(command); });
    return action;
}

void TMainForm::createMenus()
{
    m_fileMenu = menuBar()->addMenu(tr("&Fichier"));
    addMenuItem(m_fileMenu, tr("&Nouveau"), tr("Nouveau diaporama"), {}, &TMainForm::Nouveau1Click, true);
    addMenuItem(m_fileMenu, tr("&Ouvrir..."), tr("Ouvrir un diaporama"), {}, &TMainForm::OpenItemClick, true);
    m_fileMenu->addSeparator();
    addMenuItem(m_fileMenu, tr("&Enregistrer"), tr("Enregistrer le fichier en cours"), QKeySequence(Qt::CTRL | Qt::Key_S),
                &TMainForm::SaveItemClick, true);
    addMenuItem(m_fileMenu, tr("Enregistrer &sous..."), tr("Enregistrer sous un autre nom"), {}, &TMainForm::SaveAs, true);
    m_fileMenu->addSeparator();
    addMenuItem(m_fileMenu, tr("&Importer..."), tr("Importer des questions de Moodle (GIFT, Aiken, Moodle XML)"), {},
                &TMainForm::ImportItemClick, true);
    addMenuItem(m_fileMenu, tr("E&xporter..."), tr("Exporter les questions pour Moodle (GIFT, Aiken, Moodle XML)"), {},
                &TMainForm::ExportItemClick, true);
    m_fileMenu->addSeparator();
    addMenuItem(m_fileMenu, tr("Im&primer le questionnaire..."), tr("Imprimer le questionnaire pour une interrogation écrite"),
                QKeySequence(Qt::CTRL | Qt::Key_P), &TMainForm::printQuestionnaire, false);
    addMenuItem(m_fileMenu, tr("Imprimer des &copies à corriger..."), tr("Imprimer des copies numérotées, corrigées ensuite à partir de leur scan"), {}, &TMainForm::printCopies, false);
    addMenuItem(m_fileMenu, tr("Corri&ger des copies scannées..."), tr("Lire les copies scannées et enregistrer leurs notes"), {}, &TMainForm::markScans, false);
    m_fileMenu->addSeparator();
    QAction *quit = m_fileMenu->addAction(tr("&Quitter"));
    quit->setStatusTip(tr("Quitter l'application"));
    quit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    m_editMenu = menuBar()->addMenu(tr("&Edition"));
    // Enabled while the sheet has a question command to take back (see setSheet).
    m_undoAction = addSheetItem(m_editMenu, tr("&Annuler"), tr("Annuler la dernière commande"),
                                QKeySequence(Qt::CTRL | Qt::Key_Z), &TPlanche::Annuler);
    m_waitingActions.removeOne(m_undoAction);
    m_editMenu->addSeparator();
    addSheetItem(m_editMenu, tr("&Copier"), tr("Copier"), QKeySequence(Qt::CTRL | Qt::Key_C), &TPlanche::Copier);
    addSheetItem(m_editMenu, tr("C&oller"), tr("Coller"), QKeySequence(Qt::CTRL | Qt::Key_V), &TPlanche::Coller);
    addSheetItem(m_editMenu, tr("Copier &Image"), tr("Copier l'image dans le presse-papiers"), {}, &TPlanche::CopierImg);
    m_editMenu->addSeparator();
    addSheetItem(m_editMenu, tr("C&hercher..."), tr("Chercher"), {}, &TPlanche::Chercher);
    addSheetItem(m_editMenu, tr("Co&ntinuer"), tr("Continuer la recherche"), QKeySequence(Qt::Key_F3),
                 &TPlanche::Continuer);
    addSheetItem(m_editMenu, tr("&Remplacer..."), tr("Remplacer"), {}, &TPlanche::Remplacer);
    m_editMenu->addSeparator();
    addSheetItem(m_editMenu, tr("&Suprimer image"), tr("Supprimer image"), {}, &TPlanche::SuppImg);
    addSheetItem(m_editMenu, tr("Insérer une correc&tion"),
                 tr("Écrire dans le texte libre la correction montrée aux élèves après la fin"), {},
                 &TPlanche::insertCorrection);

    m_pageMenu = menuBar()->addMenu(tr("&Page"));
    addSheetItem(m_pageMenu, tr("&Précédente           PgUp"), tr("Ecran précédent"), {}, &TPlanche::Precedent);
    addSheetItem(m_pageMenu, tr("&Suivante                 PgDn  "), tr("Ecran suivant"), {}, &TPlanche::Suivant);
    addSheetItem(m_pageMenu, tr("P&remière"), tr("Premier écran"), {}, &TPlanche::Premier);
    addSheetItem(m_pageMenu, tr("&Dernière"), tr("Dernier écran"), {}, &TPlanche::Dernier);
    m_pageMenu->addSeparator();
    addMenuItem(m_pageMenu, tr("&Ajouter"), tr("Ajouter écran"), {}, &TMainForm::AjoutAndValide, false);
    addSheetItem(m_pageMenu, tr("S&upprimer"), tr("Supprimer écran"), {}, &TPlanche::Supprime);
    m_pageMenu->addSeparator();
    addSheetItem(m_pageMenu, tr("&Chemins relatifs"), tr("Convertif en chemins relatifs"), {}, &TPlanche::ChRelatifs);
    addSheetItem(m_pageMenu, tr("Chemins &absolus..."), tr("Fixer des chemins absolus"), {}, &TPlanche::Chemins);
    m_pageMenu->addSeparator();
    addSheetItem(m_pageMenu, tr("&Liste des questions"), tr("Liste des questions"), QKeySequence(Qt::Key_F2),
                 &TPlanche::Index);

    m_runMenu = menuBar()->addMenu(tr("&Questionnaire"));
    addSheetItem(m_runMenu, tr("&Exécuter"), tr("Exécuter le diaporama"), QKeySequence(Qt::Key_F9), &TPlanche::Quest);
    addMenuItem(m_runMenu, tr("Faire passer à la &classe..."),
                tr("Faire passer le questionnaire aux élèves, l'un après l'autre, en plein écran"), {},
                &TMainForm::runClass, false);
    addMenuItem(m_runMenu, tr("&Passation sur le réseau..."),
                tr("Faire passer le questionnaire aux élèves sur leurs appareils, par le réseau de l'établissement"), {},
                &TMainForm::runClassOnNetwork, false);
    addMenuItem(m_runMenu, tr("Passation en &direct..."),
                tr("Faire passer le questionnaire question par question, au rythme de l'enseignant, sur le "
                   "vidéoprojecteur et sur les appareils des élèves"), {},
                &TMainForm::runClassLive, false);
    addMenuItem(m_runMenu, tr("&Réglages de la passation..."),
                tr("Ordre des questions, barème, pénalité et ce que voient les élèves à la fin"), {},
                &TMainForm::editClassSettings, false);
    addMenuItem(m_runMenu, tr("&Listes de classe..."), tr("Importer, corriger ou supprimer les listes d'élèves"), {},
                &TMainForm::editClassLists, true);
    addMenuItem(m_runMenu, tr("&Statistiques des résultats..."), tr("Statistiques des résultats enregistrés"), {},
                &TMainForm::showResultsStatistics, false);
    addMenuItem(m_runMenu, tr("Exporter les &notes..."), tr("Exporter les notes des élèves pour le cahier de notes"), {},
                &TMainForm::exportMarks, false);
    addMenuItem(m_runMenu, tr("Imprimer les copies corrigées..."),
                tr("Imprimer pour chaque élève sa copie corrigée : ses réponses, les bonnes réponses et les corrections"),
                {}, &TMainForm::printCorrectedCopies, false);

    m_toolsMenu = menuBar()->addMenu(tr("&Utilitaires"));
    addMenuItem(m_toolsMenu, tr("&Calendrier"), tr("Calendrier"), {}, &TMainForm::openCalendar, true);
    addMenuItem(m_toolsMenu, tr("C&alculatrice"), tr("Calculatrice"), {}, &TMainForm::showCalculator, true);
    addMenuItem(m_toolsMenu, tr("&Horloge"), tr("Horloge"), {}, &TMainForm::openClock, true);

    m_helpMenu = menuBar()->addMenu(tr("&Aide"));
    addMenuItem(m_helpMenu, tr("&Index"), QString(), {}, &TMainForm::HContents, true);
    addMenuItem(m_helpMenu, tr("&Rechercher"), QString(), {}, &TMainForm::HSearch, true);
    addMenuItem(m_helpMenu, tr("&Utiliser l'aide"), QString(), {}, &TMainForm::HowToUse, true);
    m_helpMenu->addSeparator();
    addMenuItem(m_helpMenu, tr("&A propos..."), tr("Informations sur le logiciel"), {}, &TMainForm::showAboutBox, true);

    // F1 with a menu open shows that menu's page.
    int context = FirstMenuHelpContext;
    for (QMenu *menu : {m_fileMenu, m_editMenu, m_pageMenu, m_runMenu, m_toolsMenu, m_helpMenu})
        menu->setProperty(HelpKey::ContextProperty, context++);
}

QToolButton *TMainForm::addToolButton(const QString &name, int left, const QString &icon, const QString &hint,
                                      const std::function<void()> &command, bool enabledAtStart)
{
    auto *button = new QToolButton(m_toolPanel);
    button->setObjectName(name);
    button->setGeometry(left, (ToolPanelHeight - ToolButtonSize) / 2, ToolButtonSize, ToolButtonSize);
    button->setAutoRaise(true);
    button->setIcon(artworkIcon(QStringLiteral(":/toolbar/%1.svg").arg(icon)));
    button->setIconSize(QSize(18, 18));
    button->setToolTip(shortHint(hint));
    // A picture button has no caption: screen readers say its tooltip's words.
    button->setAccessibleName(shortHint(hint));
    // The long part goes to the status bar on entering, even when it is empty (see eventFilter).
    button->setProperty("longHint", longHint(hint));
    button->installEventFilter(this);
    button->setEnabled(enabledAtStart);
    if (!enabledAtStart)
        m_waitingButtons.append(button);
    connect(button, &QToolButton::clicked, this, [this, command] { guarded(command); });
    return button;
}

void TMainForm::createToolBar()
{
    auto sheetCommand = [this](void (TPlanche::*command)()) {
        return [this, command] { runSheetCommand(command); };
    };
    addToolButton(QStringLiteral("SpeedButton1"), 9, QStringLiteral("new"), tr("Nouveau"), [this] { Nouveau1Click(); }, true);
    addToolButton(QStringLiteral("OpenBtn"), 34, QStringLiteral("open"), tr("Ouvrir|"), [this] { OpenItemClick(); }, true);
    addToolButton(QStringLiteral("SaveBtn"), 58, QStringLiteral("save"), tr("Enregistrer|"), [this] { SaveItemClick(); }, true);
    addToolButton(QStringLiteral("SpeedButton9"), 93, QStringLiteral("copy"), tr("Copier"), sheetCommand(&TPlanche::Copier), false);
    addToolButton(QStringLiteral("SpeedButton10"), 117, QStringLiteral("paste"), tr("Coller"), sheetCommand(&TPlanche::Coller), false);
    addToolButton(QStringLiteral("SpeedButton3"), 173, QStringLiteral("first"), tr("Premier"), sheetCommand(&TPlanche::Premier), false);
    addToolButton(QStringLiteral("SpeedButton4"), 197, QStringLiteral("previous"), tr("Précédent"),
                  sheetCommand(&TPlanche::Precedent), false);
    addToolButton(QStringLiteral("SpeedButton5"), 221, QStringLiteral("next"), tr("Suivant"), sheetCommand(&TPlanche::Suivant), false);
    addToolButton(QStringLiteral("SpeedButton6"), 245, QStringLiteral("last"), tr("Dernier"), sheetCommand(&TPlanche::Dernier), false);
    addToolButton(QStringLiteral("SpeedButton7"), 277, QStringLiteral("add"), tr("Ajouter"), [this] { AjoutAndValide(); }, true);
    addToolButton(QStringLiteral("SpeedButton8"), 301, QStringLiteral("delete"), tr("Supprimer"),
                  sheetCommand(&TPlanche::Supprime), false);
    addToolButton(QStringLiteral("SpeedButton2"), 348, QStringLiteral("run"), tr("Exécuter questionnaire"),
                  sheetCommand(&TPlanche::Quest), false);
    addToolButton(QStringLiteral("ClassButton"), 372, QStringLiteral("class"), tr("Faire passer à la classe"),
                  [this] { runClass(); }, false);
}

void TMainForm::createStatusBar()
{
    m_hintPanel = new QLabel;
    m_hintPanel->setObjectName(QStringLiteral("HintPanel"));
    m_hintPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_clockPanel = new QLabel;
    m_clockPanel->setObjectName(QStringLiteral("ClockPanel"));
    m_clockPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(m_hintPanel);
    statusBar()->addWidget(m_clockPanel, 1);
}

void TMainForm::createClock()
{
    m_clockTimer = new QTimer(this);
    m_clockTimer->setInterval(ClockInterval);
    connect(m_clockTimer, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    m_clockTimer->start();
    Timer1Timer();
}

void TMainForm::setAboutBox(TAboutBox *aboutBox)
{
    m_aboutBox = aboutBox;
}

void TMainForm::setCalendar(QDialog *calendar)
{
    m_calendar = calendar;
}

void TMainForm::setClockWindow(QDialog *clock)
{
    m_clockWindow = clock;
}

void TMainForm::setCalculator(TPocket *calculator)
{
    m_calculator = calculator;
}

void TMainForm::setSheet(TPlanche *sheet)
{
    m_sheet = sheet;
    m_file = std::make_unique<QuestionnaireFile>(
        sheet->store(), m_boxes, m_dialogs,
        [&pictures = m_services.pictures](const QString &path) { return readPictureForWeb(pictures, path); },
        m_services.progress);
    connect(sheet, &TPlanche::undoAvailable, m_undoAction, &QAction::setEnabled);
    QMdiSubWindow *window = m_mdiArea->addSubWindow(sheet, Qt::FramelessWindowHint);
    window->setObjectName(QStringLiteral("SheetWindow"));
    // The frame holds the sheet without a border or a title bar of its own: the keyboard goes
    // straight to the sheet's fields, never to a nameless window in between.
    window->setFocusPolicy(Qt::NoFocus);
    window->showMaximized();
    // A .qcm file dropped on any field opens it instead of landing in the field as text.
    sheet->installEventFilter(this);
    for (QWidget *child : sheet->findChildren<QWidget *>())
        child->installEventFilter(this);
}

// Hints and clock

bool TMainForm::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::ShowHint(const QString &hint)
{
    m_hintPanel->setText(hint);
}

void TMainForm::Timer1Timer()
{
    m_clockPanel->setText(QStringLiteral("    ") + longTimeText(QLocale(), m_clock.now().time()));
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        if (auto *button = qobject_cast<QToolButton *>(watched))
            ShowHint(button->property("longHint").toString());
        break;
    case QEvent::Leave:
        if (qobject_cast<QToolButton *>(watched))
            ShowHint(QString());
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (!droppedQuestionnaire(static_cast<QDropEvent *>(event)->mimeData()).isEmpty()) {
            if (event->type() == QEvent::Drop)
                dropEvent(static_cast<QDropEvent *>(event));
            else
                static_cast<QDropEvent *>(event)->acceptProposedAction();
            return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// Window events

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    // FormShow: the folder current at the first showing is where the program goes back to.
    m_shownOnce = true;
    m_startFolder = QDir::currentPath();
    m_helpFile = QDir(m_startFolder).filePath(QStringLiteral("Zezavid.hlp"));
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // FormCloseQuery
    bool mayClose = false;
    guarded([this, &mayClose] { mayClose = !m_file || m_file->mayClose(); });
    if (!mayClose) {
        // A save that failed or was cancelled may have changed the file name.
        if (m_file)
            showFileName();
        event->ignore();
        return;
    }
    // FormClose
    if (!m_startFolder.isEmpty())
        QDir::setCurrent(m_startFolder);
    if (m_help)
        m_help->close();
    event->accept();
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize()
{
    m_hintPanel->setFixedWidth(std::max(0, width() - ClockPanelWidth));
}

// Commands

void TMainForm::guarded(const std::function<void()> &command)
{
    runGuarded(m_boxes, command);
}

void TMainForm::forwardToSheet(void (TPlanche::*command)())
{
    guarded([this, command] { runSheetCommand(command); });
}

void TMainForm::runSheetCommand(void (TPlanche::*command)())
{
    if (m_sheet)
        (m_sheet->*command)();
}

void TMainForm::runFileCommand(bool (QuestionnaireFile::*command)(), bool validates)
{
    bool done = false;
    guarded([this, command, &done] { done = (m_file.get()->*command)(); });
    if (done && validates)
        Valide();
    showFileName();
}

void TMainForm::showFileName()
{
    // The sheet is maximised without a title bar of its own: its caption (the file's name) joins
    // the frame's, as a maximised child window's does on the desktop it came from.
    m_sheet->setCaption(QcmFormat::fileNameOf(m_file->CurrentFileName()));
    setWindowTitle(m_file->frameCaption());
}

void TMainForm::Nouveau1Click()
{
    runFileCommand(&QuestionnaireFile::newQuestionnaire, true);
}

void TMainForm::OpenItemClick()
{
    runFileCommand(&QuestionnaireFile::open, true);
}

void TMainForm::openNamedQuestionnaire(const QString &path)
{
    bool done = false;
    guarded([this, &path, &done] { done = m_file->openNamed(path); });
    if (done)
        Valide();
    showFileName();
}

void TMainForm::SaveAs()
{
    runFileCommand(&QuestionnaireFile::saveAs, false);
}

void TMainForm::ImportItemClick()
{
    ImportChoiceDialog chooser(this);
    bool done = false;
    guarded([this, &chooser, &done] { done = m_file->importQuestions(chooser); });
    if (done)
        Valide();
    showFileName();
}

void TMainForm::ExportItemClick()
{
    runFileCommand(&QuestionnaireFile::exportQuestions, false);
}

void TMainForm::SaveItemClick()
{
    runFileCommand(&QuestionnaireFile::save, false);
}

void TMainForm::AjoutAndValide()
{
    m_sheet->Ajout();
    Valide();
}

void TMainForm::Valide()
{
    for (QAction *action : std::as_const(m_waitingActions))
        action->setEnabled(true);
    for (QToolButton *button : std::as_const(m_waitingButtons))
        button->setEnabled(true);
}

HelpWindow *TMainForm::helpWindow()
{
    if (!m_help)
        m_help = new HelpWindow(QStringLiteral(":/help"), this);
    return m_help;
}

void TMainForm::HContents()
{
    helpWindow()->showContents();
}

void TMainForm::showHelpContext(int context)
{
    if (context > 0)
        helpWindow()->showContext(context);
    else
        HContents();
}

void TMainForm::HSearch()
{
    helpWindow()->showSearch();
}

void TMainForm::HowToUse()
{
    helpWindow()->showHowToUse();
}

void TMainForm::showAboutBox()
{
    if (m_aboutBox)
        m_aboutBox->exec();
}

void TMainForm::openCalendar()
{
    if (m_calendar)
        m_calendar->exec();
}

void TMainForm::openClock()
{
    if (m_clockWindow)
        m_clockWindow->exec();
}

void TMainForm::showCalculator()
{
    if (m_calculator)
        m_calculator->exec();
}

// Drag and drop

QString TMainForm::droppedQuestionnaire(const QMimeData *mime) const
{
    if (!mime || !mime->hasUrls())
        return QString();
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".qcm"), Qt::CaseInsensitive))
            return url.toLocalFile();
    }
    return QString();
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedQuestionnaire(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    const QString path = droppedQuestionnaire(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openNamedQuestionnaire(path);
}

void TMainForm::printQuestionnaire()
{
    // What is printed is what the sheet shows, its pending edits included.
    m_sheet->store().EcritFiche();
    QuestionnairePrinting::print(CurrentFileName(), m_sheet->store().document(), m_services, this);
}

void TMainForm::printCopies()
{
    m_sheet->store().EcritFiche();
    if (m_classListFolder.isEmpty())
        m_classListFolder = ClassroomCommands::defaultClassListFolder();
    PaperCopyCommands(m_services, m_classListFolder, this).printCopies(CurrentFileName(), m_sheet->store().document());
}

void TMainForm::markScans()
{
    m_sheet->store().EcritFiche();
    if (m_classListFolder.isEmpty())
        m_classListFolder = ClassroomCommands::defaultClassListFolder();
    PaperCopyCommands(m_services, m_classListFolder, this).markScans(CurrentFileName(), m_sheet->store().document());
}

namespace {

ClassroomCommands classroomCommands(Services &services, QString &classListFolder, QWidget *parent)
{
    if (classListFolder.isEmpty())
        classListFolder = ClassroomCommands::defaultClassListFolder();
    return ClassroomCommands(services, classListFolder, parent);
}

} // namespace

void TMainForm::runClass()
{
    m_sheet->store().EcritFiche();
    classroomCommands(m_services, m_classListFolder, this).runClass(CurrentFileName(), m_sheet->store().document());
}

void TMainForm::runClassOnNetwork()
{
    m_sheet->store().EcritFiche();
    ClassroomCommands commands = classroomCommands(m_services, m_classListFolder, this);
    NetworkSessionCommand::run(commands, CurrentFileName(), m_sheet->store().document(), m_services, this);
}

void TMainForm::runClassLive()
{
    m_sheet->store().EcritFiche();
    ClassroomCommands commands = classroomCommands(m_services, m_classListFolder, this);
    NetworkSessionCommand::run(commands, CurrentFileName(), m_sheet->store().document(), m_services, this, true);
}

void TMainForm::editClassSettings()
{
    m_sheet->store().EcritFiche();
    const std::optional<QStringList> changed = classroomCommands(m_services, m_classListFolder, this).editSettings(m_sheet->store().document());
    if (!changed)
        return;
    // One rewrite, undone with "Annuler" like any other, and saved with the questionnaire.
    m_sheet->store().rewriteDocument([&changed](QStringList &lines) {
        lines = *changed;
        return true;
    });
}

void TMainForm::editClassLists()
{
    classroomCommands(m_services, m_classListFolder, this).editClassLists();
}

void TMainForm::showResultsStatistics()
{
    m_sheet->store().EcritFiche();
    ResultsStatisticsCommand::show(CurrentFileName(), m_sheet->store().document(), m_services, this);
}

void TMainForm::exportMarks()
{
    m_sheet->store().EcritFiche();
    if (m_classListFolder.isEmpty())
        m_classListFolder = ClassroomCommands::defaultClassListFolder();
    MarksExportCommand::run(CurrentFileName(), m_sheet->store().document(), m_classListFolder, m_services, this);
}

void TMainForm::printCorrectedCopies()
{
    m_sheet->store().EcritFiche();
    CorrectedCopiesCommand::run(CurrentFileName(), m_sheet->store().document(), m_services, this);
}
