#pragma once

#include "classroom/network/personalcodes.h"

#include <QDialog>

class ClassListStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimeEdit;
class QTimer;
class QrCodeView;
class ServedSession;
class SessionTableModel;
struct LocalAddress;
struct Services;

// "Passation sur le réseau": what the pupils need to join, shown large enough for the back of
// the room (the address to type, the same as a QR code, the session's code), and the class
// live, one row per pupil. The server runs while this window is open; "Terminer la passation"
// stops it taking answers and keeps every run. Closing it before asks whether to end the
// session or to interrupt it, to be resumed later with every acknowledged answer.
class NetworkSessionWindow : public QDialog
{
    Q_OBJECT

public:
    NetworkSessionWindow(ServedSession &served, const ClassListStore &classLists, Services &services,
                         QWidget *parent = nullptr);
    ~NetworkSessionWindow() override;

    // Where pupils join.
    QComboBox *AddressBox = nullptr;
    QLabel *AddressLabel = nullptr;
    QrCodeView *QrView = nullptr;
    QLabel *CodeLabel = nullptr;
    // The class.
    QLabel *SettingsLabel = nullptr;
    QComboBox *ClassBox = nullptr;
    QTableView *PupilTable = nullptr;
    QLabel *SummaryLabel = nullptr;
    QCheckBox *ShowMarksBox = nullptr;
    // Rows of the table: one taken out of the class, two of one pupil made one.
    QPushButton *RemoveButton = nullptr;
    QPushButton *MergeButton = nullptr;
    // Personal codes of the chosen class for this questionnaire.
    QPushButton *CodesButton = nullptr;
    QLabel *CodesLabel = nullptr;
    QLabel *MessageLabel = nullptr;
    QPushButton *StatisticsButton = nullptr;
    // Only when the corrections are kept for the end of the run.
    QPushButton *ShowCorrectionsButton = nullptr;
    QPushButton *EndButton = nullptr;
    QPushButton *CloseButton = nullptr;
    // The time: "Ouverte jusqu'à", minutes granted to the chosen pupil, his time left.
    QCheckBox *ClosesBox = nullptr;
    QTimeEdit *ClosesEdit = nullptr;
    QSpinBox *GrantBox = nullptr;
    QPushButton *GrantButton = nullptr;
    QLabel *TimeLabel = nullptr;
    // Ends the copies whose time is over, every second, on this computer's clock.
    QTimer *TimeTimer = nullptr;

    SessionTableModel *model() const { return m_model; }

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    void chooseAddress(int index);
    void chooseClass(int index);
    void endSession();
    void showCorrections();
    void showStatistics();
    void refreshSummary();
    void showProblem(const QString &reason);
    void removeRow();
    void mergeRows();
    void makePersonalCodes();
    void placeTakeOverButtons();
    void updateRowButtons();
    void chooseClosingTime();
    void grantTime();
    void tickTime();

private:
    QWidget *createJoinPanel();
    QWidget *createClassPanel();
    void fillAddresses();
    void fillClasses();
    void showAddress();
    void showEnded(const QStringList &problems);
    bool mayClose();
    void answerTakeOver(int id, bool accepted);
    QList<int> selectedPupils() const;
    QString rowDescription(int index) const;
    void useCodesOf(const QString &className);
    void showCodesInUse();
    QLayout *createTimeRow(QWidget *panel);
    // The time-left column, for a session with a time limit or a closing hour while it runs.
    void showTimeColumn();
    QStringList extraTimesOf(const QString &className) const;

    ServedSession &m_served;
    const ClassListStore &m_classLists;
    Services &m_services;
    SessionTableModel *m_model = nullptr;
    PersonalCodeStore m_codes;
    bool m_closing = false;
    int m_ticks = 0;
};
