// SPDX-License-Identifier: MIT
#include "platform/error.h"

namespace platform {

// Out of line so that the type's identity lives in the platform library
// that the host and every archiver library share.
Error::~Error() = default;

}  // namespace platform
