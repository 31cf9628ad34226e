#pragma once

// The idioms every parameter group uses to read and write AccInformation:
// one recordset per load with FindFirst per parameter, cValue falling back
// to cDefault, the check-box rule, the two fixed switch statements and text
// values placed between quotes.

#include "Parameters.h"
#include "dbkit/HostDatabase.h"

#include <QDate>
#include <QString>

#include <memory>
#include <optional>

namespace zx::ui {
class CheckBox;
class Main;
}  // namespace zx::ui

namespace zx::wizard {

// "cSysID='AA' and cName='bStrsAuxUnit'"
QString criterionOf(const Param& p);

class ParameterReader {
public:
    // Opens "select * from AccInformation".
    explicit ParameterReader(db::HostDatabase& DB);

    // Makes the parameter's row current; its fields stay readable.
    void find(const Param& p);
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
};

// Sets a box from code; its Click handler runs as for a user's click, and a
// database failure in that handler is raised here.
void setCheck(ui::Main& main, ui::CheckBox* box, int value);

// A foreign-currency business box: unticked and locked when the account
// keeps no foreign-currency books (the stored flag alone, in any case),
// otherwise loaded from `exchange`.
void loadForeignCurrencyBox(ui::Main& main, ParameterReader& r, ui::CheckBox* box,
                            const Param& exchange);

// The two fixed statements of a switch: 'TRUE' when on, else 'FALSE'.
void writeSwitch(db::HostDatabase& DB, const Param& p, bool on);
// A box counts as ticked only when its value is exactly 1.
void writeSwitch(db::HostDatabase& DB, const Param& p, const ui::CheckBox* box);
// A text value, bound to the statement: it reaches the named row exactly.
void writeText(db::HostDatabase& DB, const Param& p, const QString& text);

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
