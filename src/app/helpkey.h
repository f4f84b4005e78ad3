#pragma once

#include <QObject>

#include <functional>

class QMenu;

// F1 from anywhere in the program: in any window, in any field, and with a menu open, where the
// menu's help context ("helpContext" property) chooses the page. Watches the application's
// key presses; everything else passes untouched.
class HelpKey : public QObject
{
    Q_OBJECT

public:
    // `showHelp` receives the open menu's help context, or 0 for the contents.
    explicit HelpKey(std::function<void(int context)> showHelp, QObject *parent = nullptr);
    ~HelpKey() override;

    static constexpr const char *ContextProperty = "helpContext";
    // The help context of `menu` or of the menu it opens from; 0 when none carries one.
    static int contextOf(const QMenu *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(int context)> m_showHelp;
};
