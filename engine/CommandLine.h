#pragma once

// The command line: quillomat [--help] [--version] [DIRECTORY]. --help and
// --version answer on the terminal without opening a window (so they work
// where there is no display); DIRECTORY makes the chooser's first opening
// start there.

#include <QString>
#include <QStringList>
#include <optional>

namespace commandline {

struct Request {
    enum class Action { Start, Help, Version, Fail };
    Action action = Action::Start;
    QString directory;  // Start: the directory named, absolute; empty when none
    QString text;       // Help, Version: what to print; Fail: the error and a hint
};

// Decides what `arguments` (the program's name first) ask for. A DIRECTORY
// that does not name an existing directory fails; a relative one is taken
// from the working directory.
Request read(const QStringList& arguments);

// Prints the text of a Help, Version or Fail request (Fail on the error
// stream) and returns the exit status: 0, or 2 for a command line that
// cannot be used.
int answer(const Request& request);

// Answers --help and --version before any window system is touched: reads
// the arguments with a bare core application and returns the exit status when
// the program should end now. Everything else (including arguments only the
// window system understands, such as -style) is left to read() once the
// application is up.
std::optional<int> answerWithoutWindow(int& argc, char** argv);

}  // namespace commandline
