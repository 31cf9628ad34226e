#pragma once

#include <QString>

#include <stdexcept>

namespace zx {

// The one exception type that crosses the component's layers. The text is
// what a user or a log sees; it never holds a password.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message);
    ~Error() override;

    QString message() const { return QString::fromUtf8(what()); }
};

}  // namespace zx
