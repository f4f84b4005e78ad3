#pragma once

#include <QString>

// Where the picture named on a question's picture line is found on this computer. The line
// itself is never changed: a questionnaire copied with its pictures to a USB key or another
// computer shows them there, and still shows them back where it came from.
namespace PictureLocation {

// The folder of a questionnaire file, made absolute; empty for a questionnaire without a file.
QString folderOf(const QString &questionnaireFile);

// The file to load for a stored picture path:
// - the stored path itself when it leads to a file (a bare name from the current folder);
// - otherwise its file name (after the last "\", "/" or ":", so that C:\Quiz\chat.bmp and
//   /home/x/chat.bmp both give chat.bmp) in the questionnaire's folder, letter case ignored
//   when no name there matches it exactly, as Windows ignored it;
// - otherwise the stored path, so that a failure names what the questionnaire says.
QString resolve(const QString &storedPath, const QString &questionnaireFolder);

} // namespace PictureLocation
