#pragma once

#include <QString>

namespace wexon::platform {

// The user's documents folder ($HOME/Documents normally), created when missing.
// Empty when it cannot be had.
QString documentsFolder();

} // namespace wexon::platform
