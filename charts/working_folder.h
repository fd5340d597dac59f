#pragma once
// The working folder "work" that every archive is unpacked into; the window
// and bmslist-cli share it.
#include <string>

// Unpacking form: ".../work", no trailing delimiter.
std::string WorkingFolderForUnpacking();
// Listing form: ".../work/".
std::string WorkingFolderForListing();
// Creates it when missing; a failure is silent (the drop then lists nothing).
void CreateWorkingFolder();
