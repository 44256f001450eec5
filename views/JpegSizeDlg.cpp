#include "views/JpegSizeDlg.h"

IMPLEMENT_DYNAMIC(CJpegSizeDlg, CDialog)

CJpegSizeDlg::CJpegSizeDlg(CWnd* pParent) : CDialog(IDD, pParent) {}
CJpegSizeDlg::~CJpegSizeDlg() = default;

void CJpegSizeDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, 1035, m_spinWidth);
  DDX_Control(pDX, 1038, m_spinHeight);
  DDX_Control(pDX, 1039, m_slider);
  DDX_Text(pDX, 1037, m_nHeight);
  DDV_MinMaxInt(pDX, m_nHeight, kMinHeight, kMaxHeight);
  DDX_Text(pDX, 1036, m_nWidth);
  DDV_MinMaxInt(pDX, m_nWidth, kMinWidth, kMaxWidth);
  if (pDX->m_bSaveAndValidate)
    m_nSlider = m_slider.GetPos();
  else if (m_slider.GetSafeHwnd())
    m_slider.SetPos(m_nSlider);
}

BOOL CJpegSizeDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_spinWidth.SetRange32(kMinWidth, kMaxWidth);
  m_spinWidth.SetPos32(m_nWidth);
  m_spinHeight.SetRange32(kMinHeight, kMaxHeight);
  m_spinHeight.SetPos32(m_nHeight);
  m_slider.SetRange(0, 10, TRUE);
  m_slider.SetTicFreq(1);
  m_slider.SetPos(m_nSlider);
  return TRUE;
}
