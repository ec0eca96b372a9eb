#pragma once

#include "keying/cw_host.h"

class QObject;

namespace wexon::platform {

// A window-thread post for the keyer: the work runs in the thread of
// `context` (the window thread for a window) once control is back in its event
// loop, and is dropped when `context` is destroyed first.
keying::WindowThreadPost windowThreadPost(QObject* context);

} // namespace wexon::platform
