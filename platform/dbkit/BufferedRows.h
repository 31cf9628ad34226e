#pragma once

#include "RowSource.h"

#include <QList>

#include <deque>
#include <memory>

namespace zx::db {

// Rows that can be read ahead of their reader: a server that keeps one
// result pending per connection ("connection is busy with results for
// another hstmt") needs every open result read out before the next
// statement. Each instance stays on its list while it has rows pending.
class BufferedRows final : public RowSource {
public:
    using Pending = std::shared_ptr<QList<BufferedRows*>>;

    BufferedRows(std::unique_ptr<RowSource> rows, Pending pending);
    ~BufferedRows() override;
    BufferedRows(const BufferedRows&) = delete;
    BufferedRows& operator=(const BufferedRows&) = delete;

    // Reads every row left into the buffer and ends the statement.
    void drain();

    QStringList columns() const override { return m_columns; }
    bool isTextColumn(int column) const override { return m_text.at(column); }
    bool next(std::vector<Value>& row) override;

private:
    std::unique_ptr<RowSource> m_rows;
    QStringList m_columns;
    QList<bool> m_text;
    std::deque<std::vector<Value>> m_buffer;
    Pending m_pending;
};

}  // namespace zx::db
