// The Windows side of shell/core/process.h.
#include "shell/core/process.h"

namespace zep {

// The C runtime keeps descriptors 0, 1 and 2 reserved even when the program
// was started without standard streams (a GUI program started by a
// double-click): files opened later never take their place.
void KeepStandardStreamsOpen() {}

}  // namespace zep
