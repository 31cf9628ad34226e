#include "LoadedRows.h"

#include "ParameterRows.h"
#include "core/Error.h"
#include "dbkit/HostDatabase.h"

#include <QStringList>
#include <QVariantList>

#include <algorithm>
#include <cstring>

namespace zx::wizard {

namespace {

bool sameParam(const Param& a, const Param& b) {
    return std::strcmp(a.sys, b.sys) == 0 && std::strcmp(a.name, b.name) == 0;
}

bool sameRow(const std::optional<LoadedRows::Row>& a, const std::optional<LoadedRows::Row>& b) {
    if (!a || !b)
        return !a && !b;
    return a->cSysID == b->cSysID && a->cName == b->cName && a->cValue == b->cValue &&
           a->cDefault == b->cDefault;
}

}  // namespace

void LoadedRows::record(const Param& p, std::optional<Row> row) {
    if (std::none_of(m_rows.begin(), m_rows.end(),
                     [&](const Entry& e) { return sameParam(e.param, p); }))
        m_rows.push_back({p, std::move(row)});
}

void LoadedRows::checkUnchanged(db::HostDatabase& DB) const {
    // Rewriting a row with its own value takes the row's write lock on a
    // server (the embedded database holds its write lock from the start of
    // the transaction), so nobody changes it between this check and the
    // save's own writes.
    QStringList shown;
    QVariantList keys;
    for (const Entry& e : m_rows) {
        if (!e.row)
            continue;
        shown << QStringLiteral("(cSysID=? and cName=?)");
        keys << e.row->cSysID.bindable() << e.row->cName.bindable();
    }
    if (!shown.isEmpty())
        DB.Execute(QStringLiteral("Update AccInformation set cValue=cValue Where ") +
                       shown.join(QStringLiteral(" or ")),
                   keys);

    ParameterReader now(DB);
    QStringList changed;
    for (const Entry& e : m_rows) {
        now.find(e.param);
        if (!sameRow(e.row, now.row()))
            changed << nameOf(e.param);
    }
    if (!changed.isEmpty())
        throw Error(QStringLiteral("another user changed these parameters after this window "
                                   "loaded them, so nothing was written: %1")
                        .arg(changed.join(QStringLiteral(", "))));
}

}  // namespace zx::wizard
