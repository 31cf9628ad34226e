#pragma once

#include "KeyedScan.h"

namespace zx::db {

// The rows of a whole table in the order a scan meets them, for a driver
// that reads a statement's whole result before it hands out the first row:
// the first row comes from a query of its own, the others from a query for
// the rows after it, sent only when one of them is asked for. A recordset
// whose rows are looked up by key then never reads the table.
class TableScan final : public RowSource {
public:
    TableScan(QString table, KeyedScan::Dialect dialect, KeyedScan::Run run);

    QStringList columns() const override { return m_columns; }
    bool isTextColumn(int column) const override { return m_text.at(column); }
    bool next(std::vector<Value>& row) override;

private:
    QString m_table;
    KeyedScan::Dialect m_dialect;
    KeyedScan::Run m_run;
    QStringList m_columns;
    QList<bool> m_text;
    std::unique_ptr<RowSource> m_first;  // until the first row is read
    Value m_position;                    // the first row's
    std::unique_ptr<RowSource> m_rest;   // once a row after it is asked for
    bool m_empty = false;
};

}  // namespace zx::db
