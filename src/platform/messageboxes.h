#pragma once

#include <QString>

enum class MessageIcon { Information, Warning, Question, Stop };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// Modal questions to the user. The program has one real implementation (French captions and
// buttons); tests script the answers so that nothing blocks.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;

    // The first button ("OK" or "Oui") is the default one, the answer Enter gives.
    MessageAnswer show(MessageIcon icon, const QString &text, MessageButtons buttons)
    {
        return ask(icon, text, buttons, firstAnswer(buttons));
    }
    // A question whose first answer would do harm when given without thinking (overwriting
    // another program's file): Enter gives `defaultAnswer` instead, one of the box's buttons.
    MessageAnswer show(MessageIcon icon, const QString &text, MessageButtons buttons, MessageAnswer defaultAnswer)
    {
        return ask(icon, text, buttons, defaultAnswer);
    }

    void warn(const QString &text) { show(MessageIcon::Warning, text, MessageButtons::Ok); }
    void inform(const QString &text) { show(MessageIcon::Information, text, MessageButtons::Ok); }
    void error(const QString &text) { show(MessageIcon::Stop, text, MessageButtons::Ok); }

    static MessageAnswer firstAnswer(MessageButtons buttons)
    {
        return buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel ? MessageAnswer::Ok : MessageAnswer::Yes;
    }

protected:
    virtual MessageAnswer ask(MessageIcon icon, const QString &text, MessageButtons buttons, MessageAnswer defaultAnswer) = 0;
};
