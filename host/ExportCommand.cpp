#include "AccountFiles.h"
#include "CommandLine.h"
#include "Commands.h"
#include "ProfileExport.h"
#include "WizardClient.h"
#include "core/Error.h"
#include "dbkit/ConnectionText.h"

#include <QApplication>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zx::host {

namespace {

// Passwords in plain text where others may read them are said so, not
// left there in silence: a terminal, or stdout redirected to a file that
// everyone may read.
void warnOfPlainPasswords(const QString& target) {
    if (!target.isEmpty())
        return;  // written for its owner alone
    struct stat out {};
    if (::isatty(STDOUT_FILENO))
        printError(QStringLiteral("warning: the profile shows passwords in plain text"));
    else if (::fstat(STDOUT_FILENO, &out) == 0 && S_ISREG(out.st_mode) && (out.st_mode & S_IROTH))
        printError(
            QStringLiteral("warning: the profile's passwords are in plain text in a file "
                           "everyone may read; -o FILE writes it for its owner alone"));
}

// Whole or not at all, and 0600 from the first byte on, whatever the file
// held before or the umask says.
bool writeProfile(const QString& target, const QByteArray& profile) {
    QSaveFile file(target);
    if (file.open(QIODevice::WriteOnly)) {
        if (::fchmod(file.handle(), 0600) != 0) {
            printError(QStringLiteral("cannot write the profile %1: %2")
                           .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
            return false;
        }
        if (file.write(profile) == profile.size() && file.commit())
            return true;
    }
    printError(QStringLiteral("cannot write the profile %1: %2").arg(target, file.errorString()));
    return false;
}

}  // namespace

int exportCommand(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints an account's choices for the common page and one subsystem's page as a\n"
        "profile: a script of set actions, as the window shows them after its loads\n"
        "(derived and disabled start months included). 'zxwizard apply' sets other\n"
        "accounts up alike. Nothing is written to the account."));
    const AccountOptions account;
    const QCommandLineOption sysOption(
        QStringLiteral("sys"),
        QStringLiteral("Subsystem: ST, PU, SA, IA, or AA for the common parameters alone."),
        QStringLiteral("CODE"));
    const QCommandLineOption passwords(QStringLiteral("with-passwords"),
                                       QStringLiteral("Include the passwords (as plain text)."));
    const QCommandLineOption output(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write the profile to FILE, readable by its owner alone."),
        QStringLiteral("FILE"));
    account.addTo(parser);
    parser.addOptions({sysOption, passwords, output});
    int exit = ExitOk;
    if (!parseCommandLine(parser, QStringLiteral("export"), args, &exit))
        return exit;
    if (!account.given(parser) || !parser.isSet(sysOption) ||
        !parser.positionalArguments().isEmpty()) {
        printError(
            QStringLiteral("export needs --db FILE (or --odbc CONNECTION) and --sys CODE; "
                           "see zxwizard export --help"));
        return ExitUsage;
    }
    const auto subsystem = subsystemCode(parser.value(sysOption));
    if (!subsystem || !account.consistent(parser))
        return ExitUsage;
    const QString target = parser.value(output);
    for (const QString& database : {parser.value(account.db), parser.value(account.systemDb)}) {
        if (!target.isEmpty() && sameFile(target, database)) {
            printError(QStringLiteral("-o names a database: %1").arg(target));
            return ExitUsage;
        }
    }

    // Nobody looks at this window: it is read and cancelled.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto app = widgetApplication();
    try {
        const bool odbc = parser.isSet(account.odbc);
        auto database = odbc
                            ? openOdbcAccount(parser.value(account.odbc))
                            : openAccount(parser.value(account.db), parser.value(account.systemDb));
        const QString source = odbc ? db::maskedConnectionText(parser.value(account.odbc))
                                    : QFileInfo(parser.value(account.db)).absoluteFilePath();
        ProfileExport reader(parser.isSet(passwords));
        WizardClient wizard = WizardClient::create();
        wizard.setObserver(&reader);
        const std::unique_ptr<WizardClient, void (*)(WizardClient*)> detach(
            &wizard, [](WizardClient* w) { w->setObserver(nullptr); });
        const std::int32_t result = wizard.run(*database, *subsystem);
        if (result == 2) {
            printError(QStringLiteral("the account refuses the %1 setup%2")
                           .arg(*subsystem, reader.lastMessage().isEmpty()
                                                ? QString()
                                                : QStringLiteral(": ") + reader.lastMessage()));
            return ExitFailed;
        }
        if (!reader.failure().isEmpty()) {
            printError(reader.failure());
            return ExitFailed;
        }
        const QByteArray profile = reader.profile(source, *subsystem).toUtf8();
        if (parser.isSet(passwords))
            warnOfPlainPasswords(target);
        if (target.isEmpty()) {
            std::fputs(profile.constData(), stdout);
            return ExitOk;
        }
        return writeProfile(target, profile) ? ExitOk : ExitFailed;
    } catch (const Error& error) {
        printError(error.message());
        return ExitCallFailed;
    }
}

}  // namespace zx::host
