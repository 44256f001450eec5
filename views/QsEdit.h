// The height edit of the height finder: takes digits and the user's decimal separator, reads
// and writes its number in the user's locale, and runs the search on Enter.
#pragma once

#include "platform/ui/AfxWin.h"

// What the edit asks of its parent when the user presses Enter.
class IHeightFinder {
 public:
  virtual ~IHeightFinder() = default;
  virtual void Find() = 0;
};

class CQsEdit : public CEdit {
  DECLARE_DYNAMIC(CQsEdit)
  DECLARE_MESSAGE_MAP()
 public:
  CQsEdit() = default;

  // The text as a number in the user's locale; FALSE (value unchanged) when it is none.
  BOOL GetValue(double& value) const;
  // The value with nDecimals digits after the user's decimal separator.
  void SetValue(double value, int nDecimals = 2);
  // A typed height cleaned up: the digits before the user's decimal separator, that separator
  // (the first one) and at most nDecimals digits after it; everything else is dropped.
  static CString FilterText(LPCTSTR lpszText, int nDecimals = 2);

  void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
};
