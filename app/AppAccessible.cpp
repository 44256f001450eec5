// What a screen reader reads of the frame's own windows: the trees by what they list, the
// port's caption as a label.
#include "app/PortNameWnd.h"
#include "app/PortsTree.h"
#include "app/RoutesTree.h"
#include "platform/ui/Accessible.h"

namespace {

// Names the window itself; everything else is the standard answer.
LRESULT Name(WPARAM wParam, LPARAM lParam, int nRole, const CString& strName) {
  if ((LONG)lParam != OBJID_AFXQUERY || !wParam) return 0;
  auto* q = (AFXACCQUERY*)wParam;
  if (q->nAsk != AFXACC_DESCRIBE || q->nChild != CHILDID_SELF) return FALSE;
  if (nRole) q->info.nRole = nRole;
  q->info.strName = strName;
  return TRUE;
}

}  // namespace

LRESULT CPortsTree::OnGetObject(WPARAM wParam, LPARAM lParam) { return Name(wParam, lParam, 0, "Ports"); }

LRESULT CRoutesTree::OnGetObject(WPARAM wParam, LPARAM lParam) { return Name(wParam, lParam, 0, "Routes"); }

LRESULT CPortNameWnd::OnGetObject(WPARAM wParam, LPARAM lParam) {
  return Name(wParam, lParam, ROLE_SYSTEM_STATICTEXT, m_strText);
}
