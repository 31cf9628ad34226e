#pragma once

#include "HostDatabase.h"
#include "RowSource.h"

#include <memory>
#include <vector>

namespace zx::db {

class KeyedScan;

// A recordset that reads its statement's rows only as far as it must and
// keeps them: emptiness costs one row, FindFirst reads up to the match (or
// looks the row up, when a KeyedScan can), RecordCount and MoveLast read to
// the end.
class LazyRecordset final : public HostRecordset, private AdoRecordset {
public:
    LazyRecordset(std::unique_ptr<RowSource> scan, const QString& sql,
                  std::shared_ptr<KeyedScan> keyed);
    ~LazyRecordset() override;

    AdoRecordset& Recordset() override { return *this; }
    bool Bof() const override { return m_rows.empty(); }
    bool Eof() const override;
    std::int32_t RecordCount() override;
    void FindFirst(const QString& criterion) override;
    void MoveLast() override;
    void MoveNext() override;
    void Close() override;

    // Rows read from the statement so far; a row looked up costs none.
    size_t rowsRead() const { return m_rows.size(); }

private:
    Value Fields(const QString& name) const override;
    QStringList FieldNames() const override { return m_columns; }

    bool fetch();
    void fetchAll();
    void checkOpen() const;
    const std::vector<Value>* currentRow() const;

    std::unique_ptr<RowSource> m_scan;  // null once read to the end
    QString m_sql;
    QStringList m_columns;
    std::vector<std::vector<Value>> m_rows;
    std::shared_ptr<KeyedScan> m_keyed;

    // Where the current row is: a read row, a row looked up (kept with its
    // position and, once MoveNext asks, the rows after it), past the end,
    // or nowhere after a FindFirst without a match.
    enum class At { Read, Found, End, NoMatch } m_at = At::Read;
    size_t m_current = 0;
    std::vector<Value> m_found;
    Value m_position;
    std::unique_ptr<RowSource> m_following;
    bool m_closed = false;
};

}  // namespace zx::db
