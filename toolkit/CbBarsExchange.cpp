// The exchange routines of the bars, their controls and the bars' options. Nothing in the
// program starts an exchange: the bars always start as the frame builds them.
#include "toolkit/CbCommandBar.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControl.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbControlPopup.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"
#include "toolkit/CbPropExchange.h"

#include <algorithm>

#include <memory>

namespace {
std::unique_ptr<CCbPropExchange> Section(CCbPropExchange* pPX, LPCTSTR pszName) {
  return std::unique_ptr<CCbPropExchange>(pPX->OpenSection(pszName));
}
// A set of ids goes when it is read, when the store keeps everything, or when it isn't empty.
void CommandIds(CCbPropExchange* pPX, LPCTSTR pszName, std::map<UINT, BOOL>& map) {
  if (pPX->IsLoading() || !pPX->AllowsOmittedDefaults() || !map.empty()) PX_CommandIds(pPX, pszName, map);
}
}  // namespace

// ---- Options ----

void CCbCommandBarsOptions::DoPropExchange(CCbPropExchange* pPX) {
  int schema = pPX->GetSchema();
  PX_Int(pPX, "Schema", schema, kCbPropSchema);
  if (pPX->IsLoading()) pPX->SetSchema(schema);
  const BOOL newer = pPX->GetSchema() > 7;
  PX_Bool(pPX, "AlwaysShowFullMenus", bAlwaysShowFullMenus, TRUE);
  PX_Bool(pPX, "ShowFullAfterDelay", bShowFullAfterDelay, TRUE);
  PX_Bool(pPX, "ToolBarScreenTips", bToolBarScreenTips, TRUE);
  PX_Bool(pPX, "ToolBarAccelTips", bToolBarAccelTips, FALSE);
  PX_Bool(pPX, "LargeIcons", bLargeIcons, FALSE);
  if (newer) {
    CommandIds(pPX, "UsedCommands", m_mapUsedCommands);
    PX_Int(pPX, "Animation", animationType, 0);
  }
  PX_Bool(pPX, "SyncFloatingBars", bSyncFloatingBars, TRUE);
  PX_Bool(pPX, "ShowExpandButtonAlways", bShowExpandButtonAlways, TRUE);
  PX_Size(pPX, "IconsSize", szIcons, CSize(0, 0));
  PX_Size(pPX, "LargeIconsSize", szLargeIcons, CSize(0, 0));
  CommandIds(pPX, "HiddenCommands", m_mapHiddenCommands);
  CCbPaintManager* painter = m_pOwner ? m_pOwner->GetPaintManager() : CbPaintManager();
  PX_Bool(pPX, "IconsWithShadow", painter->m_bIconsWithShadow, FALSE);
  PX_Bool(pPX, "UseDisabledIcons", painter->m_bDisabledIcons, TRUE);
  PX_Bool(pPX, "UseFadedIcons", painter->m_bFadedIcons, TRUE);
  if (newer) {
    PX_Bool(pPX, "SyncFloatingBars", bSyncFloatingBars, TRUE);
    PX_Bool(pPX, "ShowExpandButtonAlways", bShowExpandButtonAlways, TRUE);
    PX_Bool(pPX, "DblClickFloat", bDblClickFloat, FALSE);
    PX_Bool(pPX, "ShowTextBelowIcons", bShowTextBelowIcons, FALSE);
    PX_Bool(pPX, "AltDragCustomization", bAltDragCustomization, TRUE);
    PX_Bool(pPX, "AutoHideUnusedPopups", bAutoHideUnusedPopups, TRUE);
    PX_Size(pPX, "PopupIconsSize", szPopupIcons, CSize(16, 16));
  }
}

void CCbCommandBarsOptions::Serialize(CArchive& ar) {
  CCbPropExchangeArchive px(ar);
  px.m_pCommandBars = m_pOwner;
  DoPropExchange(&px);
}

// ---- Bars ----

void CCbCommandBar::DoPropExchange(CCbPropExchange* pPX) {
  PX_Int(pPX, "Type", m_barType, 1);
  PX_Int(pPX, "Position", m_barPosition, 0);
  PX_UInt(pPX, "BarID", m_nBarID, 0);
  PX_DWord(pPX, "Flags", m_dwFlags, 0);
  PX_DWord(pPX, "Style", m_dwStyle, 0);
  PX_String(pPX, "Title", m_strTitle, "");
  PX_Bool(pPX, "Customizable", m_bCustomizable, TRUE);
  PX_Int(pPX, "MRUWidth", m_nMRUWidth, 0);
  if (pPX->GetSchema() >= 3) PX_Size(pPX, "IconSize", m_szIcons, CSize(0, 0));
  auto sec = Section(pPX, "Controls");
  if (pPX->IsLoading()) m_pControls->SetParent(this);
  m_pControls->DoPropExchange(sec.get());
}

void CCbToolBar::DoPropExchange(CCbPropExchange* pPX) {
  CCbCommandBar::DoPropExchange(pPX);
  PX_Bool(pPX, "BuiltIn", m_bBuiltIn, TRUE);
  PX_Bool(pPX, "TearOff", m_bTearOff, FALSE);
  if (pPX->GetSchema() > 6) PX_Bool(pPX, "Closeable", m_bCloseable, TRUE);
  if (pPX->GetSchema() > 7) PX_Bool(pPX, "ContextMenuPresent", m_bContextMenuPresent, TRUE);
}

void CCbMenuBar::DoPropExchange(CCbPropExchange* pPX) {
  CCbToolBar::DoPropExchange(pPX);
  PX_UInt(pPX, "ResourceId", m_nResourceId, 0);
}

void CCbPopupBar::DoPropExchange(CCbPropExchange* pPX) {
  CCbCommandBar::DoPropExchange(pPX);
  PX_Bool(pPX, "TearOffPopup", m_bTearOffPopup, FALSE);
  PX_String(pPX, "TearOffCaption", m_strTearOffCaption, "");
  PX_UInt(pPX, "TearOffId", m_nTearOffID, 0);
  PX_Int(pPX, "TearOffWidth", m_nTearOffWidth, 0);
  if (pPX->GetSchema() >= 4) {
    PX_Rect(pPX, "Borders", m_rcBorders, CRect(2, 4, 2, 4));
    PX_Bool(pPX, "ShowShadow", m_bShowShadow, TRUE);
  }
}

namespace {
// The popup controls whose bar is saved in the list: a combo's list is its own and goes with it.
template <class F>
void ForEachPopup(CCbControls* pControls, F f) {
  for (int i = 0; i < pControls->GetCount(); ++i) {
    auto* p = dynamic_cast<CCbControlPopup*>(pControls->GetAt(i));
    if (p && !p->IsKindOf(RUNTIME_CLASS(CCbControlComboBox))) f(p);
  }
}
}  // namespace

void CCbCommandBar::NumberReachableBars(std::vector<CCbCommandBar*>& bars) {
  ForEachPopup(m_pControls, [&](CCbControlPopup* p) {
    CCbCommandBar* bar = p->GetCommandBar();
    if (!bar) {
      p->m_nCommandBarId = (UINT)-1;
      return;
    }
    auto it = std::find(bars.begin(), bars.end(), bar);
    p->m_nCommandBarId = (UINT)(it - bars.begin());
    if (it == bars.end()) {
      bars.push_back(bar);
      bar->NumberReachableBars(bars);
    }
  });
}

void CCbCommandBar::ResolveReachableBars(const std::vector<CCbCommandBar*>& bars) {
  ForEachPopup(m_pControls, [&](CCbControlPopup* p) {
    if (p->m_nCommandBarId == (UINT)-1) {
      p->SetCommandBar(nullptr);
      return;
    }
    // Only a popup bar can be opened, and never the bar that holds the control.
    if (p->m_nCommandBarId >= bars.size() || bars[p->m_nCommandBarId] == this ||
        !bars[p->m_nCommandBarId]->IsKindOf(RUNTIME_CLASS(CCbPopupBar)))
      AfxThrowArchiveException(CArchiveException::badIndex);
    p->SetCommandBar(bars[p->m_nCommandBarId]);
  });
}

namespace {
// Whether a bar reaches itself again through its popups (state: 0 new, 1 on the path, 2 done).
BOOL HasCycle(CCbCommandBar* bar, std::map<CCbCommandBar*, int>& state) {
  int& s = state[bar];
  if (s == 1) return TRUE;
  if (s == 2) return FALSE;
  s = 1;
  BOOL cycle = FALSE;
  ForEachPopup(bar->GetControls(), [&](CCbControlPopup* p) {
    if (!cycle && p->GetCommandBar()) cycle = HasCycle(p->GetCommandBar(), state);
  });
  state[bar] = 2;
  return cycle;
}
}  // namespace

void CCbCommandBar::ExchangeBars(CCbPropExchange* pPX, std::vector<CCbCommandBar*>& bars) {
  if (!pPX->IsLoading()) {
    std::vector<CCbCommandBar*> all(bars);
    for (size_t i = 0; i < bars.size(); ++i) bars[i]->NumberReachableBars(all);
    std::unique_ptr<CCbPropExchangeEnumerator> e(pPX->EnumerateSections("Bar"));
    e->Start((DWORD)all.size());
    for (CCbCommandBar* bar : all) {
      std::unique_ptr<CCbPropExchange> sec(e->Next());
      CRuntimeClass* cls = bar->GetRuntimeClass();
      sec->ExchangeClass("Class", cls, RUNTIME_CLASS(CCbToolBar));
      bar->DoPropExchange(sec.get());
    }
    return;
  }
  std::vector<CCbCommandBar*> loaded;
  auto releaseAll = [&] {
    // Cut the links first: a popup's reference must not keep a bar of bad data alive.
    for (CCbCommandBar* bar : loaded)
      ForEachPopup(bar->GetControls(), [](CCbControlPopup* p) { p->SetCommandBar(nullptr); });
    for (CCbCommandBar* bar : loaded) bar->InternalRelease();
    loaded.clear();
  };
  try {
    std::unique_ptr<CCbPropExchangeEnumerator> e(pPX->EnumerateSections("Bar"));
    // Each bar takes at least its class tag (two bytes).
    const DWORD n = e->Start(0, 2);
    for (DWORD i = 0; i < n; ++i) {
      std::unique_ptr<CCbPropExchange> sec(e->Next());
      CRuntimeClass* cls = nullptr;
      if (!sec || !sec->ExchangeClass("Class", cls, RUNTIME_CLASS(CCbToolBar)) || !cls ||
          !cls->IsDerivedFrom(RUNTIME_CLASS(CCbCommandBar)))
        AfxThrowArchiveException(CArchiveException::badClass);
      CObject* made = cls->CreateObject();
      auto* bar = dynamic_cast<CCbCommandBar*>(made);
      if (!bar) {
        delete made;
        AfxThrowArchiveException(CArchiveException::badClass);
      }
      loaded.push_back(bar);
      bar->m_pCommandBars = pPX->m_pCommandBars;
      bar->DoPropExchange(sec.get());
    }
    for (CCbCommandBar* bar : loaded) bar->ResolveReachableBars(loaded);
    std::map<CCbCommandBar*, int> state;
    for (CCbCommandBar* bar : loaded)
      if (HasCycle(bar, state)) AfxThrowArchiveException(CArchiveException::badIndex);
  } catch (...) {
    releaseAll();
    throw;
  }
  // The popup controls hold their bars: only the bars no control reaches stay the caller's.
  std::vector<CCbCommandBar*> top;
  std::vector<CCbCommandBar*> reached;
  for (CCbCommandBar* bar : loaded)
    ForEachPopup(bar->GetControls(), [&](CCbControlPopup* p) { reached.push_back(p->GetCommandBar()); });
  for (CCbCommandBar* bar : loaded) {
    if (std::find(reached.begin(), reached.end(), bar) == reached.end())
      top.push_back(bar);
    else
      bar->InternalRelease();
  }
  bars = top;
}

// ---- Controls ----

void CCbControls::DoPropExchange(CCbPropExchange* pPX) {
  if (pPX->IsLoading()) {
    RemoveAll();
    std::unique_ptr<CCbPropExchangeEnumerator> e(pPX->EnumerateSections("Control"));
    // Each control takes at least its class tag (two bytes).
    const DWORD n = e->Start(0, 2);
    for (DWORD i = 0; i < n; ++i) {
      std::unique_ptr<CCbPropExchange> sec(e->Next());
      CRuntimeClass* cls = nullptr;
      if (!sec || !sec->ExchangeClass("Class", cls, RUNTIME_CLASS(CCbControlButton)) || !cls ||
          !cls->IsDerivedFrom(RUNTIME_CLASS(CCbControl)))
        AfxThrowArchiveException(CArchiveException::badClass);
      CObject* made = cls->CreateObject();
      CCbControl* c = dynamic_cast<CCbControl*>(made);
      if (!c) {
        delete made;
        AfxThrowArchiveException(CArchiveException::badClass);
      }
      // Owned by the array at once, so a short read leaves nothing behind.
      Add(c, 0);
      c->DoPropExchange(sec.get());
    }
  } else {
    std::vector<CCbControl*> saved;
    for (CCbControl* c : m_arrControls)
      if (!c->IsTemporary()) saved.push_back(c);
    std::unique_ptr<CCbPropExchangeEnumerator> e(pPX->EnumerateSections("Control"));
    e->Start((DWORD)saved.size());
    for (CCbControl* c : saved) {
      std::unique_ptr<CCbPropExchange> sec(e->Next());
      CRuntimeClass* cls = c->GetRuntimeClass();
      sec->ExchangeClass("Class", cls, RUNTIME_CLASS(CCbControlButton));
      c->DoPropExchange(sec.get());
    }
  }
  BOOL original = m_pOriginalControls != nullptr;
  PX_Bool(pPX, "OriginalControls", original, FALSE);
  if (original) {
    auto sec = Section(pPX, "OriginalControls");
    if (pPX->IsLoading() && !m_pOriginalControls) {
      m_pOriginalControls = new CCbControls;
      m_pOriginalControls->SetCommandBars(GetCommandBars());
    }
    m_pOriginalControls->DoPropExchange(sec.get());
  }
  BOOL customized = FALSE;
  PX_Bool(pPX, "CustomizedControls", customized, FALSE);
  if (pPX->IsLoading()) RefreshIndexes();
}

void CCbControl::DoPropExchange(CCbPropExchange* pPX) {
  PX_Int(pPX, "Type", m_controlType, 1);
  PX_Int(pPX, "Id", m_nId, -1);
  PX_Int(pPX, "IconId", m_nIconId, 0);
  PX_Bool(pPX, "BeginGroup", m_bBeginGroup, FALSE);
  PX_Int(pPX, "Tag", m_nTag, 0);
  PX_DWord(pPX, "Flags", m_dwFlags, 0);
  PX_DWord(pPX, "HideFlags", m_dwHideFlags, 0);
  PX_String(pPX, "Caption", m_strCaption, "");
  PX_String(pPX, "ShortcutText", m_strShortcutText, "");
  PX_String(pPX, "TooltipText", m_strTooltipText, "");
  PX_String(pPX, "DescriptionText", m_strDescriptionText, "");
  PX_String(pPX, "Parameter", m_strParameter, "");
  PX_Int(pPX, "CustomIconId", m_nCustomIconId, 0);
  PX_String(pPX, "CustomCaption", m_strCustomCaption, "");
  if (pPX->GetSchema() > 1) PX_String(pPX, "Category", m_strCategory, "");
  if (pPX->GetSchema() >= 4) {
    // Controls here belong to no document template: both sets stay empty.
    std::map<UINT, BOOL> excluded, assigned;
    PX_CommandIds(pPX, "DocTemplatesExcluded", excluded);
    PX_CommandIds(pPX, "DocTemplatesAssigned", assigned);
    PX_Bool(pPX, "DefaultItem", m_bDefaultItem, FALSE);
  }
  if (pPX->GetSchema() > 6) PX_Bool(pPX, "CloseSubMenuOnClick", m_bCloseSubMenuOnClick, TRUE);
  if (pPX->GetSchema() > 7) PX_DWord(pPX, "CustomStyle", m_dwCustomStyle, 0);
}

void CCbControlButton::DoPropExchange(CCbPropExchange* pPX) {
  CCbControl::DoPropExchange(pPX);
  PX_DWord(pPX, "Style", m_dwStyle, 0);
}

void CCbControlPopup::DoPropExchange(CCbPropExchange* pPX) {
  CCbControl::DoPropExchange(pPX);
  // The number of its bar in the saved list (CCbCommandBar::ExchangeBars).
  int id = (int)m_nCommandBarId;
  PX_Int(pPX, "CommandBarId", id, 0);
  m_nCommandBarId = (UINT)id;
  if (pPX->GetSchema() > 4) PX_DWord(pPX, "Style", m_dwStyle, 0);
}

void CCbControlComboBox::DoPropExchange(CCbPropExchange* pPX) {
  CCbControlPopup::DoPropExchange(pPX);
  BOOL dropDown = GetDropDown();
  PX_Bool(pPX, "DropDown", dropDown, TRUE);
  PX_Int(pPX, "Width", m_nWidth, 0);
  PX_DWord(pPX, "ComboStyle", m_dwComboStyle, 0);
  if (pPX->IsLoading()) SetDropDown(dropDown);
}
