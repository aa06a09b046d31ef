#include "engine/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "engine/Translations.h"
#include "engine/Version.h"

namespace commandline {
namespace {

// The parser, its options and its texts; the texts are read in the program's
// language.
struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QCoreApplication::translate("commandline", "Show this help and exit.")};
    QCommandLineOption version{
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("commandline", "Show the version and exit.")};

    Parser() {
        parser.setApplicationDescription(QCoreApplication::translate(
            "commandline", "Renames a batch of files in one directory after one example name."));
        parser.addOption(help);
        parser.addOption(version);
        parser.addPositionalArgument(
            QStringLiteral("DIRECTORY"),
            QCoreApplication::translate(
                "commandline", "Open the file chooser there the first time Select is pressed."),
            QStringLiteral("[DIRECTORY]"));
    }
};

QString versionText() {
    return QStringLiteral("Quillomat ") + QLatin1String(version::kText) + QLatin1Char('\n');
}

Request failure(const QString& error) {
    return Request{
        Request::Action::Fail, QString(),
        QStringLiteral("quillomat: ") + error + QLatin1Char('\n') +
            QCoreApplication::translate("commandline", "Try 'quillomat --help' for more.") +
            QLatin1Char('\n')};
}

}  // namespace

Request read(const QStringList& arguments) {
    Parser p;
    if (!p.parser.parse(arguments)) {
        return failure(p.parser.errorText());
    }
    if (p.parser.isSet(p.help)) {
        return Request{Request::Action::Help, QString(), p.parser.helpText()};
    }
    if (p.parser.isSet(p.version)) {
        return Request{Request::Action::Version, QString(), versionText()};
    }
    const QStringList positional = p.parser.positionalArguments();
    if (positional.size() > 1) {
        return failure(QCoreApplication::translate("commandline", "one directory at most"));
    }
    if (positional.isEmpty()) {
        return Request{};
    }
    const QFileInfo directory(positional.first());
    if (!directory.isDir()) {
        return failure(QCoreApplication::translate("commandline", "%1: no such directory")
                           .arg(positional.first()));
    }
    return Request{Request::Action::Start, QDir::cleanPath(directory.absoluteFilePath()),
                   QString()};
}

int answer(const Request& request) {
    const QByteArray text = request.text.toLocal8Bit();
    std::FILE* stream = request.action == Request::Action::Fail ? stderr : stdout;
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stream);
    std::fflush(stream);
    return request.action == Request::Action::Fail ? 2 : 0;
}

std::optional<int> answerWithoutWindow(int& argc, char** argv) {
    const QCoreApplication core(argc, argv);
    translations::install();
    const Request request = read(QCoreApplication::arguments());
    if (request.action == Request::Action::Help || request.action == Request::Action::Version) {
        return answer(request);
    }
    return std::nullopt;
}

}  // namespace commandline
