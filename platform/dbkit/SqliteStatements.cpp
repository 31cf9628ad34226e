#include "SqliteStatements.h"

#include "BindQuotedTexts.h"
#include "Value.h"

#include <QVariant>

#include <sqlite3.h>

#include <algorithm>

namespace zx::db {

QString sqliteReason(int code, const QString& message) {
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
        return message +
               QStringLiteral(": another connection held it longer than the busy timeout");
    // Some failures are worded by what SQLite was doing ("unable to open
    // database"): the fault itself (a disk I/O error, a full disk) is named too.
    const QString fault = QString::fromUtf8(sqlite3_errstr(code));
    if (code != SQLITE_OK && code != SQLITE_ERROR && !message.contains(fault))
        return message + QStringLiteral(" (") + fault + QLatin1Char(')');
    return message;
}

namespace {

// More than the loads or a save use; few enough that keeping them costs little.
constexpr size_t MaxKept = 16;

// An invalid QVariant is Null, a null QString the empty text.
int bindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (!value.isValid())
        return sqlite3_bind_null(statement, index);
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            return sqlite3_bind_int64(statement, index, value.toLongLong());
        case QMetaType::Double:
            return sqlite3_bind_double(statement, index, value.toDouble());
        case QMetaType::QByteArray: {
            const QByteArray blob = value.toByteArray();
            return sqlite3_bind_blob64(statement, index, blob.constData(), blob.size(),
                                       SQLITE_TRANSIENT);
        }
        default: {
            if (value.metaType() == QMetaType::fromType<TextBytes>()) {
                const QByteArray bytes = value.value<TextBytes>().bytes;
                return sqlite3_bind_text64(statement, index, bytes.constData(), bytes.size(),
                                           SQLITE_TRANSIENT, SQLITE_UTF8);
            }
            // A null QString is the empty text, not Null: a cleared value is empty.
            const QString text = value.toString();
            return sqlite3_bind_text16(statement, index, text.constData(),
                                       int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
        }
    }
}

// SQLite's type affinity of a declared column type: text when the
// declaration names no integer but a character type.
bool declaresText(const char* declared) {
    const QByteArray type = QByteArray(declared).toUpper();
    return !type.contains("INT") &&
           (type.contains("CHAR") || type.contains("CLOB") || type.contains("TEXT"));
}

// Whether compiling stopped before the end of a text that holds more.
bool hasMoreStatements(const char* tail) {
    return tail && !QByteArray(tail).trimmed().isEmpty();
}

}  // namespace

SqliteStatements::SqliteStatements(sqlite3* handle) : m_handle(handle) {}

SqliteStatements::~SqliteStatements() {
    for (const Kept& kept : m_kept)
        sqlite3_finalize(kept.statement);
    sqlite3_close(m_handle);
}

sqlite3_stmt* SqliteStatements::take(const QByteArray& sql, int* code, const char** tail,
                                     SqliteColumns* columns) {
    const auto kept = std::find_if(m_kept.rbegin(), m_kept.rend(),
                                   [&](const Kept& entry) { return entry.sql == sql; });
    if (kept != m_kept.rend()) {
        sqlite3_stmt* statement = kept->statement;
        if (columns)
            *columns = std::move(kept->columns);
        m_kept.erase(std::next(kept).base());
        *code = SQLITE_OK;
        *tail = "";
        return statement;
    }
    sqlite3_stmt* statement = nullptr;
    *code = sqlite3_prepare_v2(m_handle, sql.constData(), int(sql.size()), &statement, tail);
    return statement;
}

void SqliteStatements::give(const QByteArray& sql, sqlite3_stmt* statement, SqliteColumns columns) {
    if (!statement)
        return;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    m_kept.push_back({sql, statement, std::move(columns)});
    if (m_kept.size() > MaxKept) {
        sqlite3_finalize(m_kept.front().statement);
        m_kept.erase(m_kept.begin());
    }
}

sqlite3_stmt* SqliteStatements::prepare(const QByteArray& sql, const QVariantList& params,
                                        QString* why, SqliteColumns* columns) {
    const char* tail = nullptr;
    int code = SQLITE_OK;
    sqlite3_stmt* statement = take(sql, &code, &tail, columns);
    if (code != SQLITE_OK) {
        *why = failure();
        return nullptr;
    }
    if (hasMoreStatements(tail)) {
        sqlite3_finalize(statement);
        *why = QStringLiteral("one statement at a time");
        return nullptr;
    }
    for (int i = 0; statement && i < int(params.size()); ++i) {
        if (bindValue(statement, i + 1, params[i]) != SQLITE_OK) {
            *why = failure();
            sqlite3_finalize(statement);
            return nullptr;
        }
    }
    return statement;
}

sqlite3_stmt* SqliteStatements::prepareBound(QByteArray* sql, const QVariantList& params,
                                             QString* why, SqliteColumns* columns) {
    // A statement that does not compile with its texts bound is compiled as
    // it was written, which then says why it fails.
    if (auto bound = bindQuotedTexts(*sql, params)) {
        if (sqlite3_stmt* statement = prepare(bound->sql, bound->params, why, columns)) {
            *sql = std::move(bound->sql);
            return statement;
        }
        why->clear();
    }
    return prepare(*sql, params, why, columns);
}

QString SqliteStatements::run(const QByteArray& sql, const QVariantList& params) {
    QByteArray sent = sql;
    QString why;
    sqlite3_stmt* statement = prepareBound(&sent, params, &why);
    if (!statement)  // failed, or only blanks or a comment
        return why;
    int code = SQLITE_OK;
    while (code == SQLITE_OK || code == SQLITE_ROW)
        code = sqlite3_step(statement);
    if (code == SQLITE_DONE) {
        give(sent, statement);  // reset: a finished statement holds no lock
        return {};
    }
    why = failure();
    sqlite3_finalize(statement);
    return why;
}

bool SqliteColumns::readAfterStep(sqlite3_stmt* statement) {
    const int now = sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_REPREPARE, 0);
    if (now == compiles)
        return false;
    names.clear();
    text.clear();
    compiles = now;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        names << QString::fromUtf8(sqlite3_column_name(statement, i));
        text << declaresText(sqlite3_column_decltype(statement, i));
    }
    return true;
}

QString SqliteStatements::failure() const {
    return sqliteReason(sqlite3_extended_errcode(m_handle),
                        QString::fromUtf8(sqlite3_errmsg(m_handle)).simplified());
}

}  // namespace zx::db
