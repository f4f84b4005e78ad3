#pragma once

#include "document/answerchoices.h"
#include "document/questionstore.h"
#include "document/sheetfields.h"
#include "document/titlesearch.h"

#include <QWidget>

#include <array>

class ImageFrame;
class MessageBoxes;
class PageScrollArea;
class FileDialogs;
class PictureRegistry;
struct Services;
class TQcm;
class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TFindDialog;
class TFixchemin;
class TPageListe;
class TReplaceDialog;

// The windows the sheet opens, created once at start-up right after it, in this order.
struct SheetWindows
{
    TPageListe *list = nullptr;
    TFixchemin *paths = nullptr;
    TFindDialog *find = nullptr;
    TReplaceDialog *replace = nullptr;
};

// The question sheet: one question at a time, its title, five answers, the number of the right
// answer, a picture and free text. It holds the open questionnaire (QuestionStore) and is the
// source and target of its field values; the main window forwards its commands here.
//
// The operations may throw AppError: callers run them inside the error guard. The sheet's own
// keys and its "Choisir image" button guard themselves.
class TPlanche : public QWidget, public SheetFields
{
    Q_OBJECT

public:
    // Design client size, in pixels at the design's 120 pixels per inch (not rescaled).
    static constexpr int DesignWidth = 769;
    static constexpr int DesignHeight = 492;
    static const QString PictureFilter;

    // The picture file of "Choisir image" is asked through `services.pictureDialogs`.
    explicit TPlanche(Services &services, QWidget *parent = nullptr);

    // Start-up hands over the runner, created after the sheet.
    void setRunner(TQcm *runner) { m_runner = runner; }

    QuestionStore &store() { return m_store; }
    const QuestionStore &store() const { return m_store; }
    const TitleSearch &search() const { return m_search; }
    // Start-up hands over the question list, path, find and replace windows.
    void setWindows(const SheetWindows &windows);

    // SheetFields: what the store reads from and writes to the sheet.
    QuestionFields fields() const override;
    void setFields(const QuestionFields &fields) override;
    void setQuestionLabel(const QString &label) override;
    void setCaption(const QString &caption) override;
    void clearPicture() override;
    void loadPicture(const QString &path) override;
    void focusTitle() override;
    void restyleTitle() override;
    void plainTitle() override;

    // The commands of the page and edit menus.
    void Precedent();
    void Suivant();
    void Premier();
    void Dernier();
    void Ajout();
    void Supprime();
    void Index();
    void Quest();
    void Copier();
    void Coller();
    void CopierImg();
    void SuppImg();
    // Puts the caret where the question's correction is written: after the "Correction :" line
    // of the free text, added at its end when the question has none yet.
    void insertCorrection();
    void Button1Click();
    // Find and replace over the titles, and the picture path conversions.
    void Chercher();
    void Continuer();
    void Remplacer();
    void ChRelatifs();
    void Chemins();
    // Takes back the last question command.
    void Annuler();

    // Controls, named as on the design, for the main window's tests and screenshots.
    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLabel *Panel1 = nullptr;
    QFrame *Panel2 = nullptr;
    ImageFrame *Image1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *Button1 = nullptr;
    QLabel *Label4 = nullptr;
    QSpinBox *SpinEdit1 = nullptr;
    std::array<QLabel *, 5> answerLabels{};   // Label2, Label3, Label5, Label6, Label7
    std::array<QLineEdit *, 5> answerEdits{}; // Edit2 to Edit6
    // Below the design's controls: several right answers, ticked beside each answer, and what a
    // pupil who chose an answer reads after answering.
    QCheckBox *SeveralRight = nullptr;          // "Plusieurs bonnes réponses"
    std::array<QCheckBox *, 5> rightBoxes{};    // beside answers 1 to 5, shown with SeveralRight
    QLabel *FeedbackCaption = nullptr;
    std::array<QLabel *, 5> feedbackLabels{};
    std::array<QLineEdit *, 5> feedbackEdits{};
    // Says when the question's free text, right answers and comments included, reaches the
    // twelve lines the file reads back.
    QLabel *LineLimit = nullptr;

Q_SIGNALS:
    // Whether "Annuler" has something to take back.
    void undoAvailable(bool available);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void Edit1Change();
    void SpinEdit1Change();
    void Memo1Change();
    void chooseGuardedPicture();
    void updateLineLimit();

private:
    void createPage();
    void createControls();
    void createAnswerRows();
    void createChoiceControls();
    void setFieldTabOrder();
    void connectChangeHandlers();
    void watchFieldKeys();
    QList<QWidget *> fieldWidgets() const;
    void describePicture(const QString &path);

    // What the right-answer controls show: whether several answers are right, and which are
    // ticked (one tick alone is still a one-answer question in the file).
    struct RightState
    {
        bool several = false;
        std::array<bool, QcmFormat::AnswerCount> ticked{};
    };
    void showRightState(const RightState &state);
    // A click on "Plusieurs bonnes réponses" or on an answer's box, as a command Annuler takes back.
    void changeRightState(RightState state);
    AnswerChoices::Choices choices() const;
    QStringList memoLines() const;

    bool FormKeyDown(int key);
    void FormResize();

    MessageBoxes &m_boxes;
    FileDialogs &m_pictureDialogs;
    QuestionStore m_store;
    TQcm *m_runner = nullptr;
    QWidget *m_page = nullptr;
    PageScrollArea *m_scroll = nullptr;
    TitleSearch m_search;
    SheetWindows m_windows;
    // Title then answers 1 to 5, kept for the whole run (all questions, all questionnaires).
    std::array<QString, 1 + QcmFormat::AnswerCount> CopiedQuestion;
    RightState m_rightState;
};
