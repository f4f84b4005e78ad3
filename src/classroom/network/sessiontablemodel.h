#pragma once

#include <QAbstractTableModel>
#include <QTimer>

class NetworkSession;

// The class as the teacher watches it: one row per pupil who joined, in the order they joined,
// with how far they are, whether they finished, and their mark once they have, which stays
// hidden until the teacher chooses to show it (the screen may be the class's projector). Below
// them, one row per device asking to take over a pupil's copy, until the teacher answers it.
//
// A class answers many times a second: the rows that changed are told to the view a few times a
// second, together, rather than once an answer (each telling redraws the table). A pupil who
// joins gets their row at once.
class SessionTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The time left comes last, so that the columns before it keep their places in what reads
    // the table; the window hides it when the session has no time.
    enum Column { NameColumn, AnsweredColumn, StateColumn, MarkColumn, TimeColumn, ColumnCount };
    static constexpr int RefreshMs = 250;

    explicit SessionTableModel(NetworkSession &session, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Rows below the pupils' are devices waiting for the teacher.
    bool isTakeOverRow(int row) const { return row >= m_rows && row < m_rows + m_takeOvers; }
    // The waiting device of a take-over row (NetworkSession::TakeOver::id), or 0.
    int takeOverAt(int row) const;
    int takeOverRowCount() const { return m_takeOvers; }

    void setMarksShown(bool shown);
    bool marksShown() const { return m_marksShown; }

    // "12 élèves, 5 ont terminé"
    QString summary() const;

    // Every row told to the view now: what the teacher did herself (a row removed, two merged)
    // shows at once, not with the class's next refresh.
    void refreshNow() { everyRowChanged(); }
    // The time left moves with the clock, not with the class: the window tells it each second.
    void timeTicked();

Q_SIGNALS:
    // The request rows changed: the window puts their buttons back.
    void takeOverRowsChanged();
    // Rows were added or changed: what sums them up is due for a refresh.
    void refreshed();

private:
    void pupilJoined(int index);
    void pupilChanged(int index);
    void tellChangedRows();
    void everyRowChanged();
    void takeOversChanged();
    QString stateText(int row) const;
    QString timeText(int row) const;
    QVariant takeOverData(const QModelIndex &index, int role) const;

    NetworkSession &m_session;
    int m_rows = 0;
    int m_takeOvers = 0;  // waiting, not refused
    bool m_marksShown = false;
    QTimer m_refresh;
    int m_firstChanged = -1; // the rows changed since the view was last told, -1 for none
    int m_lastChanged = -1;
};
