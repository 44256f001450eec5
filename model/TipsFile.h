// The tips of the day file ("tips.txt"): one tip a line, read round and round.
#pragma once

#include <cstdio>
#include <string>

// What ReadNextTip found.
enum TIPS_READ {
  TIPS_TIP = 1,      // a tip, in tip
  TIPS_NO_TIPS = 0,  // a whole round of the file gave no tip
  TIPS_ERROR = -1    // the file could not be gone back to its start
};

// Lines of at most this many characters; a longer line is read in pieces.
constexpr int kTipsMaxLine = 1000;

// Reads on from the stream's position to the next tip: a line that does not begin with a
// space, a tab, a line break or ';' (kept with its line break). At the end of the file the
// stream goes back to its start and reading goes on, once.
TIPS_READ ReadNextTip(std::FILE* stream, std::string& tip);
