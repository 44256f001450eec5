// What a screen reader reads of a bar: the bar as a menu bar, toolbar or menu, and its
// controls as its items (menu items with their keys and states, buttons named by their
// tooltips, combos as combo boxes); an open popup is its control's child.
#include "platform/ui/Accessible.h"
#include "toolkit/CbCommandBar.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbControlPopup.h"
#include "toolkit/CbPopupBar.h"

namespace {

int barRole(const CCbCommandBar* bar) {
  switch (bar->GetType()) {
    case 0: return ROLE_SYSTEM_MENUBAR;
    case 2: return ROLE_SYSTEM_MENUPOPUP;
    default: return ROLE_SYSTEM_TOOLBAR;
  }
}

void describeControl(CCbCommandBar* bar, int index, AFXACCINFO& a) {
  CCbControl* c = bar->GetControl(index);
  if (!c) return;
  const int type = c->GetType();
  const bool menu = bar->GetType() != 1;
  a = AFXACCINFO();
  const CString caption = AfxAccStripMnemonic(c->GetCaption());
  if (type == cbControlComboBox) {
    auto* combo = static_cast<CCbControlComboBox*>(c);
    a.nRole = ROLE_SYSTEM_COMBOBOX;
    a.strName = caption.IsEmpty() ? AfxAccStripMnemonic(c->GetTooltip()) : caption;
    a.strValue = combo->GetShownText();
    a.nValueKind = AFXACCVAL_NUMBER;
    a.dValue = combo->GetCurSel();
    a.dMax = std::max(0, combo->GetCount() - 1);
    a.dwState |= STATE_SYSTEM_HASPOPUP | (combo->IsOpen() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED);
    a.strActions = "ShowMenu";
  } else if (type == cbControlLabel) {
    a.nRole = ROLE_SYSTEM_STATICTEXT;
    a.strName = caption;
  } else if (type == cbControlEdit) {
    a.nRole = ROLE_SYSTEM_TEXT;
    a.strName = caption;
  } else if (menu) {
    a.nRole = ROLE_SYSTEM_MENUITEM;
    a.strName = caption;
    a.strShortcut = c->GetShownShortcutText();
    a.strActions = CbIsPopupType(type) ? "ShowMenu" : "Press";
  } else {
    a.nRole = CbIsPopupType(type) ? ROLE_SYSTEM_BUTTONMENU : ROLE_SYSTEM_PUSHBUTTON;
    // A toolbar's buttons are named as their tooltips name them.
    a.strName = AfxAccStripMnemonic(c->GetTooltip());
    if (a.strName.IsEmpty()) a.strName = caption;
    a.strActions = CbIsPopupType(type) ? "ShowMenu" : "Press";
  }
  a.strDescription = c->GetDescription();
  if (CbIsPopupType(type)) {
    a.dwState |= STATE_SYSTEM_HASPOPUP;
    const bool open = bar->GetPopupedIndex() == index;
    a.dwState |= open ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    if (open && c->GetCommandBar()) a.hWndChild = c->GetCommandBar()->GetSafeHwnd();
  }
  if (!c->GetEnabled()) a.dwState |= STATE_SYSTEM_UNAVAILABLE;
  if (c->GetChecked()) a.dwState |= STATE_SYSTEM_CHECKED;
  if (c->GetHideFlags()) a.dwState |= STATE_SYSTEM_INVISIBLE;
  a.dwState |= STATE_SYSTEM_FOCUSABLE;
  if (bar->GetSelectedIndex() == index) {
    a.dwState |= STATE_SYSTEM_HOTTRACKED;
    if (bar->IsTrackingMode()) a.dwState |= STATE_SYSTEM_FOCUSED;
  }
  const CRect rc = c->GetRect();
  a.rect = rc;
}

}  // namespace

LRESULT CCbCommandBar::OnGetObject(WPARAM wParam, LPARAM lParam) {
  if ((LONG)lParam != OBJID_AFXQUERY || !wParam) return Default();
  auto* q = (AFXACCQUERY*)wParam;
  CCbRefHolder<CCbCommandBar> hold(this);
  const int index = q->nChild - 1;
  switch (q->nAsk) {
    case AFXACC_COUNT: q->nCount = GetControlCount(); return TRUE;
    case AFXACC_DESCRIBE:
      if (q->nChild == CHILDID_SELF) {
        q->info.nRole = barRole(this);
        if (CCbControl* owner = GetControlPopup())
          q->info.strName = AfxAccStripMnemonic(owner->GetCaption());
        else
          q->info.strName = GetTitle();
        return TRUE;
      }
      describeControl(this, index, q->info);
      return TRUE;
    case AFXACC_ACTION: {
      CCbControl* c = GetControl(index);
      if (!c || !c->GetEnabled()) return FALSE;
      if (q->strAction == "ShowMenu" && CbOpensPopup(c->GetType())) {
        if (GetPopupedIndex() == index) {
          SetTrackingMode(FALSE);
          return TRUE;
        }
        if (c->GetType() == cbControlComboBox) {
          static_cast<CCbControlComboBox*>(c)->OpenList(TRUE);
          return TRUE;
        }
        return PopupControl(index, TRUE);
      }
      if (q->strAction == "Press" && !CbOpensPopup(c->GetType())) {
        c->OnExecute();
        return TRUE;
      }
      return FALSE;
    }
    case AFXACC_SETVALUE: {
      CCbControl* c = GetControl(index);
      if (!c || c->GetType() != cbControlComboBox || !c->GetEnabled()) return FALSE;
      auto* combo = static_cast<CCbControlComboBox*>(c);
      const int n = combo->GetCount();
      const int sel = (int)q->dValue;
      if (sel < 0 || sel >= n) return FALSE;
      // As a pick from the list: the frame hears of it.
      combo->SetCurSel(sel);
      combo->OnExecute();
      NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_hWnd, OBJID_CLIENT, q->nChild);
      return TRUE;
    }
    default: return Default();
  }
}
