#pragma once

// The idioms every parameter group uses on AccInformation rows: one
// recordset per load with FindFirst per parameter, cValue falling back to
// cDefault, the check-box rule, the two fixed switch statements and text
// values bound to their statement.

#include "LoadedRows.h"
#include "Parameters.h"
#include "dbkit/HostDatabase.h"

#include <QDate>
#include <QString>

#include <memory>
#include <optional>

namespace zx::wizard {

class SetupModel;

// "cSysID='AA' and cName='bStrsAuxUnit'"
QString criterionOf(const Param& p);
// "AA bStrsAuxUnit", for error texts.
QString nameOf(const Param& p);

class ParameterReader {
public:
    // Opens "select * from AccInformation". A load passes `shown`, which
    // keeps each parameter's row as found, for its save to check.
    explicit ParameterReader(db::HostDatabase& DB, LoadedRows* shown = nullptr);

    // Makes the parameter's row current; its fields stay readable.
    void find(const Param& p);
    // The current row's key and values; none when the last find matched none.
    std::optional<LoadedRows::Row> row() const;
    db::Value cValue() const;
    db::Value cDefault() const;

    // The current row's value: cValue when not empty, else cDefault.
    db::Value value() const;
    // Check-box rule on the current row: 1 when the value in upper case is
    // "TRUE", otherwise 0 (a Null value too).
    int checkValue() const;
    int checkValue(const Param& p) {
        find(p);
        return checkValue();
    }

private:
    std::unique_ptr<db::HostRecordset> m_rs;
    LoadedRows* m_shown;
};

// A switch and the check box that shows it.
struct SwitchBox {
    Param param;
    const char* box;
};

void loadSwitch(ParameterReader& r, SetupModel& model, const SwitchBox& s);
// A box counts as ticked only when its value is exactly 1; greyed is FALSE.
void saveSwitch(db::HostDatabase& DB, const SetupModel& model, const SwitchBox& s);

// A foreign-currency business box: unticked and locked when the account
// keeps no foreign-currency books (the stored flag alone, in any case),
// otherwise loaded from its switch.
void loadForeignCurrencyBox(ParameterReader& r, SetupModel& model, const SwitchBox& exchange);

// The two fixed statements of a switch: 'TRUE' when on, else 'FALSE'.
void writeSwitch(db::HostDatabase& DB, const Param& p, bool on);
// A value bound to the statement: it reaches the named row exactly.
void writeValue(db::HostDatabase& DB, const Param& p, const QVariant& value);
inline void writeText(db::HostDatabase& DB, const Param& p, const QString& text) {
    writeValue(DB, p, text);
}
// What the box holds (see SetupModel::textToWrite()).
void writeBox(db::HostDatabase& DB, const Param& p, const SetupModel& model, const QString& box);

// Start date text: account year, "-", the month as typed, "-1".
QString startDateText(const QString& year, const QString& month);

// Whether the parameter holds a non-empty value (a Null one does not count).
bool isParameterSet(db::HostDatabase& DB, const Param& p);
// cValue of "Select cValue from AccInformation Where ..."; fails when the
// row is missing.
db::Value singleValue(db::HostDatabase& DB, const Param& p);

// A stored value read as a date: a date the driver typed, or a date text.
std::optional<QDate> dateIn(const db::Value& value);
// The same, throwing (naming `what`) when the value is Null or not a date.
QDate dateOf(const db::Value& value, const QString& what);

}  // namespace zx::wizard
