#include "CommandLine.h"

#include "AccountFiles.h"
#include "Commands.h"
#include "TerminalText.h"
#include "core/DesktopFont.h"
#include "core/FakeArgv.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

namespace zx::host {

void printError(const QString& message) {
    std::fprintf(stderr, "zxwizard: %s\n", escapedForTerminal(message).toLocal8Bit().constData());
}

void printLine(const QString& line) {
    std::printf("%s\n", escapedForTerminal(line).toUtf8().constData());
}

bool AccountOptions::consistent(const QCommandLineParser& parser) const {
    if (!parser.isSet(systemDb))
        return true;
    for (const QString& account : parser.values(db)) {
        if (sameFile(account, parser.value(systemDb))) {
            printError(QStringLiteral("--system-db names the account database itself: %1")
                           .arg(parser.value(systemDb)));
            return false;
        }
    }
    return true;
}

std::unique_ptr<QApplication> widgetApplication() {
    auto app = std::make_unique<QApplication>(fakeArgc(), fakeArgv());
    // The command has no windows of its own: it stands for the Chinese
    // desktop the wizard was drawn on, whose message boxes share the form's
    // face. One face also means one font engine to load, not two.
    QApplication::setFont(desktopFont(app->devicePixelRatio()));
    return app;
}

std::optional<QString> subsystemCode(const QString& given) {
    // ASCII only: Unicode upper-casing would turn "ſt" into ST.
    bool ascii = true;
    for (const QChar c : given)
        ascii = ascii && c.unicode() < 0x80;
    const QString code = ascii ? given.toUpper() : QString();
    for (const char* known : {"ST", "PU", "SA", "IA", "AA"})
        if (code == QLatin1String(known))
            return code;
    printError(QStringLiteral("unknown subsystem \"%1\": --sys takes ST, PU, SA, IA, or AA for the "
                              "common parameters alone")
                   .arg(given));
    return std::nullopt;
}

bool parseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int* exit, const QStringList& repeatable) {
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("zxwizard ") + command} + args)) {
        printError(parser.errorText());
        *exit = ExitUsage;
        return false;
    }
    for (const QString& name : parser.optionNames()) {
        // The last of two --db options would win silently: a slip would set
        // up another account than the one the user read first.
        if (parser.values(name).size() > 1 && !repeatable.contains(name)) {
            printError(QStringLiteral("--%1 is given more than once").arg(name));
            *exit = ExitUsage;
            return false;
        }
    }
    if (parser.isSet(help)) {
        // Qt's first line names the program file; ours names the command.
        QString text = parser.helpText();
        const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
        const QString usage = text.left(firstLineEnd);
        const qsizetype options = usage.indexOf(QLatin1String(" [options]"));
        text = QStringLiteral("Usage: zxwizard ") + command + usage.mid(options) +
               text.mid(firstLineEnd);
        std::fputs(text.toLocal8Bit().constData(), stdout);
        *exit = ExitOk;
        return false;
    }
    return true;
}

}  // namespace zx::host
