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
    checkSavesReachShownRows(DB);
}

void LoadedRows::checkSavesReachShownRows(db::HostDatabase& DB) const {
    // A save names its row as "cSysID='SA' and cName='x'", which the database
    // compares by its own rule; the load found it by FindFirst's, which folds
    // case fully. Where the two disagree (another case on a case-sensitive
    // server, a long s, a blob, two spellings of one key), the save would
    // miss the row shown or change another one: nothing is written then.
    if (m_rows.empty())
        return;
    QStringList reach;
    for (size_t i = 0; i < m_rows.size(); ++i)
        reach << QStringLiteral("select %1 as i, cSysID, cName from AccInformation where %2")
                     .arg(i)
                     .arg(criterionOf(m_rows[i].param));
    std::vector<int> reached(m_rows.size());
    std::vector<bool> strays(m_rows.size());
    const auto rows = DB.OpenRecordset(reach.join(QStringLiteral(" union all ")));
    while (!rows->Eof()) {
        const db::AdoRecordset& fields = rows->Recordset();
        const size_t i = fields.Fields(QStringLiteral("i")).variant().toULongLong();
        if (i >= m_rows.size())
            throw Error(
                QStringLiteral("the check of the parameter keys read a row it did not ask for"));
        const std::optional<Row>& shown = m_rows[i].row;
        ++reached[i];
        strays[i] = strays[i] || !shown ||
                    !(fields.Fields(QStringLiteral("cSysID")) == shown->cSysID &&
                      fields.Fields(QStringLiteral("cName")) == shown->cName);
        rows->MoveNext();
    }
    QStringList astray;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (strays[i] || reached[i] != (m_rows[i].row ? 1 : 0))
            astray << nameOf(m_rows[i].param);
    if (!astray.isEmpty())
        throw Error(QStringLiteral("the account's database compares these parameters' keys "
                                   "otherwise than the window found them, so a save could "
                                   "change other rows than the ones shown; nothing was "
                                   "written: %1")
                        .arg(astray.join(QStringLiteral(", "))));
}

}  // namespace zx::wizard
