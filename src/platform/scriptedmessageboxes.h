#pragma once

#include "platform/messageboxes.h"

#include <QList>
#include <QString>

// Message boxes for tests: answers come from a script, every box shown is recorded.
// A box that finds no scripted answer gets the button a careless click would give
// (Ok, or Cancel/No when those exist) and is counted as unexpected.
class ScriptedMessageBoxes : public MessageBoxes
{
public:
    struct Shown
    {
        MessageIcon icon;
        QString text;
        MessageButtons buttons;
        QString informativeText;
        QString details; // the scrolling list of a box with details
        MessageAnswer defaultAnswer = MessageAnswer::Ok; // what Enter would give
    };

    void script(MessageAnswer answer) { m_answers.append(answer); }
    MessageAnswer show(MessageIcon icon, const QString &text, MessageButtons buttons) override;
    MessageAnswer showWithDefault(MessageIcon icon, const QString &text, MessageButtons buttons,
                                  MessageAnswer defaultAnswer) override;
    MessageAnswer showInformative(MessageIcon icon, const QString &text, const QString &informativeText,
                                  MessageButtons buttons) override;
    void showDetails(MessageIcon icon, const QString &text, const QString &details) override;

    const QList<Shown> &shown() const { return m_shown; }
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    QString lastDetails() const { return m_shown.isEmpty() ? QString() : m_shown.last().details; }
    int unexpected() const { return m_unexpected; }
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear() { m_shown.clear(); m_answers.clear(); m_unexpected = 0; }

private:
    QList<MessageAnswer> m_answers;
    QList<Shown> m_shown;
    int m_unexpected = 0;
};
