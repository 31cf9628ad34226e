#include "AccountFiles.h"
#include "CommandLine.h"
#include "Commands.h"
#include "core/Error.h"
#include "wizard/Parameters.h"

#include <cstdio>

namespace zx::host {

namespace {

// Columns on a terminal: CJK characters take two cells.
int cells(const QString& text) {
    int width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (c.isLowSurrogate())
            continue;
        width += (u >= 0x1100 &&
                  (u <= 0x115F || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
                   (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) ||
                   (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6)))
                     ? 2
                     : 1;
    }
    return width;
}

QString padded(const QString& text, int width) {
    return text + QString(std::max(0, width - cells(text)), QLatin1Char(' '));
}

QString shownValue(const QString& name, const db::Value& value) {
    if (value.isNull())
        return QStringLiteral("NULL");
    return wizard::shownParameterValue(name, value.variant().toString());
}

}  // namespace

int showCommand(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the parameter rows of an account (passwords shown as ***)."));
    const AccountOptions account;
    const QCommandLineOption sysOption(
        QStringLiteral("sys"), QStringLiteral("Only the rows of this subsystem (AA, ST, ...)."),
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
    try {
        auto database = parser.isSet(account.odbc)
                            ? openOdbcAccount(parser.value(account.odbc))
                            : openAccount(parser.value(account.db), parser.value(account.systemDb));
        QString sql = QStringLiteral("select cSysID, cName, cValue, cDefault from AccInformation");
        QVariantList params;
        if (parser.isSet(sysOption)) {
            sql += QStringLiteral(" where cSysID=?");
            params << parser.value(sysOption);
        }
        sql += QStringLiteral(" order by cSysID, cName");
        auto rs = database->OpenRecordset(sql, {}, params);
        QList<QStringList> rows{{QStringLiteral("cSysID"), QStringLiteral("cName"),
                                 QStringLiteral("cValue"), QStringLiteral("cDefault")}};
        while (!rs->Eof()) {
            auto& f = rs->Recordset();
            const QString name = f.Fields(QStringLiteral("cName")).textOrEmpty();
            rows.append({f.Fields(QStringLiteral("cSysID")).textOrEmpty(), name,
                         shownValue(name, f.Fields(QStringLiteral("cValue"))),
                         shownValue(name, f.Fields(QStringLiteral("cDefault")))});
            rs->MoveNext();
        }
        QList<int> widths(4, 0);
        for (const QStringList& row : rows)
            for (int i = 0; i < 4; ++i)
                widths[i] = std::max(widths[i], cells(row[i]));
        for (const QStringList& row : rows) {
            QString line;
            for (int i = 0; i < 4; ++i)
                line += (i ? QStringLiteral("  ") : QString()) +
                        (i < 3 ? padded(row[i], widths[i]) : row[i]);
            std::printf("%s\n", line.toUtf8().constData());
        }
        return ExitOk;
    } catch (const Error& error) {
        printError(error.message());
        return ExitFailed;
    }
}

}  // namespace zx::host
