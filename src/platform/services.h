#pragma once

class FileDialogs;
class MessageBoxes;
class PictureRegistry;
class PrintDialogs;
class Progress;
class SystemClock;

// The process-wide services a window may need, made once (real ones by the program, scripted
// ones by the tests) and handed to every window by reference. Only references: whoever makes
// the services owns them and outlives the windows. The picture registry is only named here, so
// this folder still depends on nothing of the program's.
struct Services
{
    MessageBoxes &boxes;
    FileDialogs &dialogs;         // questionnaire files
    FileDialogs &pictureDialogs;  // picture choice, with its preview pane
    SystemClock &clock;
    const PictureRegistry &pictures;
    PrintDialogs &printDialogs;
    Progress &progress;           // long tasks (importing questions)
};
