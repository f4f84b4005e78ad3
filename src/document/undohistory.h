#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

// The last few states of the questionnaire before a question command, newest last. A state
// holds the whole line list, which costs little: the lines themselves are shared with the
// document until one of them is rewritten.
class UndoHistory
{
public:
    struct State
    {
        QStringList document;
        int questionCount = 1;
        int currentQuestion = 0;
        bool documentModified = false;
        bool sheetModified = false;
    };

    static constexpr int Levels = 10;

    bool isEmpty() const { return m_states.empty(); }
    void push(State state);
    State pop();
    void clear();
    // The questionnaire was saved: every earlier state now differs from the file.
    void markAllModified();
    // Told whether anything can be taken back, each time that may have changed.
    void setListener(std::function<void(bool canUndo)> listener) { m_listener = std::move(listener); }

private:
    void notify();

    std::deque<State> m_states;
    std::function<void(bool)> m_listener;
};
