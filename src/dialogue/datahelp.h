// datahelp: the summary of a scores file shown when the analyst types "help"
// at the scores-file question: the lane-miles of pavement by score 1 to 10 of
// the first four groups, then a wait for <Enter>. A missing or unreadable
// file, or one that ends before its second line or inside a group, is a
// fatal stop naming the file; a segment whose score lies outside 1..10 is
// not counted.
#pragma once

#include "io/console.h"
#include "io/record_files.h"

namespace pavecast {

void datahelp(Console& console, const FilePath& scores_file);

}  // namespace pavecast
