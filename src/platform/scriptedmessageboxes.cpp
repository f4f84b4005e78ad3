#include "platform/scriptedmessageboxes.h"

MessageAnswer ScriptedMessageBoxes::ask(MessageIcon icon, const QString &text, MessageButtons buttons,
                                        MessageAnswer defaultAnswer)
{
    m_shown.append({icon, text, buttons, defaultAnswer});
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
