#include "Snapshot.h"

#include "wizard/AccountTables.h"
#include "wizard/Parameters.h"

#include <QJsonValue>

namespace zx::host {

namespace {

QJsonValue shown(const QString& name, const db::Value& value) {
    if (value.isNull())
        return QJsonValue::Null;
    return wizard::shownParameterValue(name, value.variant().toString());
}

QString rowText(db::HostRecordset& rs, const QStringList& fields) {
    QStringList cells;
    for (const QString& field : fields) {
        const db::Value v = rs.Recordset().Fields(field);
        cells << (v.isNull() ? QStringLiteral("\x01NULL") : v.variant().toString());
    }
    return cells.join(QChar(0x1F));
}

// Rows of `a` that `b` lacks, counting repeats.
int missingFrom(QStringList a, const QStringList& b) {
    for (const QString& row : b)
        a.removeOne(row);
    return int(a.size());
}

}  // namespace

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

QList<QJsonObject> Snapshot::changesSince(const Snapshot& before) const {
    QList<QJsonObject> events;
    QHash<QString, db::Value> old;
    for (const Parameter& p : before.m_parameters)
        old.insert(p.sys + QChar(0x1F) + p.name, p.value);
    for (const Parameter& p : m_parameters) {
        const QString key = p.sys + QChar(0x1F) + p.name;
        const auto it = old.constFind(key);
        const db::Value previous = it == old.constEnd() ? db::Value() : it.value();
        if (it != old.constEnd() && previous == p.value)
            continue;
        events.append({{QStringLiteral("event"), QStringLiteral("changed")},
                       {QStringLiteral("cSysID"), p.sys},
                       {QStringLiteral("cName"), p.name},
                       {QStringLiteral("old"), shown(p.name, previous)},
                       {QStringLiteral("new"), shown(p.name, p.value)}});
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
