#include "Error.h"

namespace zx {

Error::Error(const QString& message) : std::runtime_error(message.toStdString()) {}

// Out of line so that the type has one home in the shared library and is
// caught by the same type_info in host and component.
Error::~Error() = default;

}  // namespace zx
