#pragma once
// Extraction: every selected entry of the archive written below the
// destination, streamed in chunks (memory per entry stays bounded whatever
// the entry's size), with progress reports to the owner window.
//
// Result: 0 when every selected entry was written; otherwise the first
// error met. Entries refused as unsafe (ERROR_UNSAFE_PATH) or that cannot
// be created are skipped and the rest is extracted; damaged data,
// a full disk or the user's abort (ERROR_USER_CANCEL) stop the operation.
// A file whose data fails is removed, never left half-written.
#include <string>
#include <vector>

#include "archivers/shared/extract_request.h"
#include "archivers/shared/reader_opener.h"

namespace arc {

int Extract(const ExtractRequest& req, const std::vector<ReaderOpener>& openers, std::string& message);

}  // namespace arc
