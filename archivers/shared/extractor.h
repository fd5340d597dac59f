// SPDX-License-Identifier: MIT
#pragma once
// Extraction: every selected entry of the archive written below the
// destination, streamed in chunks (memory per entry stays bounded whatever
// the entry's size), with progress reports to the owner window.
//
// Result: 0 when every selected entry was written; otherwise the first
// error met. An entry that fails (unsafe name, damaged or encrypted data,
// unsupported method, a name the file system refuses) costs only itself:
// what was written of it is removed and the next entry follows. A header
// that cannot be read, a full disk, an archive expanding past any plausible
// size and the user's abort (ERROR_USER_CANCEL) end the operation.
//
// Before anything is written, the sizes the entries declare must fit in
// the free space minus a reserve (else ERROR_DISK_SPACE); for streams that
// cannot be listed cheaply, each entry's size is weighed as it comes. An
// entry writing past its declared size is stopped as damaged.
#include <string>
#include <vector>

#include "archivers/shared/extract_request.h"
#include "archivers/shared/reader_opener.h"

namespace arc {

int Extract(const ExtractRequest& req, const std::vector<ReaderOpener>& openers, std::string& message);

}  // namespace arc
