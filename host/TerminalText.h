#pragma once

// Text on its way to a terminal. Script lines and database values may hold
// control characters that would move the cursor, recolour the screen or
// reorder what follows; they are shown as escapes instead.

#include <QString>

namespace zx::host {

// Control and format characters (C0, DEL, C1, bidi controls) and lone
// surrogates become \n, \t, \r or \uXXXX; everything else is kept.
QString escapedForTerminal(const QString& text);

// A value as the script grammar reads it back exactly: quoted, with
// escapes for quotes, backslashes and anything that is not plain text.
QString quotedScriptText(const QString& text);

// Columns the text takes on a terminal: CJK characters take two.
int terminalCells(const QString& text);
QString padToCells(const QString& text, int cells);

}  // namespace zx::host
