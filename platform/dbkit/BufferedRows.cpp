#include "BufferedRows.h"

namespace zx::db {

BufferedRows::BufferedRows(std::unique_ptr<RowSource> rows, Pending pending)
    : m_rows(std::move(rows)), m_columns(m_rows->columns()), m_pending(std::move(pending)) {
    for (int i = 0; i < m_columns.size(); ++i)
        m_text << m_rows->isTextColumn(i);
    m_pending->append(this);
}

BufferedRows::~BufferedRows() {
    m_pending->removeAll(this);
}

void BufferedRows::drain() {
    m_pending->removeAll(this);
    if (!m_rows)
        return;
    std::vector<Value> row;
    while (m_rows->next(row)) {
        m_buffer.push_back(std::move(row));
        row.clear();
    }
    m_rows.reset();
}

bool BufferedRows::next(std::vector<Value>& row) {
    if (!m_buffer.empty()) {
        row = std::move(m_buffer.front());
        m_buffer.pop_front();
        return true;
    }
    if (!m_rows)
        return false;
    if (m_rows->next(row))
        return true;
    m_rows.reset();
    m_pending->removeAll(this);
    return false;
}

}  // namespace zx::db
