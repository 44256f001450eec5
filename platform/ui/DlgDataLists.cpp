// Data exchange for combo boxes and list boxes.
#include "platform/ui/Dialog.h"

#include "platform/ui/CtlInternal.h"

#include <vector>

namespace {

CString itemText(HWND h, UINT lenMsg, UINT textMsg, int i) {
  CString s;
  int n = (int)::SendMessage(h, lenMsg, (WPARAM)i, 0);
  if (n < 0) return s;
  std::vector<char> buf((size_t)n + 1, '\0');
  ::SendMessage(h, textMsg, (WPARAM)i, (LPARAM)buf.data());
  s = buf.data();
  return s;
}

bool dropList(HWND h) { return (AfxCtlStyle(h) & 0x3) == CBS_DROPDOWNLIST; }

void putComboString(HWND h, const CString& value, UINT findMsg) {
  int i = (int)::SendMessage(h, findMsg, (WPARAM)-1, (LPARAM)(LPCTSTR)value);
  if (i >= 0) {
    ::SendMessage(h, CB_SETCURSEL, (WPARAM)i, 0);
    return;
  }
  // No item: an editable combo shows the text itself, a drop-list shows no selection.
  ::SendMessage(h, CB_SETCURSEL, (WPARAM)-1, 0);
  if (!dropList(h)) ::SetWindowText(h, value);
}

}  // namespace

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    index = (int)::SendMessage(h, CB_GETCURSEL, 0, 0);
  else
    ::SendMessage(h, CB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    if (dropList(h)) {
      int i = (int)::SendMessage(h, CB_GETCURSEL, 0, 0);
      value = i >= 0 ? itemText(h, CB_GETLBTEXTLEN, CB_GETLBTEXT, i) : CString();
    } else {
      value = AfxCtlText(h).toUtf8().constData();
    }
  } else {
    putComboString(h, value, CB_FINDSTRING);
  }
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    DDX_CBString(pDX, nIDC, value);
  else
    putComboString(h, value, CB_FINDSTRINGEXACT);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    index = (int)::SendMessage(h, LB_GETCURSEL, 0, 0);
  else
    ::SendMessage(h, LB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    int i = (int)::SendMessage(h, LB_GETCURSEL, 0, 0);
    value = i >= 0 ? itemText(h, LB_GETTEXTLEN, LB_GETTEXT, i) : CString();
  } else {
    int i = (int)::SendMessage(h, LB_FINDSTRING, (WPARAM)-1, (LPARAM)(LPCTSTR)value);
    ::SendMessage(h, LB_SETCURSEL, (WPARAM)i, 0);
  }
}
