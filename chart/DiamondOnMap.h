// One diamond arrow of the chart, as the stream worker lists it and the view draws it.
#pragma once

#include "platform/ui/AfxWin.h"

struct DIAMOND_ON_MAP {
  double latitude = 0.0;
  double longitude = 0.0;
  double speed = 0.0;      // metres per second
  double direction = 0.0;  // degrees true, the direction the stream runs towards
  int number = 0;
  CString name;  // the diamond's chart letter
};
