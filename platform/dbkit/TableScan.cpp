#include "TableScan.h"

namespace zx::db {

TableScan::TableScan(QString table, KeyedScan::Dialect dialect, KeyedScan::Run run)
    : m_table(std::move(table)), m_dialect(std::move(dialect)), m_run(std::move(run)) {
    m_first =
        m_run(QStringLiteral("SELECT %1, * FROM %2 LIMIT 1").arg(m_dialect.position, m_table), {});
    const QStringList withPosition = m_first->columns();
    for (int i = 1; i < withPosition.size(); ++i) {
        m_columns << withPosition[i];
        m_text << m_first->isTextColumn(i);
    }
}

bool TableScan::next(std::vector<Value>& row) {
    if (m_first) {
        std::vector<Value> first;
        const bool found = m_first->next(first);
        m_first.reset();
        if (!found) {
            m_empty = true;
            return false;
        }
        m_position = first.front();
        row.insert(row.end(), std::make_move_iterator(first.begin() + 1),
                   std::make_move_iterator(first.end()));
        return true;
    }
    if (m_empty)
        return false;
    if (!m_rest)
        m_rest = KeyedScan::rowsAfter(m_table, m_dialect, m_run, m_position);
    return m_rest->next(row);
}

}  // namespace zx::db
