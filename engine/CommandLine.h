#pragma once

// The command line: quillomat [--help] [--version] [DIRECTORY | FILE...].
// --help, --version and a command line that cannot be used answer on the
// terminal without opening a window (so they work where there is no display).
// DIRECTORY makes the chooser's first opening start there; FILEs (all in one
// directory) become the batch, as if chosen in the chooser.

#include <QString>
#include <QStringList>

namespace commandline {

struct Request {
    enum class Action { Start, Help, Version, Fail };
    Action action = Action::Start;
    // Start: the directory named, or the one that holds the files named;
    // absolute. Empty when none.
    QString directory;
    // Help, Version: what to print; Fail: the error and a hint. Start: why the
    // files named cannot be a batch (the program then starts as with no
    // argument, and says so in a message box: a launch from a file manager
    // has no terminal).
    QString text;
    // Start: the files named, as bare names in `directory`, each once, in the
    // order given.
    QStringList files;
};

// Decides what `arguments` (the program's name first) ask for. One argument
// that names a directory opens the chooser there; one that names nothing
// fails. Otherwise every argument must be a regular file and all of them in
// one directory. Relative paths are taken from the working directory.
Request read(const QStringList& arguments);

// `name` as a terminal shows it safely, quoted as coreutils' `mv` quotes
// names (shell-escape): as it is when it holds no control character; else
// in '...' with each control character (C0, DEL, C1) and each byte that is
// not UTF-8 written as $'\a', $'\n'... or an octal $'\033', so that a
// crafted name cannot retitle or clear the terminal: "a\x1b]0;x\a.txt"
// becomes 'a'$'\033'']0;x'$'\a''.txt'.
QString quoted(QStringView name);

// Prints the text of a Help, Version or Fail request (Fail on the error
// stream) and returns the exit status: 0, or 2 for a command line that
// cannot be used.
int answer(const Request& request);

// Reads the command line the program was started with before any window
// system is touched, with a bare core application. Arguments are decoded like
// file names, so a name that is not valid UTF-8 keeps its bytes; the options
// of Qt's window system (-style, -platform...) are left out here, for the
// application object to take.
Request readBeforeWindows(int argc, char** argv);

}  // namespace commandline
