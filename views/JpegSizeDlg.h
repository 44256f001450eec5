// The size and quality of a JPEG picture of the graph: width and height with spins, and a
// compression slider whose position x 10 is the JPEG quality.
#pragma once

#include "platform/ui/AfxWin.h"

class CJpegSizeDlg : public CDialog {
  DECLARE_DYNAMIC(CJpegSizeDlg)
 public:
  enum { IDD = 176 };
  static constexpr int kMinWidth = 100, kMaxWidth = 2500, kMinHeight = 100, kMaxHeight = 1500;

  explicit CJpegSizeDlg(CWnd* pParent = nullptr);
  ~CJpegSizeDlg() override;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // The JPEG quality the slider stands for (0..100).
  int GetQuality() const { return m_nSlider * 10; }

  CSpinButtonCtrl m_spinWidth;
  CSpinButtonCtrl m_spinHeight;
  CSliderCtrl m_slider;
  int m_nHeight = 200;
  int m_nWidth = 350;
  int m_nSlider = 10;
};
