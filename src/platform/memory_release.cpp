#include "platform/memory_release.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace wexon::platform {

void releaseFreedMemory() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

} // namespace wexon::platform
