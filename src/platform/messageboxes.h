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
    virtual MessageAnswer show(MessageIcon icon, const QString &text, MessageButtons buttons) = 0;
    // A question whose first answer would do harm when given without thinking (overwriting
    // another program's file): Enter gives `defaultAnswer`, one of the box's buttons, instead.
    virtual MessageAnswer showWithDefault(MessageIcon icon, const QString &text, MessageButtons buttons,
                                          MessageAnswer defaultAnswer) = 0;
    // The same box with a second, smaller text under the first saying what it is about (which
    // question, say). That text is the author's own and is shown as plain text, never markup.
    virtual MessageAnswer showInformative(MessageIcon icon, const QString &text, const QString &informativeText,
                                          MessageButtons buttons) = 0;
    // A short text and, below it, details that may run to many lines (one reason per line) in
    // a list that scrolls, the box sized to the screen. OK only; without details, a plain box.
    virtual void showDetails(MessageIcon icon, const QString &text, const QString &details) = 0;

    void warn(const QString &text) { show(MessageIcon::Warning, text, MessageButtons::Ok); }
    void inform(const QString &text) { show(MessageIcon::Information, text, MessageButtons::Ok); }
    void error(const QString &text) { show(MessageIcon::Stop, text, MessageButtons::Ok); }

    static MessageAnswer firstAnswer(MessageButtons buttons)
    {
        return buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel ? MessageAnswer::Ok : MessageAnswer::Yes;
    }
};
