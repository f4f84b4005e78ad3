#pragma once

class QWidget;

// The window a message box or file dialog opens over: the modal window in front when there is
// one (the runner, the results, the statistics), so the dialog is never stacked behind it;
// else `fallback`, the main window.
QWidget *dialogParent(QWidget *fallback);
