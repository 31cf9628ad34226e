#pragma once

#include <QString>

namespace zx::ui {

// A modal message box with a single OK button ("确定") and the icon `buttons` names
// (16 critical, 32 question, 48 exclamation, 64 information), over the
// active modal window. Returns 1, OK.
int showMessageBox(const QString& prompt, int buttons, const QString& title);

}  // namespace zx::ui
