#include "model/TipsFile.h"

TIPS_READ ReadNextTip(std::FILE* stream, std::string& tip) {
  if (!stream) return TIPS_ERROR;
  char line[kTipsMaxLine + 1];
  // Reaching the end twice without a tip means the file holds none.
  int ends = 0;
  for (;;) {
    if (!std::fgets(line, sizeof line, stream)) {
      if (++ends > 1) return TIPS_NO_TIPS;
      std::clearerr(stream);
      if (std::fseek(stream, 0, SEEK_SET) != 0) return TIPS_ERROR;
      continue;
    }
    const char c = line[0];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';' || c == '\0') continue;
    tip = line;
    return TIPS_TIP;
  }
}
