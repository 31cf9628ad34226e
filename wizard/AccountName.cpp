#include "AccountName.h"

#include "vb/Vb.h"

namespace zx::wizard {

namespace {

// `length` characters from `offset` after the first `marker`, found without
// regard to case and cut from the text as it stands.
QString cutAfter(const QString& text, const QString& marker, int offset, int length) {
    return vb::Mid(text, vb::InStr(vb::UCase(text), marker) + offset, length);
}

}  // namespace

QString yearAfterZxdataUnderscore(const QString& connection) {
    return cutAfter(connection, QStringLiteral("ZXDATA_"), 11, 4);
}

QString accountAfterZxdataUnderscore(const QString& connection) {
    return cutAfter(connection, QStringLiteral("ZXDATA_"), 7, 3);
}

QString yearAfterZxdata(const QString& connection) {
    return cutAfter(connection, QStringLiteral("ZXDATA"), 11, 4);
}

}  // namespace zx::wizard
