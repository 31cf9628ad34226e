#include "Snapshot.h"

#include "core/Error.h"
#include "dbkit/RowChangeLog.h"
#include "wizard/AccountTables.h"
#include "wizard/Parameters.h"

#include <QJsonValue>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <optional>

namespace zx::host {

namespace {

QJsonValue shown(const QString& name, const db::Value& value) {
    if (value.isNull())
        return QJsonValue::Null;
    if (!wizard::isPasswordParameter(name)) {
        // Bytes that no text can show are given as bytes, so that a change
        // of bytes alone is visible too.
        if (value.isBlob())
            return QJsonObject{{QStringLiteral("blob"),
                                QString::fromLatin1(value.variant().toByteArray().toHex())}};
        if (!value.textBytes().isEmpty())
            return QJsonObject{
                {QStringLiteral("textBytes"), QString::fromLatin1(value.textBytes().toHex())}};
    }
    return wizard::shownParameterValue(name, value.variant().toString());
}

QString rowText(const std::vector<db::Value>& values) {
    QStringList cells;
    for (const db::Value& v : values)
        cells << (v.isNull() ? QStringLiteral("\x01NULL") : v.variant().toString());
    return cells.join(QChar(0x1F));
}

QString rowText(db::HostRecordset& rs, const QStringList& fields) {
    std::vector<db::Value> values;
    for (const QString& field : fields)
        values.push_back(rs.Recordset().Fields(field));
    return rowText(values);
}

// The order of "order by cSysID, cName" on the embedded database, whose
// columns compare by bytes with ASCII letters in one case.
QByteArray noCaseKey(const QString& text) {
    QByteArray key = text.toUtf8();
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return key;
}

// Rows of `a` that `b` lacks, counting repeats.
int missingFrom(QStringList a, const QStringList& b) {
    for (const QString& row : b)
        a.removeOne(row);
    return int(a.size());
}

}  // namespace

QString storedBytesText(const QJsonValue& value) {
    const QJsonObject bytes = value.toObject();
    if (bytes.contains(QStringLiteral("blob")))
        return QStringLiteral("x'%1'").arg(
            bytes.value(QStringLiteral("blob")).toString().toUpper());
    if (bytes.contains(QStringLiteral("textBytes")))
        return QStringLiteral("text x'%1'")
            .arg(bytes.value(QStringLiteral("textBytes")).toString().toUpper());
    return {};
}

Snapshot Snapshot::take(db::HostDatabase& database) {
    Snapshot snapshot;
    auto rs = database.OpenRecordset(
        QStringLiteral("select cSysID, cName, cValue from AccInformation order by cSysID, cName"));
    while (!rs->Eof()) {
        auto& fields = rs->Recordset();
        snapshot.m_parameters.append({fields.Fields(QStringLiteral("cSysID")).textOrEmpty(),
                                      fields.Fields(QStringLiteral("cName")).textOrEmpty(),
                                      fields.Fields(QStringLiteral("cValue"))});
        rs->MoveNext();
    }
    for (const wizard::AccountTable& written : wizard::AccountTables) {
        if (written.use != wizard::AccountTable::Written)
            continue;
        const char* table = written.name;
        auto rows =
            database.OpenRecordset(QStringLiteral("select * from %1").arg(QLatin1String(table)));
        const QStringList fields = rows->Recordset().FieldNames();
        QStringList& texts = snapshot.m_tables[QLatin1String(table)];
        while (!rows->Eof()) {
            texts << rowText(*rows, fields);
            rows->MoveNext();
        }
    }
    return snapshot;
}

std::pair<Snapshot, Snapshot> Snapshot::ofChanges(db::HostDatabase& database,
                                                  const db::RowChangeLog& log) {
    const QString parameters = QStringLiteral("AccInformation");
    const QStringList columns =
        database.OpenRecordset(QStringLiteral("select * from %1 where 1=0").arg(parameters))
            ->Recordset()
            .FieldNames();
    const auto column = [&](const char* name) {
        for (int i = 0; i < columns.size(); ++i)
            if (columns[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return size_t(i);
        throw Error(QStringLiteral("no column %1 in %2").arg(QLatin1String(name), parameters));
    };
    const size_t sys = column("cSysID"), name = column("cName"), value = column("cValue");
    const auto parameterOf = [&](const std::vector<db::Value>& row) {
        return Parameter{row.at(sys).textOrEmpty(), row.at(name).textOrEmpty(), row.at(value)};
    };

    Snapshot before, after;
    QSet<QString> seen;                                 // parameters whose first state is kept
    QMap<QString, std::optional<Parameter>> lastState;  // the last state of each parameter
    for (const db::RowChangeLog::Change& change : log.changes()) {
        if (change.table.compare(parameters, Qt::CaseInsensitive) == 0) {
            if (change.before) {
                const Parameter p = parameterOf(*change.before);
                const QString key = p.sys + QChar(0x1F) + p.name;
                if (!seen.contains(key)) {
                    seen.insert(key);
                    before.m_parameters.append(p);
                }
                lastState.insert(key, std::nullopt);
            }
            if (change.after) {
                const Parameter p = parameterOf(*change.after);
                const QString key = p.sys + QChar(0x1F) + p.name;
                // A row the run inserted had no state before it, whatever
                // later updates of it saw.
                seen.insert(key);
                lastState.insert(key, p);
            }
            continue;
        }
        for (const wizard::AccountTable& written : wizard::AccountTables) {
            const QString table = QLatin1String(written.name);
            if (written.use != wizard::AccountTable::Written ||
                change.table.compare(table, Qt::CaseInsensitive) != 0)
                continue;
            if (change.before)
                before.m_tables[table] << rowText(*change.before);
            if (change.after)
                after.m_tables[table] << rowText(*change.after);
        }
    }
    for (const auto& state : std::as_const(lastState))
        if (state)
            after.m_parameters.append(*state);
    std::stable_sort(after.m_parameters.begin(), after.m_parameters.end(),
                     [](const Parameter& a, const Parameter& b) {
                         return std::pair(noCaseKey(a.sys), noCaseKey(a.name)) <
                                std::pair(noCaseKey(b.sys), noCaseKey(b.name));
                     });
    return {before, after};
}

QList<QJsonObject> Snapshot::changesSince(const Snapshot& before) const {
    QList<QJsonObject> events;
    QHash<QString, db::Value> old;
    for (const Parameter& p : before.m_parameters)
        old.insert(p.sys + QChar(0x1F) + p.name, p.value);
    for (const Parameter& p : m_parameters) {
        const QString key = p.sys + QChar(0x1F) + p.name;
        const auto it = old.constFind(key);
        QJsonObject event{{QStringLiteral("event"), QStringLiteral("changed")},
                          {QStringLiteral("cSysID"), p.sys},
                          {QStringLiteral("cName"), p.name},
                          {QStringLiteral("new"), shown(p.name, p.value)}};
        if (it == old.constEnd())
            event.insert(QStringLiteral("inserted"), true);  // no old value to tell
        else if (it.value() == p.value)
            continue;
        else
            event.insert(QStringLiteral("old"), shown(p.name, it.value()));
        events.append(event);
    }
    for (const wizard::AccountTable& written : wizard::AccountTables) {
        if (written.use != wizard::AccountTable::Written)
            continue;
        const char* table = written.name;
        const QStringList& after = m_tables.value(QLatin1String(table));
        const QStringList& prior = before.m_tables.value(QLatin1String(table));
        const int rows = std::max(missingFrom(after, prior), missingFrom(prior, after));
        if (rows > 0)
            events.append({{QStringLiteral("event"), QStringLiteral("changedTable")},
                           {QStringLiteral("table"), QLatin1String(table)},
                           {QStringLiteral("rows"), rows}});
    }
    return events;
}

}  // namespace zx::host
