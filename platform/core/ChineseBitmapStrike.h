#pragma once

#include <QFont>

#include <optional>

namespace zx {

// Whether the face Qt draws Chinese with for `font` carries bitmaps of its
// own for `pixelSize` (a strike in its EBLC table). Told from the font
// file's table directory and the EBLC header, a few kilobytes, without
// loading the face; nullopt where that cannot be told for certain.
std::optional<bool> chineseBitmapStrike(const QFont& font, int pixelSize);

// The same, asked of the face that draws an ideograph in `font`: exact, at
// the price of loading that face and reading its whole EBLC table.
bool loadedChineseBitmapStrike(const QFont& font, int pixelSize);

}  // namespace zx
