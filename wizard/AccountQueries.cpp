#include "AccountQueries.h"

#include "dbkit/HostDatabase.h"

#include <array>

namespace zx::wizard {

namespace {

constexpr std::array<ExistingDataGuard, 5> Guards = {{
    {"Ch11", "select * from Inventory Where cInvA_Unit<>''",
     "已存在有辅计量单位存货，不能修改此项设置"},
    {"Ch13", "select * from Inventory Where bAccessary<>0",
     "已存在有成套件管理的存货，不能修改此项设置"},
    {"Ch21", "select * from Inventory Where bInvBatch<>0",
     "已存在有批次管理的存货，不能修改此项设置"},
    {"Ch22", "select * from Inventory Where bInvQuality<>0",
     "已存在有保质期管理的存货，不能修改此项设置"},
    {"Ch32", "select * from Inventory Where bInvEntrust<>0",
     "已存在有受托代销的存货，不能修改此项设置"},
}};

constexpr std::array<Classification, 3> Classes = {{
    {"Ch15", AA::bGoodClass, "InventoryClass", "cInvCCode", "cInvCName", "iInvCGrade",
     AA::cGoodClass, "inventoryclass", "存货已有分类，不能设置为不分类"},
    {"Ch16", AA::bCustClass, "CustomerClass", "cCCCode", "cCCName", "iCCGrade", AA::cCustClass,
     "customerclass", "客户已有分类，不能设置为不分类"},
    {"Ch17", AA::bProvClass, "VendorClass", "cVCCode", "cVCName", "iVCGrade", AA::cProvClass,
     "vendorclass", "供应商已有分类，不能设置为不分类"},
}};

bool isEmpty(const db::HostRecordset& rs) {
    return rs.Bof() && rs.Eof();
}

}  // namespace

std::span<const ExistingDataGuard> existingDataGuards() {
    return Guards;
}

std::span<const Classification> classifications() {
    return Classes;
}

bool AccountQueries::hasDataFor(const ExistingDataGuard& guard) {
    return !isEmpty(*m_db.OpenRecordset(QString::fromUtf8(guard.sql)));
}

ClassificationVerdict AccountQueries::classification(const Classification& kind) {
    const auto rs =
        m_db.OpenRecordset(QStringLiteral("Select * from ") + QString::fromLatin1(kind.table));
    if (isEmpty(*rs))
        return {QStringLiteral("Y"), false};
    // Only the default class "00" alone may stand for an unclassified list.
    rs->MoveLast();
    bool refused = rs->RecordCount() != 1;
    if (!refused) {
        const db::Value code = rs->Recordset().Fields(QString::fromLatin1(kind.codeColumn));
        refused = code.isNull() || code.variant().toString() != QLatin1String("00");
    }
    return {QStringLiteral("N"), refused};
}

bool AccountQueries::departmentsValueAlike() {
    auto departments = m_db.OpenRecordset(
        QStringLiteral("Select cDepCode From ") +
        QStringLiteral("Warehouse Where not(cDepCode is null) Group by cDepCode"));
    if (isEmpty(*departments))
        return true;
    while (!departments->Eof()) {
        const QString code = departments->Recordset()
                                 .Fields(QStringLiteral("cDepCode"))
                                 .toText(QStringLiteral("cDepCode"));
        auto styles = m_db.OpenRecordset(QStringLiteral("Select cDepcode,cWhValueStyle ") +
                                             QStringLiteral("from Warehouse Where cDepcode=?") +
                                             QStringLiteral(" Group By cDepcode,cWhValueStyle"),
                                         {}, {code});
        if (styles->RecordCount() > 1)
            return false;
        departments->MoveNext();
    }
    return true;
}

bool AccountQueries::IsPeriodClosed(std::uint8_t period, const QString& sys) {
    auto rs = m_db.OpenRecordset(QStringLiteral("SELECT * FROM GL_mEnd WHERE iPeriod=") +
                                     QString::number(period) + QStringLiteral(" AND bFlag_") + sys +
                                     QStringLiteral(" <>0"),
                                 4);
    const bool closed = rs->RecordCount() > 0;
    rs->Close();
    return closed;
}

}  // namespace zx::wizard
