#pragma once

#include <QString>

namespace zx::ui {

// The explanation shown in the help panel for a control, or a null QString
// for a control that has none (the panel then keeps its text).
QString helpTextFor(const QString& controlName);
bool hasHelpText(const QString& controlName);

}  // namespace zx::ui
