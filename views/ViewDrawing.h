// Drawing and menu pieces the month pages and the graph share.
#pragma once

#include "platform/ui/AfxWin.h"

class VxMenu;

// The pages' Arial font at the given size in tenths of a point, weight and angle (tenths of a
// degree), made for the device it draws on.
void ViewMakeFont(CFont& font, CDC* pDC, int nTenths, int nWeight, int nEscapement = 0);

// The small controls' 9-point "MS Sans Serif", made once: does nothing when the font exists.
void ViewMakeSmallFont(CFont& font, CDC* pDC);

// The size of the text in the DC's current font.
CSize ViewTextExtent(CDC* pDC, LPCTSTR lpsz);

// The page's invitation to calculate: the text centred in bold with a light shadow, over the
// placeholder picture stretched to the rectangle when bPicture is set. The picture is loaded
// into rPicture on first use; rTried keeps a missing one from being looked for at every paint.
void ViewDrawPlaceholder(CDC* pDC, const CRect& rect, const CString& text, BOOL bPicture, CBitmap& rPicture,
                         BOOL& rTried);

// Shows the loaded menu's first popup at the point (screen coordinates) with its first item as
// the default, owned by the page's top-level window, then frees the menu's items.
void ViewTrackContextMenu(VxMenu* pMenu, CWnd* pPage, CPoint pos);
