#pragma once

// The parameter rows a run's loads showed, kept until its save: another
// administrator may finish on the same account meanwhile, and a save that
// overwrote those rows would undo that work without a word.

#include "Parameters.h"
#include "dbkit/Value.h"

#include <optional>
#include <vector>

namespace zx::db {
class HostDatabase;
}

namespace zx::wizard {

class LoadedRows {
public:
    // What a parameter's lookup found; none when no row matched.
    struct Row {
        db::Value cSysID, cName, cValue, cDefault;
    };

    void clear() { m_rows.clear(); }
    // The first lookup of a parameter counts; later ones read the same row.
    void record(const Param& p, std::optional<Row> row);

    // Inside the save's transaction, before its first write: holds the rows
    // against other writers until the transaction ends, looks each parameter
    // up again as the load did, and throws, naming the parameters, when any
    // now reads otherwise (another row, another value, a row gone or new),
    // or when a save's statement would not reach exactly the row shown.
    void checkUnchanged(db::HostDatabase& DB) const;

private:
    // Whether each parameter's save statement reaches exactly the row shown.
    void checkSavesReachShownRows(db::HostDatabase& DB) const;

    struct Entry {
        Param param;
        std::optional<Row> row;
    };
    std::vector<Entry> m_rows;
};

}  // namespace zx::wizard
