#include "app/AboutDlg.h"

#include "app/DialogDrawing.h"

IMPLEMENT_DYNAMIC(CAboutDlg, CDialog)

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUTBOX, pParent) {
  m_strTitle = "Quillane Software Neapwise\nwith Tidal Streams";
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_ABOUT_TITLE, m_strTitle);
}

BOOL CAboutDlg::OnInitDialog() {
  m_bBitmap = LoadBitmapWithPalette(IDB_ABOUT, m_bitmap, m_palette);
  CDialog::OnInitDialog();
  CenterWindow(m_pParentWnd);
  return TRUE;
}

void CAboutDlg::OnPaint() {
  CPaintDC dc(this);
  if (!m_bBitmap) return;
  CPalette* oldPalette = dc.SelectPalette(&m_palette, FALSE);
  dc.RealizePalette();
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  CBitmap* old = mem.SelectObject(&m_bitmap);
  BITMAP bm{};
  m_bitmap.GetBitmap(&bm);
  dc.BitBlt(10, 10, bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
  mem.SelectObject(old);
  if (oldPalette) dc.SelectPalette(oldPalette, FALSE);
}
