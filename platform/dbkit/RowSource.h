#pragma once

#include "Value.h"

#include <QStringList>

#include <vector>

namespace zx::db {

// Where a recordset's rows come from: one statement, read forward, a row at
// a time.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual QStringList columns() const = 0;
    // Whether the column is declared to hold text: only such columns are
    // looked up by their texts.
    virtual bool isTextColumn(int column) const = 0;
    // The next row into the empty `row`; false at the end. Throws on a
    // failure.
    virtual bool next(std::vector<Value>& row) = 0;
};

}  // namespace zx::db
