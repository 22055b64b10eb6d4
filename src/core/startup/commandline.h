#pragma once

#include <QString>
#include <QStringList>

namespace vel {

// The folder the menu entry works in, inside the user's documents folder.
inline const QString kDocumentsFolderName = QStringLiteral("Картотека");

// What the command line asks of the program.
struct StartupRequest {
    enum class Action { Run, Help, Version, Fail, Backup, Export };
    Action action = Action::Run;
    QString text;               // the help or version text, or why the line was refused
    QString dataDir;            // absolute
    bool namedDataDir = false;  // chosen on the command line: made and given the examples when needed
    QString screenshot;         // absolute PNG path; empty when the window is to stay
    bool quitWhenShown = false; // for the benchmark: report the memory once the title shows, then quit
    QString jobFolder;          // absolute: where --backup or --export writes, without a window
    bool isoSheet = false;      // --export with "," and ISO dates
};

// Reads the arguments (the program name first). Relative paths are taken from
// startDir, the folder the program was started in, which is also the data
// folder when none is named. Needs a QCoreApplication for the help text.
StartupRequest parseCommandLine(const QStringList &arguments, const QString &startDir, const QString &documentsDir);

// The arguments without the window system's own options (-platform NAME,
// -style=NAME, -reverse …), which only a QApplication takes away: so the
// line can be checked before a display is needed.
QStringList withoutToolkitOptions(const QStringList &arguments);

} // namespace vel
