// SPDX-License-Identifier: MIT
#pragma once
// The listing and testing commands every dialect maps its own words to
// (LHA "l"/"t", UnZip "-l"/"-t", tar "-tvf"...): one table writer and one
// tester for all libraries.
#include <string>
#include <vector>

#include "archivers/shared/extract_request.h"
#include "archivers/shared/reader_opener.h"

namespace arc {

// A table of the selected entries (sizes, ratio, local date and time,
// attributes, method, name) with a total line. Rows stop once the table
// passes `room` bytes (the caller's buffer; the total still counts every
// entry), so an archive of millions of entries costs no more memory. 0, or
// the error that ended the walk (the table then holds the entries before
// it).
int ListArchive(const ExtractRequest& req, const std::vector<ReaderOpener>& openers, std::size_t room,
                std::string& table);

// Decodes every selected entry into nothing, checking what the format
// checks. 0 when all are sound, otherwise the first error met; a damaged
// entry costs only itself, so the message names every entry that failed.
// Output past the extraction's plausibility limits stops the test as a
// bomb (ERROR_EXPANDS_TOO_FAR), so a test always ends.
int TestArchive(const ExtractRequest& req, const std::vector<ReaderOpener>& openers, std::string& message);

}  // namespace arc
