#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>

class FileDialogs;
class HelpWindow;
class MessageBoxes;
class QAction;
class QDialog;
class QLabel;
class QMdiArea;
class QMenu;
class QMimeData;
class QTimer;
class QuestionnaireFile;
class QToolButton;
struct Services;
class SystemClock;
class TAboutBox;
class TPlanche;
class TPocket;

// The program's frame: menus, a tool bar of picture buttons and a two-panel status bar around
// the question sheet, which it holds maximised and borderless. Its file commands go to
// QuestionnaireFile; it forwards every editing, page and run command to the sheet.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(Services &services, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Start-up hands over the windows created after this one.
    void setAboutBox(TAboutBox *aboutBox);
    void setSheet(TPlanche *sheet);
    void setCalendar(QDialog *calendar);
    void setClockWindow(QDialog *clock);
    void setCalculator(TPocket *calculator);

    TPlanche *sheet() const { return m_sheet; }
    QMdiArea *mdiArea() const { return m_mdiArea; }
    // Made at its first use: the help is not one of the windows the start-up must create.
    HelpWindow *helpWindow();
    QLabel *hintPanel() const { return m_hintPanel; }
    QLabel *clockPanel() const { return m_clockPanel; }
    QString CurrentFileName() const;
    const QString &StartFolder() const { return m_startFolder; }
    const QString &helpFile() const { return m_helpFile; }

    // Opens a questionnaire named outside the dialog (command line, drop) as a confirmed open
    // would: its folder becomes current, then it is loaded. Runs inside the error guard.
    void openNamedQuestionnaire(const QString &path);

public Q_SLOTS:
    void ShowHint(const QString &hint);
    void Timer1Timer();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The actions are made with their menus, in menu order (addMenuItem, addSheetItem).
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createClock();

    QAction *addMenuItem(QMenu *menu, const QString &text, const QString &hint, const QKeySequence &shortcut,
                         void (TMainForm::*command)(), bool enabledAtStart);
    QAction *addSheetItem(QMenu *menu, const QString &text, const QString &hint, const QKeySequence &shortcut,
                          void (TPlanche::*command)());
    QToolButton *addToolButton(const QString &name, int left, const QString &icon, const QString &hint,
                               const std::function<void()> &command, bool enabledAtStart);
    void guarded(const std::function<void()> &command);
    void forwardToSheet(void (TPlanche::*command)());
    void runSheetCommand(void (TPlanche::*command)());

    // File commands: the decisions are the questionnaire file's; the window validates its
    // commands and shows the file's name.
    void Nouveau1Click();
    void OpenItemClick();
    void SaveItemClick();
    void SaveAs();
    void ImportItemClick();
    void ExportItemClick();
    void runFileCommand(bool (QuestionnaireFile::*command)(), bool validates);
    void showFileName();
    void Valide();
    void AjoutAndValide();

    // Help and windows of the other menus.
    void HContents();
    void HSearch();
    void HowToUse();
    void showHelpContext(int context);
    void showAboutBox();
    void openCalendar();
    void openClock();
    void showCalculator();
    void printQuestionnaire();
    void printCopies();
    void markScans();
    void showResultsStatistics();
    void runClass();
    void runClassOnNetwork();
    void runClassLive();
    void editClassSettings();
    void editClassLists();
    void exportMarks();
    void printCorrectedCopies();

    void FormResize();
    QString droppedQuestionnaire(const QMimeData *mime) const;

    Services &m_services;
    MessageBoxes &m_boxes;
    FileDialogs &m_dialogs;
    const SystemClock &m_clock;
    TPlanche *m_sheet = nullptr;
    TAboutBox *m_aboutBox = nullptr;
    QDialog *m_calendar = nullptr;
    QDialog *m_clockWindow = nullptr;
    TPocket *m_calculator = nullptr;
    HelpWindow *m_help = nullptr;
    QMdiArea *m_mdiArea = nullptr;
    QWidget *m_toolPanel = nullptr;
    QLabel *m_hintPanel = nullptr;
    QLabel *m_clockPanel = nullptr;
    QTimer *m_clockTimer = nullptr;

    QMenu *m_fileMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QMenu *m_pageMenu = nullptr;
    QMenu *m_runMenu = nullptr;
    QMenu *m_toolsMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_undoAction = nullptr;
    // Items and buttons disabled until the first new, open or add (Valide enables them).
    QList<QAction *> m_waitingActions;
    QList<QToolButton *> m_waitingButtons;

    std::unique_ptr<QuestionnaireFile> m_file; // made with the sheet, whose store it works on
    QString m_startFolder;
    QString m_helpFile;
    QString m_classListFolder; // found on first use: start-up does not look for it
    bool m_shownOnce = false;
};
