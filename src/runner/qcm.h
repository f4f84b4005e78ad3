#pragma once

#include "runner/runsession.h"

#include <QDialog>

#include <array>

class ImageFrame;
class MessageBoxes;
class PageScrollArea;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
struct Services;
class TResultat;

// The runner: shows a copy of the questionnaire one question at a time (number, title, picture,
// free text, answers "1) " to "5) ") and takes an answer number for each in its answer box.
// Shown modally and maximised; it never writes to the questionnaire or to any file.
class TQcm : public QDialog
{
    Q_OBJECT

public:
    // Design size; the controls keep their places inside it, the page centred in the window.
    static constexpr int DesignWidth = 799;
    static constexpr int DesignHeight = 551;

    explicit TQcm(Services &services, QWidget *parent = nullptr);

    // Start-up hands over the results window, created after this one.
    void setResultsWindow(TResultat *results);
    void setNavigationIcons(const std::array<QIcon, 4> &firstPreviousNextLast);

    // A fresh copy of the questionnaire; answers forgotten, results emptied. Shows nothing.
    // Pictures whose stored path leads nowhere are looked for in `pictureFolder`
    // (PictureLocation), the questionnaire's own folder.
    void Init(const QStringList &document, const QString &pictureFolder = QString());
    // Init, then shows the runner maximised and modally; returns when it is closed.
    void run(const QStringList &document, const QString &pictureFolder = QString());

    void Compte();
    void Exec();
    void LitFiche();
    void Premier();
    void Precedent();
    void Suivant();
    void Dernier();
    void Echelle();

    const RunSession &session() const { return m_session; }

    // Controls, named as on the design.
    QFrame *Panel1 = nullptr;
    QToolButton *SpeedButton4 = nullptr; // first
    QToolButton *SpeedButton2 = nullptr; // previous
    QToolButton *SpeedButton1 = nullptr; // next
    QToolButton *SpeedButton3 = nullptr; // last
    QPushButton *Button2 = nullptr;      // "Résultat"
    QPushButton *Button1 = nullptr;      // "Fermer"
    QLineEdit *Edit1 = nullptr;
    QLabel *Panel3 = nullptr;
    QFrame *Panel2 = nullptr;
    ImageFrame *Image1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QLabel *Label6 = nullptr;
    QSpinBox *SpinEdit1 = nullptr;
    QFrame *Bevel1 = nullptr;
    std::array<QLabel *, QcmFormat::AnswerCount> answerLabels{}; // Label1 to Label5

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void SpeedButton4Click();
    void SpeedButton2Click();
    void SpeedButton1Click();
    void SpeedButton3Click();
    void Button1Click();
    void Button2Click();

private:
    void createToolPanel();
    void createQuestionArea();
    void createAnswerArea();
    void connectButtons();
    void watchKeys();
    void placePage();

    bool FormKeyDown(QKeyEvent *key);
    void display(const RunQuestion &question);
    void showPicture(const QString &path);

    MessageBoxes &m_boxes;
    RunSession m_session;
    QString m_pictureFolder;
    TResultat *m_results = nullptr;
    // The design's area below the tool bar, centred in the maximised window.
    QWidget *m_page = nullptr;
    PageScrollArea *m_scroll = nullptr;
};
