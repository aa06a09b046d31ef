#include "engine/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cstdio>

#include "engine/Translations.h"
#include "engine/Version.h"
#include "platform/Platform.h"

namespace commandline {
namespace {

const QString kProgram = QStringLiteral("quillomat");

// The texts, translated in the context "commandline".
struct Text {
    Q_DECLARE_TR_FUNCTIONS(commandline)
};

// The parser, its options and its texts; the texts are read in the program's
// language.
struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            Text::tr("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               Text::tr("Show the version and exit.")};

    Parser() {
        parser.setApplicationDescription(
            Text::tr("Renames a batch of files in one directory after one example name."));
        parser.addOption(help);
        parser.addOption(version);
        // One entry for both forms: a longer name would be cut in the list.
        parser.addPositionalArgument(
            Text::tr("DIRECTORY"),
            Text::tr("Open the file chooser there the first time Select is pressed.\n"
                     "FILE... instead: the files to rename, all in one directory, taken as "
                     "Select and OK would take them."),
            Text::tr("[DIRECTORY | FILE...]"));
    }

    // The help text, naming the program by its name rather than by the path
    // it was started with.
    QString helpText() const {
        QString text = parser.helpText();
        const QString started = QCoreApplication::arguments().value(0);
        const qsizetype at = started.isEmpty() ? -1 : text.indexOf(started);
        if (at >= 0) {
            text.replace(at, started.size(), kProgram);
        }
        return text;
    }
};

Request failure(const QString& error) {
    return Request{Request::Action::Fail,
                   QString(),
                   kProgram + QStringLiteral(": ") + error + QLatin1Char('\n') +
                       Text::tr("Try 'quillomat --help' for more.") + QLatin1Char('\n'),
                   {}};
}

// The program starts without files, and says why.
Request withoutFiles(const QString& reason) {
    return Request{Request::Action::Start, QString(), reason, {}};
}

QString absolute(const QString& path) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

// The ordinary files (or links to one) of `directory`, as the chooser lists them.
QSet<QString> filesIn(const QString& directory) {
    const QStringList files =
        platform::current()
            .listDirectory(directory.isEmpty() ? platform::separator() : directory)
            .files;
    return QSet<QString>(files.cbegin(), files.cend());
}

// FILE...: regular files, all in one directory.
Request files(const QStringList& named) {
    Request request;
    QSet<QString> present;
    for (const QString& argument : named) {
        const QString path = absolute(argument);
        const QString directory = platform::directoryOf(path);
        const QString shownDirectory = directory.isEmpty() ? platform::separator() : directory;
        if (request.files.isEmpty()) {
            request.directory = shownDirectory;
            present = filesIn(shownDirectory);
        }
        const QString name = platform::nameOf(path);
        const bool sameDirectory = shownDirectory == request.directory;
        if (!(sameDirectory ? present : filesIn(shownDirectory)).contains(name)) {
            return withoutFiles(Text::tr("%1 is not a regular file.").arg(quoted(argument)));
        }
        if (!sameDirectory) {
            return withoutFiles(
                Text::tr("The files named are in more than one directory (%1 and %2). Quillomat "
                         "renames the files of one directory at a time.")
                    .arg(quoted(request.directory), quoted(shownDirectory)));
        }
        if (!request.files.contains(name)) {
            request.files.append(name);
        }
    }
    return request;
}

// The options of Qt's window system (QGuiApplication, QApplication, xcb),
// which the application object takes out of the command line. Each may be
// written with one or two dashes, and those that take a value with the value
// as the next argument or after "=".
const QStringList kWindowOptionsWithValue =
    QStringLiteral(
        "platform platformpluginpath platformtheme plugin qwindowgeometry geometry "
        "qwindowtitle title qwindowicon icon session style stylesheet display name")
        .split(QLatin1Char(' '));
const QStringList kWindowFlags =
    QStringLiteral("reverse widgetcount nograb dograb sync qmljsdebugger").split(QLatin1Char(' '));

// The unknown options of `arguments`, named as they were typed: the parser
// gives their names alone ("x" for "-x", "name" for "--name" and
// "--name=value").
QString unknownOptions(const QStringList& arguments, const QStringList& names) {
    const QStringList options = arguments.mid(0, arguments.indexOf(QStringLiteral("--")));
    QStringList typed;
    for (const QString& name : names) {
        const QString dashed = QStringLiteral("--") + name;
        const bool isLong = std::any_of(options.cbegin(), options.cend(), [&](const QString& a) {
            return a == dashed || a.startsWith(dashed + QLatin1Char('='));
        });
        typed.append(quoted(isLong ? dashed : QLatin1Char('-') + name));
    }
    return typed.size() == 1
               ? Text::tr("Unknown option '%1'.").arg(typed.first())
               : Text::tr("Unknown options: %1.").arg(typed.join(QStringLiteral(", ")));
}

QStringList withoutWindowOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (i == 0 || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("--")) {
            kept.append(argument);
            if (argument == QLatin1String("--")) {
                kept.append(arguments.mid(i + 1));  // the rest are names
                break;
            }
            continue;
        }
        QString option = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        const bool joinedValue = option.contains(QLatin1Char('='));
        option = option.section(QLatin1Char('='), 0, 0);
        if (kWindowOptionsWithValue.contains(option)) {
            i += joinedValue ? 0 : 1;  // its value goes with it
        } else if (!kWindowFlags.contains(option)) {
            kept.append(argument);
        }
    }
    return kept;
}

}  // namespace

Request read(const QStringList& arguments) {
    Parser p;
    if (!p.parser.parse(arguments)) {
        const QStringList unknown = p.parser.unknownOptionNames();
        return failure(unknown.isEmpty() ? p.parser.errorText()
                                         : unknownOptions(arguments, unknown));
    }
    if (p.parser.isSet(p.help)) {
        return Request{Request::Action::Help, QString(), p.helpText(), {}};
    }
    if (p.parser.isSet(p.version)) {
        const QString text =
            QStringLiteral("Quillomat ") + QLatin1String(version::kText) + QLatin1Char('\n');
        return Request{Request::Action::Version, QString(), text, {}};
    }
    const QStringList positional = p.parser.positionalArguments();
    if (positional.isEmpty()) {
        return Request{};
    }
    if (positional.size() == 1) {
        const QString path = absolute(positional.first());
        if (platform::current().directoryExists(path)) {
            return Request{Request::Action::Start, path, QString(), {}};
        }
        const QFileInfo named(path);
        if (!named.exists() && !named.isSymLink() &&
            !filesIn(platform::directoryOf(path)).contains(platform::nameOf(path))) {
            return failure(
                Text::tr("%1: no such file or directory").arg(quoted(positional.first())));
        }
    }
    return files(positional);
}

QString quoted(QStringView name) {
    static const char kLetters[] = "abtnvfr";  // the escapes of 7..13
    QString out;
    bool plain = true;
    bool open = false;  // within '...'
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        // What a terminal acts on: C0, DEL, C1, a byte that is not UTF-8.
        const bool control =
            c < 0x20 || (c >= 0x7f && c <= 0x9f) || platform::isEscapedByte(name, i);
        plain = plain && !control;
        if (control == open) {
            out += QLatin1Char('\'');  // closes '...' before a control, opens it after
        }
        open = !control;
        if (open) {
            out += c == u'\'' ? QStringLiteral("'\\''") : QString(name.at(i));
            continue;
        }
        out += QStringLiteral("$'");
        for (const char byte : platform::encodeFileName(name.mid(i, 1))) {
            const uchar b = uchar(byte);
            out += b >= 7 && b <= 13 ? QStringLiteral("\\") + QLatin1Char(kLetters[b - 7])
                                     : QStringLiteral("\\%1").arg(b, 3, 8, QLatin1Char('0'));
        }
        out += QLatin1Char('\'');
    }
    return plain ? name.toString() : open ? out + QLatin1Char('\'') : out;
}

int answer(const Request& request) {
    const QByteArray text = request.text.toLocal8Bit();
    std::FILE* stream = request.action == Request::Action::Fail ? stderr : stdout;
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stream);
    std::fflush(stream);
    return request.action == Request::Action::Fail ? 2 : 0;
}

Request readBeforeWindows(int argc, char** argv) {
    int coreArgc = argc;
    const QCoreApplication core(coreArgc, argv);
    translations::install();
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i) {
        arguments.append(platform::decodeFileName(QByteArray(argv[i])));
    }
    return read(withoutWindowOptions(arguments));
}

}  // namespace commandline
