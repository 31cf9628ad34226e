#include "QtSqlDatabase.h"

#include "ConnectionText.h"
#include "Criterion.h"
#include "SqlText.h"
#include "core/Error.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace zx::db {

namespace {

// The driver's words on one line: messages are one line everywhere.
QString driverText(const QSqlError& error) {
    QString text = error.databaseText().simplified();
    if (text.isEmpty())
        text = error.driverText().simplified();
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

[[noreturn]] void failSql(const QString& sql, const QSqlError& error) {
    throw Error(QStringLiteral("SQL failed: %1 (%2)").arg(sql, driverText(error)));
}

// Runs `sent` on `query`, its placeholders bound to `params` in order. Only
// an invalid QVariant is Null: Qt's drivers would bind a null QString as Null,
// but a cleared value is the empty text.
bool execBound(QSqlQuery& query, const QString& sent, const QVariantList& params) {
    if (params.isEmpty())
        return query.exec(sent);
    if (!query.prepare(sent))
        return false;
    for (const QVariant& param : params) {
        if (param.typeId() == QMetaType::QString && param.toString().isNull())
            query.addBindValue(QStringLiteral(""));
        else
            query.addBindValue(param);
    }
    return query.exec();
}

// One QSqlDatabase connection, shared by the database object and its open
// recordsets so that the connection outlives every query on it.
class SqlConnection {
public:
    explicit SqlConnection(const QString& driver) {
        static QAtomicInteger<int> counter;
        m_name = QStringLiteral("zxdbkit-%1").arg(counter.fetchAndAddRelaxed(1));
        m_db = QSqlDatabase::addDatabase(driver, m_name);
    }
    ~SqlConnection() {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase& db() { return m_db; }

    // Recordsets still reading, so that a driver with one pending result
    // per connection can have them read to the end first.
    QList<std::function<void()>*> pending;
    void drainPending() {
        const auto drains = pending;
        for (auto* drain : drains)
            (*drain)();
    }

private:
    QString m_name;
    QSqlDatabase m_db;
};

// Where a recordset's rows come from, one at a time, forward only.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual QStringList columns() const = 0;
    // The next row into `row`; false at the end. Throws on a failure.
    virtual bool next(std::vector<Value>& row) = 0;
};

// Any QtSql driver. Some ODBC drivers keep one result pending per
// connection; the database drains open recordsets before the next statement.
class QueryRows final : public RowSource {
public:
    QueryRows(QSqlDatabase& db, const QString& sql, const QString& sent, const QVariantList& params)
        : m_query(db), m_sql(sql) {
        m_query.setForwardOnly(true);
        if (!execBound(m_query, sent, params))
            failSql(sql, m_query.lastError());
        const QSqlRecord record = m_query.record();
        for (int i = 0; i < record.count(); ++i)
            m_columns << record.fieldName(i);
    }
    QStringList columns() const override { return m_columns; }
    bool next(std::vector<Value>& row) override {
        if (!m_query.next()) {
            if (m_query.lastError().isValid())
                failSql(m_sql, m_query.lastError());
            m_query.finish();
            return false;
        }
        for (int i = 0; i < int(m_columns.size()); ++i)
            row.push_back(m_query.isNull(i) ? Value::null() : Value(m_query.value(i)));
        return true;
    }

private:
    QSqlQuery m_query;
    QString m_sql;
    QStringList m_columns;
};

// SQLite read straight from the connection's handle: QtSql's per-row
// bookkeeping costs several times what SQLite itself does, and the loads
// read whole parameter tables.
class SqliteRows final : public RowSource {
public:
    SqliteRows(sqlite3* db, const QString& sql, const QString& sent, const QVariantList& params)
        : m_db(db), m_sql(sql) {
        const QByteArray text = sent.toUtf8();
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, &tail) !=
            SQLITE_OK)
            fail();
        if (tail && !QByteArray(tail).trimmed().isEmpty()) {
            sqlite3_finalize(m_statement);
            m_statement = nullptr;
            throw Error(QStringLiteral("SQL failed: %1 (one statement at a time)").arg(sql));
        }
        for (int i = 0; i < int(params.size()); ++i)
            if (bind(i + 1, params[i]) != SQLITE_OK)
                fail();
        for (int i = 0; i < sqlite3_column_count(m_statement); ++i)
            m_columns << QString::fromUtf8(sqlite3_column_name(m_statement, i));
    }
    ~SqliteRows() override { sqlite3_finalize(m_statement); }

    QStringList columns() const override { return m_columns; }

    bool next(std::vector<Value>& row) override {
        if (!m_statement)
            return false;
        const int step = sqlite3_step(m_statement);
        if (step == SQLITE_DONE) {
            sqlite3_finalize(m_statement);
            m_statement = nullptr;
            return false;
        }
        if (step != SQLITE_ROW)
            fail();
        for (int i = 0; i < int(m_columns.size()); ++i) {
            switch (sqlite3_column_type(m_statement, i)) {
                case SQLITE_NULL:
                    row.push_back(Value::null());
                    break;
                case SQLITE_INTEGER:
                    row.push_back(Value(QVariant(qlonglong(sqlite3_column_int64(m_statement, i)))));
                    break;
                case SQLITE_FLOAT:
                    row.push_back(Value(QVariant(sqlite3_column_double(m_statement, i))));
                    break;
                case SQLITE_BLOB:
                    row.push_back(Value(QVariant(
                        QByteArray(static_cast<const char*>(sqlite3_column_blob(m_statement, i)),
                                   sqlite3_column_bytes(m_statement, i)))));
                    break;
                default:
                    row.push_back(Value(QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(m_statement, i)),
                        sqlite3_column_bytes(m_statement, i))));
            }
        }
        return true;
    }

private:
    int bind(int index, const QVariant& value) {
        if (!value.isValid())
            return sqlite3_bind_null(m_statement, index);
        switch (value.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Bool:
                return sqlite3_bind_int64(m_statement, index, value.toLongLong());
            case QMetaType::Double:
                return sqlite3_bind_double(m_statement, index, value.toDouble());
            default: {
                const QString text = value.toString();
                return sqlite3_bind_text16(m_statement, index, text.utf16(),
                                           int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
            }
        }
    }

    [[noreturn]] void fail() {
        const QString why = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        throw Error(QStringLiteral("SQL failed: %1 (%2)").arg(m_sql, why));
    }

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
    QString m_sql;
    QStringList m_columns;
};

// The rows a recordset has read so far. Once complete they never change,
// so recordsets over the same unchanged data may share them.
struct RowSet {
    QStringList columns;
    std::vector<std::vector<Value>> rows;
    struct KeyIndex {
        std::vector<int> columns;
        QHash<QString, std::vector<size_t>> rows;
    };
    std::vector<KeyIndex> indexes;  // built on demand, by key columns
    bool complete = false;
};

class QtRecordset final : public HostRecordset, private AdoRecordset {
public:
    using Completed = std::function<void(const std::shared_ptr<RowSet>&)>;

    QtRecordset(std::shared_ptr<SqlConnection> connection, std::unique_ptr<RowSource> source,
                const QString& sql, Completed completed)
        : m_connection(std::move(connection)),
          m_source(std::move(source)),
          m_sql(sql),
          m_set(std::make_shared<RowSet>()),
          m_completed(std::move(completed)) {
        m_set->columns = m_source->columns();
        m_drain = [this] { fetchAll(); };
        m_connection->pending.append(&m_drain);
        fetch();  // emptiness costs one row
        m_current = 0;
    }
    ~QtRecordset() override { m_connection->pending.removeAll(&m_drain); }
    // Over rows another recordset has read completely.
    QtRecordset(std::shared_ptr<SqlConnection> connection, std::shared_ptr<RowSet> rows,
                const QString& sql)
        : m_connection(std::move(connection)), m_sql(sql), m_set(std::move(rows)) {}

    AdoRecordset& Recordset() override { return *this; }

    bool Bof() const override { return m_set->rows.empty(); }
    bool Eof() const override { return m_noMatch || m_current >= m_set->rows.size(); }

    std::int32_t RecordCount() override {
        checkOpen();
        fetchAll();
        return static_cast<std::int32_t>(m_set->rows.size());
    }

    void FindFirst(const QString& criterionText) override {
        checkOpen();
        QString error;
        const auto criterion = Criterion::cached(criterionText, &error);
        if (!criterion)
            throw Error(error);
        const auto columns = criterion->bind(m_set->columns, &error);
        if (!columns)
            throw Error(error);
        const std::optional<size_t> found = criterion->equalities()
                                                ? findByKey(*criterion, *columns)
                                                : findByScan(*criterion, *columns);
        m_noMatch = !found;
        m_current = found ? *found : m_set->rows.size();
    }

    void MoveLast() override {
        checkOpen();
        fetchAll();
        if (m_set->rows.empty())
            throw Error(QStringLiteral("MoveLast on an empty result: %1").arg(m_sql));
        m_current = m_set->rows.size() - 1;
        m_noMatch = false;
    }

    void MoveNext() override {
        checkOpen();
        if (Eof())
            throw Error(QStringLiteral("MoveNext past the last row: %1").arg(m_sql));
        ++m_current;
        if (m_current == m_set->rows.size())
            fetch();
    }

    void Close() override {
        m_source.reset();
        m_connection->pending.removeAll(&m_drain);
        m_set = std::make_shared<RowSet>();
        m_closed = true;
    }

private:
    Value Fields(const QString& name) const override {
        checkOpen();
        const int column = columnOf(name);
        if (m_noMatch)
            return Value::null();
        if (m_current >= m_set->rows.size())
            throw Error(QStringLiteral("no current row to read %1 from: %2").arg(name, m_sql));
        return m_set->rows[m_current][size_t(column)];
    }

    QStringList FieldNames() const override { return m_set->columns; }

    std::optional<size_t> findByScan(const Criterion& criterion, const std::vector<int>& columns) {
        for (size_t i = 0;; ++i) {
            if (i == m_set->rows.size() && !fetch())
                return std::nullopt;
            if (criterion.matches(m_set->rows[i], columns))
                return i;
        }
    }

    // The loads look up dozens of parameters by key in one recordset: an
    // index per set of key columns, built once, turns each scan into a
    // lookup. Candidates are still checked against the criterion.
    std::optional<size_t> findByKey(const Criterion& criterion, const std::vector<int>& columns) {
        const auto terms = *criterion.equalities();
        std::vector<int> keyColumns;
        QString wanted;
        for (const Criterion::Equality& term : terms) {
            keyColumns.push_back(columns[size_t(term.field)]);
            if (!wanted.isNull())
                wanted += QChar(0x1F);
            wanted += Criterion::foldKey(term.text);
        }
        fetchAll();
        auto index =
            std::find_if(m_set->indexes.begin(), m_set->indexes.end(),
                         [&](const RowSet::KeyIndex& k) { return k.columns == keyColumns; });
        if (index == m_set->indexes.end()) {
            RowSet::KeyIndex built{keyColumns, {}};
            for (size_t row = 0; row < m_set->rows.size(); ++row)
                if (const auto key = rowKey(m_set->rows[row], keyColumns))
                    built.rows[*key].push_back(row);
            m_set->indexes.push_back(std::move(built));
            index = m_set->indexes.end() - 1;
        }
        const auto hit = index->rows.constFind(wanted);
        if (hit == index->rows.constEnd())
            return std::nullopt;
        for (const size_t row : hit.value())
            if (criterion.matches(m_set->rows[row], columns))
                return row;
        return std::nullopt;
    }

    static std::optional<QString> rowKey(const std::vector<Value>& row,
                                         const std::vector<int>& keyColumns) {
        QString key;
        for (const int column : keyColumns) {
            const Value& v = row[size_t(column)];
            if (v.isNull())
                return std::nullopt;  // Null equals nothing
            if (!key.isNull())
                key += QChar(0x1F);
            key += Criterion::foldKey(v.variant().toString());
        }
        return key;
    }

    int columnOf(const QString& name) const {
        for (int i = 0; i < m_set->columns.size(); ++i)
            if (m_set->columns[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        throw Error(QStringLiteral("no field %1 in: %2").arg(name, m_sql));
    }

    void checkOpen() const {
        if (m_closed)
            throw Error(QStringLiteral("the recordset is closed: %1").arg(m_sql));
    }

    bool fetch() {
        if (m_set->complete)
            return false;
        std::vector<Value> row;
        row.reserve(size_t(m_set->columns.size()));
        if (!m_source->next(row)) {
            m_set->complete = true;
            m_source.reset();  // a finished read holds no lock
            m_connection->pending.removeAll(&m_drain);
            if (m_completed)
                m_completed(m_set);
            return false;
        }
        m_set->rows.push_back(std::move(row));
        return true;
    }

    void fetchAll() {
        while (fetch()) {
        }
    }

    std::shared_ptr<SqlConnection> m_connection;
    std::unique_ptr<RowSource> m_source;
    QString m_sql;
    std::shared_ptr<RowSet> m_set;
    Completed m_completed;
    std::function<void()> m_drain;
    size_t m_current = 0;
    bool m_noMatch = false;
    bool m_closed = false;
};

class SqliteDatabase final : public HostDatabase, private AdoConnection {
public:
    SqliteDatabase(const QString& connectionText, const ConnectionText& parsed)
        : m_text(maskedConnectionText(connectionText)) {
        const QString path = parsed.value(QStringLiteral("Data Source"));
        if (path.isEmpty())
            throw Error(QStringLiteral("the connection text names no Data Source: %1").arg(m_text));
        const QFileInfo file(path);
        if (!file.isAbsolute())
            throw Error(QStringLiteral("the Data Source must be an absolute path: %1").arg(path));
        // QSQLITE would create a missing file; an account is never created here.
        if (!file.isFile())
            throw Error(QStringLiteral("account database not found: %1").arg(path));
        QString systemPath = parsed.value(QStringLiteral("System Database"));
        if (systemPath.isEmpty())
            systemPath = file.absolutePath() + QStringLiteral("/zxsystem.db");
        if (!QFileInfo(systemPath).isFile())
            throw Error(QStringLiteral("system database not found: %1").arg(systemPath));

        m_connection = std::make_shared<SqlConnection>(QStringLiteral("QSQLITE"));
        QSqlDatabase& db = m_connection->db();
        db.setDatabaseName(file.absoluteFilePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            throw Error(QStringLiteral("cannot open %1: %2").arg(path, driverText(db.lastError())));
        run(QStringLiteral("ATTACH DATABASE ? AS zxsystem"),
            {QFileInfo(systemPath).absoluteFilePath()});
    }

    void BeginTrans() override {
        if (m_inTransaction)
            throw Error(QStringLiteral("a transaction is already open"));
        // IMMEDIATE takes the write lock now, so a second writer waits for
        // the busy timeout instead of failing at its first write.
        ++m_reads->writes;
        run(QStringLiteral("BEGIN IMMEDIATE"));
        m_inTransaction = true;
    }

    void CommitTrans() override {
        if (!m_inTransaction)
            throw Error(QStringLiteral("CommitTrans without BeginTrans"));
        ++m_reads->writes;
        run(QStringLiteral("COMMIT"));
        m_inTransaction = false;
    }

    void RollbackTrans() override {
        if (!m_inTransaction)
            throw Error(QStringLiteral("RollbackTrans without BeginTrans"));
        ++m_reads->writes;
        run(QStringLiteral("ROLLBACK"));
        m_inTransaction = false;
    }

    void Execute(const QString& sql, const QVariantList& params) override {
        ++m_reads->writes;
        run(sql, rewriteSystemPrefix(sql, QStringLiteral("zxsystem")), params);
    }

    std::unique_ptr<HostRecordset> OpenRecordset(const QString& sql, std::optional<int>,
                                                 const QVariantList& params) override {
        const QString sent = rewriteSystemPrefix(sql, QStringLiteral("zxsystem"));
        if (!params.isEmpty())
            return std::make_unique<QtRecordset>(
                m_connection, std::make_unique<SqliteRows>(handle(), sql, sent, params), sql,
                nullptr);
        // A whole result read before, with nothing written since by anyone,
        // is served again: the loads read the same table one after another.
        const Version version{m_reads->writes, dataVersion(handle())};
        const CachedRead& cached = m_reads->last;
        if (cached.rows && cached.sql == sql && cached.version == version)
            return std::make_unique<QtRecordset>(m_connection, cached.rows, sql);
        // The recordset may outlive this object: it reaches the cache weakly.
        std::weak_ptr<ReadCache> reads = m_reads;
        return std::make_unique<QtRecordset>(
            m_connection, std::make_unique<SqliteRows>(handle(), sql, sent, params), sql,
            [reads, db = handle(), sql, version](const std::shared_ptr<RowSet>& rows) {
                const auto cache = reads.lock();
                if (cache && version == Version{cache->writes, dataVersion(db)})
                    cache->last = {sql, version, rows};
            });
    }

    QString ConnectString() const override { return m_text; }
    AdoConnection& Connection() override { return *this; }

private:
    QString ConnectionString() const override { return m_text; }

    void run(const QString& sql, const QVariantList& params = {}) { run(sql, sql, params); }
    void run(const QString& sql, const QString& sent, const QVariantList& params) {
        QSqlQuery query(m_connection->db());
        if (!execBound(query, sent, params))
            failSql(sql, query.lastError());
        // An unread write statement would hold back COMMIT.
        query.finish();
    }

    sqlite3* handle() const {
        const QVariant v = m_connection->db().driver()->handle();
        if (qstrcmp(v.typeName(), "sqlite3*") != 0 || !*static_cast<sqlite3* const*>(v.constData()))
            throw Error(QStringLiteral("the SQLite driver gave no connection handle"));
        return *static_cast<sqlite3* const*>(v.constData());
    }

    // Changes whenever another connection commits to the file.
    static qint64 dataVersion(sqlite3* db) {
        sqlite3_stmt* statement = nullptr;
        qint64 version = -1;
        if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            version = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return version;
    }

    struct Version {
        quint64 writes = 0;
        qint64 data = -1;
        friend bool operator==(const Version&, const Version&) = default;
    };
    struct CachedRead {
        QString sql;
        Version version;
        std::shared_ptr<RowSet> rows;
    };
    // The last complete read, and how many writes this connection has made.
    struct ReadCache {
        quint64 writes = 0;
        CachedRead last;
    };

    QString m_text;
    std::shared_ptr<SqlConnection> m_connection;
    bool m_inTransaction = false;
    std::shared_ptr<ReadCache> m_reads = std::make_shared<ReadCache>();
};

// Any ODBC data source through QODBC: SQL Server through FreeTDS in
// production. Transactions are the driver's (autocommit off), never
// BEGIN/COMMIT texts; the system tables are reached as schema zxsystem.
class OdbcDatabase final : public HostDatabase, private AdoConnection {
public:
    OdbcDatabase(const QString& connectionText, const QString& odbc)
        : m_text(maskedConnectionText(connectionText)) {
        m_connection = std::make_shared<SqlConnection>(QStringLiteral("QODBC"));
        QSqlDatabase& db = m_connection->db();
        db.setDatabaseName(odbc);
        db.setConnectOptions(QStringLiteral("SQL_ATTR_ODBC_VERSION=SQL_OV_ODBC3"));
        if (!db.open())
            throw Error(QStringLiteral("cannot connect to %1: %2")
                            .arg(maskedConnectionText(odbc),
                                 maskedConnectionText(driverText(db.lastError()))));
        // SQL Server reaches the system database as zxsystem..table, as the
        // statements are written; a server without cross-database names
        // keeps the system tables in a schema of that name.
        if (db.driver()->dbmsType() != QSqlDriver::MSSqlServer)
            m_systemSchema = QStringLiteral("zxsystem");
    }

    void BeginTrans() override {
        if (m_inTransaction)
            throw Error(QStringLiteral("a transaction is already open"));
        m_connection->drainPending();
        if (!m_connection->db().transaction())
            throw Error(QStringLiteral("cannot begin a transaction: %1")
                            .arg(driverText(m_connection->db().lastError())));
        m_inTransaction = true;
    }
    void CommitTrans() override {
        if (!m_inTransaction)
            throw Error(QStringLiteral("CommitTrans without BeginTrans"));
        m_connection->drainPending();
        if (!m_connection->db().commit())  // its return, not lastError(), tells
            throw Error(QStringLiteral("commit failed: %1")
                            .arg(driverText(m_connection->db().lastError())));
        m_inTransaction = false;
    }
    void RollbackTrans() override {
        if (!m_inTransaction)
            throw Error(QStringLiteral("RollbackTrans without BeginTrans"));
        m_connection->drainPending();
        m_inTransaction = false;
        if (!m_connection->db().rollback()) {
            // A lost connection: the server has discarded the transaction.
            const QSqlError error = m_connection->db().lastError();
            if (error.type() == QSqlError::ConnectionError ||
                error.nativeErrorCode().startsWith(QLatin1String("08")))
                return;
            throw Error(QStringLiteral("rollback failed: %1").arg(driverText(error)));
        }
    }
    void Execute(const QString& sql, const QVariantList& params) override {
        m_connection->drainPending();
        QSqlQuery query(m_connection->db());
        if (!execBound(query, sent(sql), params))
            failSql(sql, query.lastError());
        query.finish();
    }
    std::unique_ptr<HostRecordset> OpenRecordset(const QString& sql, std::optional<int>,
                                                 const QVariantList& params) override {
        m_connection->drainPending();
        const QString sent = this->sent(sql);
        return std::make_unique<QtRecordset>(
            m_connection, std::make_unique<QueryRows>(m_connection->db(), sql, sent, params), sql,
            nullptr);
    }
    QString ConnectString() const override { return m_text; }
    AdoConnection& Connection() override { return *this; }

private:
    QString ConnectionString() const override { return m_text; }

    QString sent(const QString& sql) const {
        return m_systemSchema.isEmpty() ? sql : rewriteSystemPrefix(sql, m_systemSchema);
    }

    QString m_text;
    std::shared_ptr<SqlConnection> m_connection;
    QString m_systemSchema;  // empty: zxsystem.. stays as written
    bool m_inTransaction = false;
};

}  // namespace

std::unique_ptr<HostDatabase> openDatabase(const QString& connectionText) {
    QString error;
    const auto parsed = ConnectionText::parse(connectionText, &error);
    if (!parsed)
        throw Error(error);
    const QString provider = parsed->value(QStringLiteral("Provider"));
    if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return std::make_unique<SqliteDatabase>(connectionText, *parsed);
    if (provider.compare(QLatin1String("ODBC"), Qt::CaseInsensitive) == 0)
        return std::make_unique<OdbcDatabase>(connectionText, parsed->withoutProvider());
    throw Error(QStringLiteral("unknown provider \"%1\" in %2")
                    .arg(provider, maskedConnectionText(connectionText)));
}

}  // namespace zx::db
