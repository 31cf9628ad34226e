#pragma once

#include <QCommandLineParser>

#include <optional>

namespace zx::host {

// The options that say where an account is: --db FILE (with --system-db
// FILE) or --odbc CONNECTION.
struct AccountOptions {
    QCommandLineOption db{QStringLiteral("db"), QStringLiteral("Account database file."),
                          QStringLiteral("FILE")};
    QCommandLineOption odbc{
        QStringLiteral("odbc"),
        QStringLiteral("Instead of --db: the account on a server, by ODBC connection string."),
        QStringLiteral("CONNECTION")};
    QCommandLineOption systemDb{
        QStringLiteral("system-db"),
        QStringLiteral("System database (default: zxsystem.db beside FILE)."),
        QStringLiteral("FILE")};

    void addTo(QCommandLineParser& parser) const { parser.addOptions({db, odbc, systemDb}); }
    // Exactly one of --db and --odbc.
    bool given(const QCommandLineParser& parser) const {
        return parser.isSet(db) != parser.isSet(odbc);
    }
    // The system database is not the account itself (SQLite would wait on
    // its own lock). Reports a usage error and returns false when it is.
    bool consistent(const QCommandLineParser& parser) const;
};

// The subsystem named by --sys: ST, PU, SA, IA, or AA for the common
// parameters alone, in any case; upper-cased. Anything else is reported as
// a usage error and gives nullopt.
std::optional<QString> subsystemCode(const QString& given);

// Parses one command's arguments; answers --help itself. An option with a
// value given twice is a usage error unless named in `repeatable`. False
// means the command is over, with the exit status in *exit.
bool parseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int* exit, const QStringList& repeatable = {});

}  // namespace zx::host
