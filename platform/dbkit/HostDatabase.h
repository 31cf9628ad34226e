#pragma once

// The host's database object as the component uses it, with the ADO-like
// connection and recordset it hands out. Every operation that fails throws
// zx::Error; no caller inspects a status.

#include "Value.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <cstdint>
#include <memory>
#include <optional>

namespace zx::db {

// The ADO connection: only its connection text is read.
class AdoConnection {
public:
    virtual ~AdoConnection() = default;
    virtual QString ConnectionString() const = 0;
};

// The ADO recordset over the same rows as its HostRecordset, sharing the
// current row. Fields are looked up by name without regard to case.
class AdoRecordset {
public:
    virtual ~AdoRecordset() = default;
    virtual Value Fields(const QString& name) const = 0;
    virtual QStringList FieldNames() const = 0;
};

class HostRecordset {
public:
    virtual ~HostRecordset() = default;

    virtual AdoRecordset& Recordset() = 0;
    // Both are true exactly when there are no rows; Eof alone ends MoveNext.
    virtual bool Bof() const = 0;
    virtual bool Eof() const = 0;
    // Greater than 0 when there is a row; the number of rows once counted.
    virtual std::int32_t RecordCount() = 0;
    // The first row, in order, that meets the criterion becomes current. When
    // none does there is no current row and fields read as Null.
    virtual void FindFirst(const QString& criterion) = 0;
    virtual void MoveLast() = 0;
    virtual void MoveNext() = 0;
    virtual void Close() = 0;
};

class HostDatabase {
public:
    virtual ~HostDatabase() = default;

    virtual void BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;
    // `params` fill the statement's `?` placeholders in order. Every value
    // that comes from a user or a stored row travels this way, never inside
    // the SQL text: no value can change what the statement does.
    virtual void Execute(const QString& sql, const QVariantList& params = {}) = 0;
    // option: the numeric open option (4 for the existence and single-value
    // queries); it does not change what is returned.
    virtual std::unique_ptr<HostRecordset> OpenRecordset(const QString& sql,
                                                         std::optional<int> option = {},
                                                         const QVariantList& params = {}) = 0;
    virtual QString ConnectString() const = 0;
    virtual AdoConnection& Connection() = 0;
};

}  // namespace zx::db
