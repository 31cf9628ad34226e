#include "AccountFiles.h"
#include "CommandLine.h"
#include "Commands.h"
#include "TerminalText.h"
#include "core/Error.h"
#include "wizard/Parameters.h"

#include <cstdio>

namespace zx::host {

namespace {

QString shownValue(const QString& name, const db::Value& value) {
    if (value.isNull())
        return QStringLiteral("NULL");
    return escapedForTerminal(wizard::shownParameterValue(name, value.variant().toString()));
}

}  // namespace

int showCommand(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the parameter rows of an account (passwords shown as ***)."));
    const AccountOptions account;
    const QCommandLineOption sysOption(
        QStringLiteral("sys"),
        QStringLiteral("Only the rows of this subsystem: ST, PU, SA, IA or AA."),
        QStringLiteral("CODE"));
    account.addTo(parser);
    parser.addOption(sysOption);
    int exit = ExitOk;
    if (!parseCommandLine(parser, QStringLiteral("show"), args, &exit))
        return exit;
    if (!account.given(parser)) {
        printError(
            QStringLiteral("show needs --db FILE or --odbc CONNECTION; see zxwizard show --help"));
        return ExitUsage;
    }
    if (!account.consistent(parser))
        return ExitUsage;
    std::optional<QString> subsystem;
    if (parser.isSet(sysOption) && !(subsystem = subsystemCode(parser.value(sysOption))))
        return ExitUsage;
    try {
        auto database = parser.isSet(account.odbc)
                            ? openOdbcAccount(parser.value(account.odbc))
                            : openAccount(parser.value(account.db), parser.value(account.systemDb));
        QString sql = QStringLiteral("select cSysID, cName, cValue, cDefault from AccInformation");
        QVariantList params;
        if (subsystem) {
            sql += QStringLiteral(" where cSysID=?");
            params << *subsystem;
        }
        sql += QStringLiteral(" order by cSysID, cName");
        auto rs = database->OpenRecordset(sql, {}, params);
        QList<QStringList> rows{{QStringLiteral("cSysID"), QStringLiteral("cName"),
                                 QStringLiteral("cValue"), QStringLiteral("cDefault")}};
        while (!rs->Eof()) {
            auto& f = rs->Recordset();
            const QString name = f.Fields(QStringLiteral("cName")).textOrEmpty();
            rows.append({escapedForTerminal(f.Fields(QStringLiteral("cSysID")).textOrEmpty()),
                         escapedForTerminal(name),
                         shownValue(name, f.Fields(QStringLiteral("cValue"))),
                         shownValue(name, f.Fields(QStringLiteral("cDefault")))});
            rs->MoveNext();
        }
        QList<int> widths(4, 0);
        for (const QStringList& row : rows)
            for (int i = 0; i < 4; ++i)
                widths[i] = std::max(widths[i], terminalCells(row[i]));
        for (const QStringList& row : rows) {
            QString line;
            for (int i = 0; i < 4; ++i)
                line += (i ? QStringLiteral("  ") : QString()) +
                        (i < 3 ? padToCells(row[i], widths[i]) : row[i]);
            std::printf("%s\n", line.toUtf8().constData());
        }
        return ExitOk;
    } catch (const Error& error) {
        printError(error.message());
        return ExitFailed;
    }
}

}  // namespace zx::host
