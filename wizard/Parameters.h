#pragma once

// Every AccInformation row the wizard reads or writes, by subsystem and key.

#include <QString>

namespace zx::wizard {

// Whether a parameter key names a control password (cCreditPwd, ...): its
// value is never shown.
inline bool isPasswordParameter(const QString& cName) {
    return cName.endsWith(QLatin1String("Pwd"), Qt::CaseInsensitive);
}

// A stored value as it may be shown outside the window: a password that is
// set reads ***, hiding its text and its length; an empty one stays empty,
// so that a reader sees that none is set.
inline QString shownParameterValue(const QString& cName, const QString& text) {
    return isPasswordParameter(cName) && !text.isEmpty() ? QStringLiteral("***") : text;
}

struct Param {
    const char* sys;
    const char* name;
};

namespace AA {
inline constexpr Param bStrsAuxUnit{"AA", "bStrsAuxUnit"};
inline constexpr Param bFlotEmerge{"AA", "bFlotEmerge"};
inline constexpr Param bAuxFitMgr{"AA", "bAuxFitMgr"};
inline constexpr Param bRemote{"AA", "bRemote"};
inline constexpr Param cID{"AA", "cID"};
inline constexpr Param bGoodClass{"AA", "bGoodClass"};
inline constexpr Param bCustClass{"AA", "bCustClass"};
inline constexpr Param bProvClass{"AA", "bProvClass"};
inline constexpr Param lFixed{"AA", "lFixed"};
inline constexpr Param cGoodClass{"AA", "cGoodClass"};
inline constexpr Param cCustClass{"AA", "cCustClass"};
inline constexpr Param cProvClass{"AA", "cProvClass"};
inline constexpr Param bFrgnCurrencyacc{"AA", "bFrgnCurrencyacc"};
inline constexpr Param cSysVersion{"AA", "cSysVersion"};
inline constexpr Param bProxySell{"AA", "bProxySell"};
inline constexpr Param bCommitSell{"AA", "bCommitSell"};
}  // namespace AA

namespace ST {
inline constexpr Param bBatch{"ST", "bBatch"};
inline constexpr Param bQuality{"ST", "bQuality"};
inline constexpr Param bTrans{"ST", "bTrans"};
inline constexpr Param bAssmble{"ST", "bAssmble"};
inline constexpr Param bSTcontrol{"ST", "bSTcontrol"};
inline constexpr Param dSTStartDate{"ST", "dSTStartDate"};
inline constexpr Param bSAcreat{"ST", "bSAcreat"};
}  // namespace ST

namespace PU {
inline constexpr Param bExchange{"PU", "bExchange"};
inline constexpr Param dPUStartDate{"PU", "dPUStartDate"};
}  // namespace PU

namespace SA {
inline constexpr Param bExchange{"SA", "bExchange"};
inline constexpr Param bSaleDaily{"SA", "bSaleDaily"};
inline constexpr Param bSaleMove{"SA", "bSaleMove"};
inline constexpr Param bDispatch{"SA", "bDispatch"};
inline constexpr Param bOverOrder{"SA", "bOverOrder"};
inline constexpr Param bSalePrice{"SA", "bSalePrice"};
inline constexpr Param bPlanMoney{"SA", "bPlanMoney"};
inline constexpr Param bCredit{"SA", "bCredit"};
inline constexpr Param cCreditPwd{"SA", "cCreditPwd"};
inline constexpr Param bLowPrice{"SA", "bLowPrice"};
inline constexpr Param cLowPricePwd{"SA", "cLowPricePwd"};
inline constexpr Param dSaleStartDate{"SA", "dSaleStartDate"};
inline constexpr Param dStartDate{"SA", "dStartDate"};
inline constexpr Param bOverStock{"SA", "bOverStock"};
inline constexpr Param cOverStockPwd{"SA", "cOverStockPwd"};
}  // namespace SA

namespace IA {
inline constexpr Param cValueStyle{"IA", "cValueStyle"};
inline constexpr Param cEstimate{"IA", "cEstimate"};
inline constexpr Param cZero{"IA", "cZero"};
inline constexpr Param cPlan{"IA", "cPlan"};
inline constexpr Param dIAStartDate{"IA", "dIAStartDate"};
}  // namespace IA

inline constexpr Param dGLStartDate{"GL", "dGLStartDate"};
inline constexpr Param dARStartDate{"AR", "dARStartDate"};
inline constexpr Param dAPStartDate{"AP", "dAPStartDate"};

}  // namespace zx::wizard
