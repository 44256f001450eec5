#include "views/QsEdit.h"

#include <string>

IMPLEMENT_DYNAMIC(CQsEdit, CEdit)

BEGIN_MESSAGE_MAP(CQsEdit, CEdit)
  ON_WM_KEYUP()
  ON_WM_CHAR()
  ON_MESSAGE(WM_PASTE, OnPaste)
END_MESSAGE_MAP()

namespace {

CString DecimalSeparator() {
  CString dec = AfxGetLocaleValues().decimalSeparator;
  return dec.IsEmpty() ? CString(".") : dec;
}

}  // namespace

BOOL CQsEdit::GetValue(double& value) const {
  CString text;
  GetWindowText(text);
  return AfxParseUserNumber(text, value);
}

void CQsEdit::SetValue(double value, int nDecimals) { SetWindowText(AfxFormatUserNumber(value, nDecimals)); }

CString CQsEdit::FilterText(LPCTSTR lpszText, int nDecimals) {
  std::string in = lpszText ? lpszText : "";
  std::string dec = (LPCTSTR)DecimalSeparator();
  std::string out;
  bool seenSeparator = false;
  int after = 0;
  for (size_t i = 0; i < in.size();) {
    if (!seenSeparator && in.compare(i, dec.size(), dec) == 0) {
      out += dec;
      seenSeparator = true;
      i += dec.size();
      continue;
    }
    char c = in[i++];
    if (c < '0' || c > '9') continue;
    if (seenSeparator) {
      if (after >= nDecimals) continue;
      ++after;
    }
    out += c;
  }
  return CString(out.c_str());
}

void CQsEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
  // Control characters (editing keys, clipboard shortcuts) and digits go through.
  if (nChar < 0x20 || (nChar >= '0' && nChar <= '9')) {
    CEdit::OnChar(nChar, nRepCnt, nFlags);
    return;
  }
  CString dec = DecimalSeparator();
  if (dec.GetLength() == 1 && nChar == (UINT)(unsigned char)dec[0]) {
    // One separator only: another may replace the selected one.
    CString text;
    GetWindowText(text);
    int start = 0, end = 0;
    GetSel(start, end);
    CString outside = text.Left(start) + text.Mid(end);
    if (outside.Find(dec[0]) < 0) {
      CEdit::OnChar(nChar, nRepCnt, nFlags);
      return;
    }
  }
  ::MessageBeep(MB_OK);
}

LRESULT CQsEdit::OnPaste(WPARAM, LPARAM) {
  CString clip;
  if (!AfxGetClipboardText(clip)) return 0;
  // A pasted number keeps its digits and decimal separator; grouping and the rest go.
  std::string in = (LPCTSTR)clip, dec = (LPCTSTR)DecimalSeparator(), out;
  for (size_t i = 0; i < in.size();) {
    if (in.compare(i, dec.size(), dec) == 0) {
      out += dec;
      i += dec.size();
    } else {
      char c = in[i++];
      if (c >= '0' && c <= '9') out += c;
    }
  }
  if (!out.empty()) ReplaceSel(out.c_str(), TRUE);
  return 0;
}

void CQsEdit::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (nChar == 13 || nChar == 10) {
    if (auto* finder = dynamic_cast<IHeightFinder*>(GetParent())) finder->Find();
  }
  CEdit::OnKeyUp(nChar, nRepCnt, nFlags);
}
