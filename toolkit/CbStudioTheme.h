// The studio look (kind 4): the gradient look on its derived colours whatever the system
// scheme, with a few shades of its own under the blue and silver schemes.
#pragma once

#include "toolkit/CbGradientTheme.h"

namespace CbPaintThemes {

class CCbStudioTheme : public CCbGradientTheme {
  DECLARE_DYNAMIC(CCbStudioTheme)
 public:
  CCbStudioTheme();
  void UpdateMetrics() override;
};

}  // namespace CbPaintThemes
