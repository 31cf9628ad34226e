#include "LazyRecordset.h"

#include "Criterion.h"
#include "KeyedScan.h"
#include "core/Error.h"

namespace zx::db {

LazyRecordset::LazyRecordset(std::unique_ptr<RowSource> scan, const QString& sql,
                             std::shared_ptr<KeyedScan> keyed)
    : m_scan(std::move(scan)), m_sql(sql), m_columns(m_scan->columns()), m_keyed(std::move(keyed)) {
    fetch();  // emptiness costs one row
}

LazyRecordset::~LazyRecordset() = default;

bool LazyRecordset::Eof() const {
    switch (m_at) {
        case At::Read:
            return m_current >= m_rows.size();
        case At::Found:
            return false;
        case At::End:
        case At::NoMatch:
            return true;
    }
    return true;
}

std::int32_t LazyRecordset::RecordCount() {
    checkOpen();
    fetchAll();
    return static_cast<std::int32_t>(m_rows.size());
}

void LazyRecordset::FindFirst(const QString& criterionText) {
    checkOpen();
    QString error;
    const auto criterion = Criterion::cached(criterionText, &error);
    if (!criterion)
        throw Error(error);
    const auto columns = criterion->bind(m_columns, &error);
    if (!columns)
        throw Error(error);

    m_following.reset();
    auto select = [this](size_t row) {
        m_at = At::Read;
        m_current = row;
    };
    for (size_t row = 0; row < m_rows.size(); ++row) {
        if (criterion->matches(m_rows[row], *columns))
            return select(row);
    }
    if (m_scan && m_keyed) {
        if (const auto found = m_keyed->find(*criterion, *columns, &m_found, &m_position)) {
            m_at = *found ? At::Found : At::NoMatch;
            return;
        }
    }
    while (fetch()) {
        if (criterion->matches(m_rows.back(), *columns))
            return select(m_rows.size() - 1);
    }
    m_at = At::NoMatch;
}

void LazyRecordset::MoveLast() {
    checkOpen();
    fetchAll();
    if (m_rows.empty())
        throw Error(QStringLiteral("MoveLast on an empty result: %1").arg(m_sql));
    m_following.reset();
    m_at = At::Read;
    m_current = m_rows.size() - 1;
}

void LazyRecordset::MoveNext() {
    checkOpen();
    if (Eof())
        throw Error(QStringLiteral("MoveNext past the last row: %1").arg(m_sql));
    if (m_at == At::Found) {
        if (!m_following)
            m_following = m_keyed->following(m_position);
        m_found.clear();
        if (!m_following->next(m_found)) {
            m_following.reset();
            m_at = At::End;
        }
        return;
    }
    if (++m_current == m_rows.size())
        fetch();
}

void LazyRecordset::Close() {
    m_scan.reset();
    m_following.reset();
    m_keyed.reset();
    m_rows.clear();
    m_closed = true;
}

Value LazyRecordset::Fields(const QString& name) const {
    checkOpen();
    int column = -1;
    for (int i = 0; i < m_columns.size() && column < 0; ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            column = i;
    if (column < 0)
        throw Error(QStringLiteral("no field %1 in: %2").arg(name, m_sql));
    if (m_at == At::NoMatch)
        return Value::null();
    const std::vector<Value>* row = currentRow();
    if (!row)
        throw Error(QStringLiteral("no current row to read %1 from: %2").arg(name, m_sql));
    return (*row)[size_t(column)];
}

const std::vector<Value>* LazyRecordset::currentRow() const {
    if (m_at == At::Found)
        return &m_found;
    if (m_at == At::Read && m_current < m_rows.size())
        return &m_rows[m_current];
    return nullptr;
}

bool LazyRecordset::fetch() {
    if (!m_scan)
        return false;
    std::vector<Value> row;
    row.reserve(size_t(m_columns.size()));
    if (!m_scan->next(row)) {
        m_scan.reset();  // a finished read holds no lock
        return false;
    }
    m_rows.push_back(std::move(row));
    return true;
}

void LazyRecordset::fetchAll() {
    while (fetch()) {
    }
}

void LazyRecordset::checkOpen() const {
    if (m_closed)
        throw Error(QStringLiteral("the recordset is closed: %1").arg(m_sql));
}

}  // namespace zx::db
