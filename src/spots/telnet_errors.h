#pragma once

#include <string>

namespace wexon::spots {

// The terminal message for a TCP error number ("Error number N" when unknown).
std::string telnetErrorMessage(int number);

} // namespace wexon::spots
