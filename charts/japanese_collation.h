// SPDX-License-Identifier: MIT
#pragma once
// The Japanese collation the list sorts by: ICU's Japanese tailoring plus
// the word-sort habit of Windows (hyphen-minus and apostrophe ignorable).
// ICU takes a good part of a second to build it from its rules, at every
// start, so the build makes it once (charts/tools/make_collation) and the
// program opens that image; an image another ICU version made is not used,
// and the rules are built instead.
#include <unicode/ucol.h>

// From the rules; aborts when ICU has no data at all.
UCollator* BuildJapaneseCollation();
// From the build's image where it fits this ICU, else from the rules. The
// caller closes it.
UCollator* OpenJapaneseCollation();
