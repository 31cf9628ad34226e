#include "ParameterRows.h"

#include "SetupModel.h"
#include "vb/Vb.h"

namespace zx::wizard {

namespace {

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

}  // namespace

QString criterionOf(const Param& p) {
    return QStringLiteral("cSysID='") + latin(p.sys) + QStringLiteral("' and cName='") +
           latin(p.name) + QLatin1Char('\'');
}

QString nameOf(const Param& p) {
    return latin(p.sys) + QLatin1Char(' ') + latin(p.name);
}

ParameterReader::ParameterReader(db::HostDatabase& DB, LoadedRows* shown)
    : m_rs(DB.OpenRecordset(QStringLiteral("select * from AccInformation"))), m_shown(shown) {}

void ParameterReader::find(const Param& p) {
    m_rs->FindFirst(criterionOf(p));
    if (m_shown)
        m_shown->record(p, row());
}

std::optional<LoadedRows::Row> ParameterReader::row() const {
    const db::AdoRecordset& fields = m_rs->Recordset();
    LoadedRows::Row row{fields.Fields(QStringLiteral("cSysID")),
                        fields.Fields(QStringLiteral("cName")), cValue(), cDefault()};
    // A row matched its key, so only the absence of a row reads a Null key.
    if (row.cSysID.isNull())
        return std::nullopt;
    return row;
}

db::Value ParameterReader::cValue() const {
    return m_rs->Recordset().Fields(QStringLiteral("cValue"));
}

db::Value ParameterReader::cDefault() const {
    return m_rs->Recordset().Fields(QStringLiteral("cDefault"));
}

db::Value ParameterReader::value() const {
    const db::Value stored = cValue();
    return stored.hasText() ? stored : cDefault();
}

int ParameterReader::checkValue() const {
    const db::Value v = value();
    return !v.isNull() && vb::UCase(v.variant().toString()) == QLatin1String("TRUE") ? 1 : 0;
}

void loadSwitch(ParameterReader& r, SetupModel& model, const SwitchBox& s) {
    model.setCheck(latin(s.box), r.checkValue(s.param));
}

void saveSwitch(db::HostDatabase& DB, const SetupModel& model, const SwitchBox& s) {
    writeSwitch(DB, s.param, model.ticked(latin(s.box)));
}

void loadForeignCurrencyBox(ParameterReader& r, SetupModel& model, const SwitchBox& exchange) {
    r.find(AA::bFrgnCurrencyacc);
    if (vb::UCase(r.cValue().textOrEmpty()) == QLatin1String("FALSE")) {
        model.setCheck(latin(exchange.box), 0);
        model.setEnabled(latin(exchange.box), false);
    } else {
        loadSwitch(r, model, exchange);
    }
}

void writeSwitch(db::HostDatabase& DB, const Param& p, bool on) {
    DB.Execute(QStringLiteral("Update AccInformation set cValue='") +
               (on ? QStringLiteral("TRUE") : QStringLiteral("FALSE")) +
               QStringLiteral("' Where ") + criterionOf(p));
}

void writeValue(db::HostDatabase& DB, const Param& p, const QVariant& value) {
    DB.Execute(QStringLiteral("Update AccInformation set cValue=? Where ") + criterionOf(p),
               {value});
}

void writeBox(db::HostDatabase& DB, const Param& p, const SetupModel& model, const QString& box) {
    writeValue(DB, p, model.textToWrite(box));
}

QString startDateText(const QString& year, const QString& month) {
    return year + QLatin1Char('-') + month + QStringLiteral("-1");
}

bool isParameterSet(db::HostDatabase& DB, const Param& p) {
    const auto rs = DB.OpenRecordset(QStringLiteral("Select * from AccInformation where ") +
                                     criterionOf(p) + QStringLiteral(" and cValue<>''"));
    return !(rs->Bof() && rs->Eof());
}

db::Value singleValue(db::HostDatabase& DB, const Param& p) {
    const auto rs = DB.OpenRecordset(QStringLiteral("Select cValue from AccInformation Where ") +
                                     criterionOf(p));
    return rs->Recordset().Fields(QStringLiteral("cValue"));
}

std::optional<QDate> dateIn(const db::Value& value) {
    if (value.isNull())
        return std::nullopt;
    const QVariant& v = value.variant();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return vb::ParseDate(v.toString());
}

QDate dateOf(const db::Value& value, const QString& what) {
    if (const auto date = dateIn(value))
        return *date;
    return vb::CDate(value.toText(what), what);  // throws with the offending text
}

}  // namespace zx::wizard
