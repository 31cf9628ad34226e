#pragma once

#include <QFont>

namespace zx {

// The face the wizard's Chinese desktop draws its windows and message boxes
// in, 9 pt at 96 dpi (12 px, scaled with the screen): ideographs from a Song
// face, Latin letters and digits from a sans face whose strokes stay solid at
// fractional scales. Where the Song face carries hand-tuned bitmaps for the
// device size (its 12-px strike at 1x), they are drawn as they are,
// unsmoothed.
QFont desktopFont(qreal devicePixelRatio);

}  // namespace zx
