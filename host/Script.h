#pragma once

// Scripts of user actions: UTF-8, one action per line, blank lines and
// lines starting with # ignored.
//   click NAME | type NAME TEXT | paste NAME TEXT | clear NAME | hover NAME
//   close | dump
// TEXT is the rest of the line, or a double-quoted string with the escapes
// \" \\ \t \uXXXX and \b (the Backspace key, for type only).

#include <QString>

#include <optional>
#include <vector>

namespace zx::host {

struct Action {
    enum Kind { Click, Type, Paste, Clear, Hover, Close, Dump } kind;
    QString control;
    QString text;  // for type: '\b' stands for the Backspace key
    int line = 0;
};

// nullopt and *error ("line N: ...") when a line is not an action.
std::optional<std::vector<Action>> parseScript(const QString& script, QString* error);

}  // namespace zx::host
