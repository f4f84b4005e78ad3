#include "platform/scriptedmessageboxes.h"

MessageAnswer ScriptedMessageBoxes::show(MessageIcon icon, const QString &text, MessageButtons buttons)
{
    return showWithDefault(icon, text, buttons, firstAnswer(buttons));
}

MessageAnswer ScriptedMessageBoxes::showWithDefault(MessageIcon icon, const QString &text, MessageButtons buttons,
                                                    MessageAnswer defaultAnswer)
{
    m_shown.append({icon, text, buttons, QString(), QString(), defaultAnswer});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    if (buttons != MessageButtons::Ok)
        ++m_unexpected;
    switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::OkCancel: return MessageAnswer::Cancel;
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
    }
    return MessageAnswer::Ok;
}

MessageAnswer ScriptedMessageBoxes::showInformative(MessageIcon icon, const QString &text,
                                                    const QString &informativeText, MessageButtons buttons)
{
    const MessageAnswer answer = show(icon, text, buttons);
    m_shown.last().informativeText = informativeText;
    return answer;
}

void ScriptedMessageBoxes::showDetails(MessageIcon icon, const QString &text, const QString &details)
{
    // Only OK to press: nothing is taken from the script.
    m_shown.append({icon, text, MessageButtons::Ok, QString(), details});
}
