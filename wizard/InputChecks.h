#pragma once

// What the window's checks accept in a text box before it moves on.

#include <QString>

namespace zx::wizard {

enum class Entry { Valid, Missing, Invalid };

// The remote identification number on Next: two characters that read as a
// number from 0 to 99 ("07", "5 ").
Entry checkRemoteId(const QString& text);
// A start month on Finish: a number from 1 to 12 whose text, between `year`
// and "-1", makes a date ("3", "03"; not "3.0").
Entry checkStartMonth(const QString& text, int year);

}  // namespace zx::wizard
