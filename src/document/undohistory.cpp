#include "document/undohistory.h"

void UndoHistory::push(State state)
{
    m_states.push_back(std::move(state));
    if (int(m_states.size()) > Levels)
        m_states.pop_front();
    notify();
}

UndoHistory::State UndoHistory::pop()
{
    State state = std::move(m_states.back());
    m_states.pop_back();
    notify();
    return state;
}

void UndoHistory::clear()
{
    if (m_states.empty())
        return;
    m_states.clear();
    notify();
}

void UndoHistory::markAllModified()
{
    for (State &state : m_states)
        state.documentModified = true;
}

void UndoHistory::notify()
{
    if (m_listener)
        m_listener(!m_states.empty());
}
