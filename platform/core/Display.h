#pragma once

namespace zx {

// Whether a window made now would be seen by somebody: the platform Qt
// would choose has a screen (an X server that accepts, a Wayland display, a
// framebuffer), rather than offscreen or minimal. Asked before an
// application exists: Qt aborts the process when no platform loads.
bool displayAvailable();

}  // namespace zx
