#include "Wizard.h"

#include "WBAS.h"
#include "core/Error.h"
#include "dbkit/HostDatabase.h"
#include "dbkit/TransactionGuard.h"
#include "vb/Vb.h"
#include "window/Main.h"

#include <QApplication>

namespace zx::wizard {

namespace {

// The window needs a widget application; a host without one gets one.
void ensureApplication() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (QCoreApplication::instance())
        throw Error(
            QStringLiteral("the wizard needs a QApplication, but the host runs a plain %1")
                .arg(QString::fromLatin1(QCoreApplication::instance()->metaObject()->className())));
    static int argc = 1;
    static char name[] = "zxwizard";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
}

}  // namespace

// The subsystem groups, matched exactly (case-sensitive); any other code
// has the common parameters only.
const Wizard::Group* Wizard::groupOf(const QString& cSys) {
    static const Group groups[] = {
        {"ST", &Wizard::LoadStockParameters, &Wizard::SaveStockParameters},
        {"PU", &Wizard::LoadPurchaseParameters, &Wizard::SavePurchaseParameters},
        {"SA", &Wizard::LoadSalesParameters, &Wizard::SaveSalesParameters},
        {"IA", &Wizard::LoadInventoryAccountingParameters,
         &Wizard::SaveInventoryAccountingParameters},
    };
    for (const Group& group : groups)
        if (cSys == QLatin1String(group.code))
            return &group;
    return nullptr;
}

std::int32_t Wizard::Run(db::HostDatabase& DB, QString& cSys) {
    ensureApplication();
    SaveFailure.clear();

    // The account year and number sit in the database name ZXDATA_aaa_yyyy.
    const QString connection = DB.Connection().ConnectionString();
    const int p = vb::InStr(vb::UCase(connection), QStringLiteral("ZXDATA_"));
    AccountYear = vb::Mid(connection, p + 11, 4);
    if (vb::CompareOrdinal(QStringLiteral("1980"), AccountYear) > 0 ||
        vb::CompareOrdinal(AccountYear, QStringLiteral("2050")) > 0) {
        WBAS::MsgBox(QStringLiteral("打开的数据库有问题！（") + AccountYear + QStringLiteral("）"),
                     64, QStringLiteral("建帐向导"));
        return 2;
    }
    AccountId = vb::Mid(DB.Connection().ConnectionString(), p + 7, 3);

    WBAS::CancelCode = 0;
    WBAS::StartCheckMode = 0;

    WBAS::ReapUnloaded();
    ui::Main& main = WBAS::MainForm();
    main.SysCode = cSys;
    main.HostDb = &DB;

    const Group* group = groupOf(cSys);
    LoadCommonParameters(DB);
    if (group)
        (this->*group->load)(DB);

    if (WBAS::StartCheckMode != 0 && !CheckStartPeriod(DB, WBAS::StartCheckMode))
        return 2;

    main.ShowModal();
    WBAS::ReapUnloaded();
    if (WBAS::CancelCode != 0)
        return WBAS::CancelCode;

    db::TransactionGuard transaction(DB);
    try {
        SaveCommonParameters(DB);
        if (group)
            (this->*group->save)(DB);
        transaction.commit();
        WBAS::UnloadMain();
        WBAS::ReapUnloaded();
        return 0;
    } catch (const std::exception& error) {
        // The window stays loaded and hidden; a later run reuses it.
        SaveFailure = QString::fromUtf8(error.what());
        transaction.rollback();
        return 1;
    } catch (...) {
        SaveFailure = QStringLiteral("unknown failure");
        transaction.rollback();
        return 1;
    }
}

}  // namespace zx::wizard
