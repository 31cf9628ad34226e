#pragma once

#include <QCommandLineParser>

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
};

// Parses one command's arguments; answers --help itself. False means the
// command is over, with the exit status in *exit.
bool parseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int* exit);

}  // namespace zx::host
