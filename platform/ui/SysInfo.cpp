#include "platform/ui/SysInfo.h"

#include "platform/ui/UiInternal.h"

#include <QGuiApplication>
#include <QScreen>

#include <cstring>

namespace {

// The platform's classic "Windows Standard" scheme, in which the button face is the
// 192,192,192 grey that toolbar pictures use as their background.
COLORREF g_sysColors[31] = {
    RGB(192, 192, 192),  // COLOR_SCROLLBAR
    RGB(0, 128, 128),    // COLOR_BACKGROUND
    RGB(0, 0, 128),      // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),        // COLOR_3DDKSHADOW
    RGB(223, 223, 223),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(192, 192, 192),  // 25 (unused)
    RGB(0, 0, 255),      // COLOR_HOTLIGHT
    RGB(16, 132, 208),   // COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),      // COLOR_MENUHILIGHT
    RGB(192, 192, 192),  // COLOR_MENUBAR
};

QRect screenRect() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry() : QRect(0, 0, 1024, 768);
}
QRect workRect() { return AfxWorkArea(); }

void menuFont(LOGFONT* lf) {
  std::memset(lf, 0, sizeof(*lf));
  lf->lfHeight = -11;
  lf->lfWeight = FW_NORMAL;
  lf->lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf->lfFaceName, "Tahoma");
}

}  // namespace

COLORREF GetSysColor(int nIndex) {
  if (nIndex < 0 || nIndex > 30) return 0;
  return g_sysColors[nIndex];
}

BOOL SetSysColorsForTest(int nIndex, COLORREF c) {
  if (nIndex < 0 || nIndex > 30) return FALSE;
  g_sysColors[nIndex] = c;
  return TRUE;
}

int GetSystemMetrics(int nIndex) {
  QRect scr = screenRect(), work = workRect();
  switch (nIndex) {
    case SM_CXSCREEN: return scr.width();
    case SM_CYSCREEN: return scr.height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 16;
    case SM_CYVSCROLL:
    case SM_CXHSCROLL: return 16;
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return 18;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_CYSMCAPTION: return 15;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE: return 12;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXMINTRACK: return 112;
    case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return 75;
    // Under a window manager a maximised window, its frame included, is the work area, and a
    // full-screen window's client area is that less the frame.
    case SM_CXFULLSCREEN: {
      const QMargins m = AfxWindowManagerExtents(nullptr);
      return work.width() - m.left() - m.right();
    }
    case SM_CYFULLSCREEN: {
      const QMargins m = AfxWindowManagerExtents(nullptr);
      return m.isNull() ? work.height() - 19 : work.height() - m.top() - m.bottom();
    }
    case SM_CXMAXIMIZED: return AfxWindowManagerExtents(nullptr).isNull() ? work.width() + 8 : work.width();
    case SM_CYMAXIMIZED: return AfxWindowManagerExtents(nullptr).isNull() ? work.height() + 8 : work.height();
    case SM_CXMAXTRACK: return scr.width() + 12;
    case SM_CYMAXTRACK: return scr.height() + 12;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN: return 0;
    case SM_CXVIRTUALSCREEN: return scr.width();
    case SM_CYVIRTUALSCREEN: return scr.height();
    case SM_CMONITORS: return std::max(1, (int)QGuiApplication::screens().size());
    case SM_CMOUSEBUTTONS: return 3;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_SWAPBUTTON:
    case SM_MENUDROPALIGNMENT:
    case SM_REMOTESESSION: return 0;
  }
  return 0;
}

BOOL SystemParametersInfo(UINT action, UINT, LPVOID pv, UINT) {
  switch (action) {
    case SPI_GETWORKAREA: {
      if (!pv) return FALSE;
      QRect w = workRect();
      SetRect((RECT*)pv, w.left(), w.top(), w.left() + w.width(), w.top() + w.height());
      return TRUE;
    }
    case SPI_GETNONCLIENTMETRICS: {
      if (!pv) return FALSE;
      auto* m = (NONCLIENTMETRICS*)pv;
      UINT cb = m->cbSize ? m->cbSize : sizeof(NONCLIENTMETRICS);
      std::memset(m, 0, sizeof(*m));
      m->cbSize = cb;
      m->iBorderWidth = 1;
      m->iScrollWidth = m->iScrollHeight = 16;
      m->iCaptionWidth = m->iCaptionHeight = 18;
      m->iSmCaptionWidth = m->iSmCaptionHeight = 12;
      m->iMenuWidth = m->iMenuHeight = 18;
      menuFont(&m->lfCaptionFont);
      m->lfCaptionFont.lfWeight = FW_BOLD;
      menuFont(&m->lfSmCaptionFont);
      m->lfSmCaptionFont.lfWeight = FW_BOLD;
      menuFont(&m->lfMenuFont);
      menuFont(&m->lfStatusFont);
      menuFont(&m->lfMessageFont);
      return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
      // The menu font's face and size.
      if (!pv) return FALSE;
      menuFont((LOGFONT*)pv);
      return TRUE;
    // Animations, fades and shadows are off, as in the classic look; cues always shown.
    case SPI_GETMENUANIMATION:
    case SPI_GETMENUFADE:
    case SPI_GETDROPSHADOW:
    case SPI_GETFLATMENU:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETSELECTIONFADE:
    case SPI_GETCOMBOBOXANIMATION:
      if (pv) *(BOOL*)pv = FALSE;
      return TRUE;
    case SPI_GETKEYBOARDCUES:
      if (pv) *(BOOL*)pv = TRUE;
      return TRUE;
    case SPI_GETWHEELSCROLLLINES:
      if (pv) *(UINT*)pv = 3;
      return TRUE;
    case SPI_GETMENUSHOWDELAY:
      if (pv) *(UINT*)pv = 400;
      return TRUE;
    case SPI_GETHIGHCONTRAST: return FALSE;
  }
  return FALSE;
}
