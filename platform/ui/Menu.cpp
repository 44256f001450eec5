// Menus and popup-menu tracking. The popup windows are the layer's own, drawn in the
// platform's classic style; owner-drawn items are measured and drawn by their owner.
#include "platform/ui/Menu.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysInfo.h"
#include "platform/ui/UiInternal.h"
#include "platform/ui/WinApp.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <set>

namespace {

struct MenuItem {
  UINT type = MFT_STRING;
  UINT state = 0;
  UINT id = 0;
  HMENU sub = nullptr;
  std::string text;
  ULONG_PTR data = 0;
  HBITMAP bmpChecked = nullptr;
  HBITMAP bmpUnchecked = nullptr;
  HBITMAP bmpItem = nullptr;
};

struct MenuData {
  std::vector<MenuItem> items;
  CMenu* perm = nullptr;     // attached object
  CMenu* wrapper = nullptr;  // made by FromHandle for a menu without one
  bool popup = false;
};

std::set<MenuData*>& menus() {
  static std::set<MenuData*> s;
  return s;
}

MenuData* data(HMENU h) {
  auto* d = reinterpret_cast<MenuData*>(h);
  return (h && menus().count(d)) ? d : nullptr;
}

HMENU handle(MenuData* d) { return reinterpret_cast<HMENU>(d); }

// Finds an item by command (searching submenus, as the platform does) or by position.
MenuItem* findItem(HMENU h, UINT uItem, bool byPos, HMENU* pOwner = nullptr, int* pPos = nullptr) {
  MenuData* d = data(h);
  if (!d) return nullptr;
  if (byPos) {
    if (uItem >= d->items.size()) return nullptr;
    if (pOwner) *pOwner = h;
    if (pPos) *pPos = (int)uItem;
    return &d->items[uItem];
  }
  for (size_t i = 0; i < d->items.size(); ++i) {
    MenuItem& it = d->items[i];
    if (!it.sub && it.id == uItem && !(it.type & MFT_SEPARATOR)) {
      if (pOwner) *pOwner = h;
      if (pPos) *pPos = (int)i;
      return &it;
    }
  }
  for (size_t i = 0; i < d->items.size(); ++i) {
    if (d->items[i].sub) {
      if (MenuItem* f = findItem(d->items[i].sub, uItem, false, pOwner, pPos)) return f;
    }
    // A popup can also be found by its submenu handle as id.
    if (d->items[i].sub && (UINT_PTR)d->items[i].sub == uItem) {
      if (pOwner) *pOwner = h;
      if (pPos) *pPos = (int)i;
      return &d->items[i];
    }
  }
  return nullptr;
}

void setFromFlags(MenuItem& it, UINT flags, UINT_PTR idNew, LPCTSTR text) {
  it.type = 0;
  if (flags & MF_SEPARATOR) it.type |= MFT_SEPARATOR;
  if (flags & MF_OWNERDRAW) it.type |= MFT_OWNERDRAW;
  if (flags & MF_BITMAP) it.type |= MFT_BITMAP;
  if (flags & MF_MENUBREAK) it.type |= MFT_MENUBREAK;
  if (flags & MF_MENUBARBREAK) it.type |= MFT_MENUBARBREAK;
  if (flags & MF_RIGHTJUSTIFY) it.type |= MFT_RIGHTJUSTIFY;
  it.state = 0;
  if (flags & MF_GRAYED) it.state |= MFS_GRAYED;
  if (flags & MF_DISABLED) it.state |= MFS_GRAYED;
  if (flags & MF_CHECKED) it.state |= MFS_CHECKED;
  if (flags & MF_HILITE) it.state |= MFS_HILITE;
  if (flags & MF_DEFAULT) it.state |= MFS_DEFAULT;
  if (flags & MF_POPUP) {
    it.sub = reinterpret_cast<HMENU>(idNew);
    it.id = (UINT)-1;
  } else {
    it.sub = nullptr;
    it.id = (UINT)idNew;
  }
  if (flags & MF_OWNERDRAW) {
    it.data = (ULONG_PTR)text;
    it.text.clear();
  } else if (flags & MF_BITMAP) {
    it.bmpItem = (HBITMAP)text;
  } else if (!(flags & MF_SEPARATOR)) {
    it.text = text ? text : "";
  }
}

UINT stateFlags(const MenuItem& it) {
  UINT f = 0;
  if (it.state & MFS_GRAYED) f |= MF_GRAYED | MF_DISABLED;
  if (it.state & MFS_CHECKED) f |= MF_CHECKED;
  if (it.state & MFS_HILITE) f |= MF_HILITE;
  if (it.state & MFS_DEFAULT) f |= MF_DEFAULT;
  if (it.type & MFT_SEPARATOR) f |= MF_SEPARATOR;
  if (it.type & MFT_OWNERDRAW) f |= MF_OWNERDRAW;
  if (it.type & MFT_BITMAP) f |= MF_BITMAP;
  if (it.type & MFT_MENUBREAK) f |= MF_MENUBREAK;
  if (it.type & MFT_MENUBARBREAK) f |= MF_MENUBARBREAK;
  return f;
}

}  // namespace

HMENU CreateMenu() {
  auto* d = new MenuData;
  menus().insert(d);
  return handle(d);
}

HMENU CreatePopupMenu() {
  HMENU h = CreateMenu();
  data(h)->popup = true;
  return h;
}

BOOL DestroyMenu(HMENU hMenu) {
  MenuData* d = data(hMenu);
  if (!d) return FALSE;
  menus().erase(d);
  for (auto& it : d->items)
    if (it.sub) DestroyMenu(it.sub);
  if (d->perm) d->perm->m_hMenu = nullptr;
  delete d->wrapper;
  delete d;
  return TRUE;
}

BOOL IsMenu(HMENU hMenu) { return data(hMenu) != nullptr; }

BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR id, LPCTSTR text) {
  MenuData* d = data(hMenu);
  if (!d) return FALSE;
  MenuItem it;
  setFromFlags(it, uFlags, id, text);
  d->items.push_back(it);
  return TRUE;
}

BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR id, LPCTSTR text) {
  MenuData* d = data(hMenu);
  if (!d) return FALSE;
  MenuItem it;
  setFromFlags(it, uFlags, id, text);
  if (uFlags & MF_BYPOSITION) {
    if (uPosition >= d->items.size())
      d->items.push_back(it);
    else
      d->items.insert(d->items.begin() + uPosition, it);
    return TRUE;
  }
  HMENU owner = nullptr;
  int pos = -1;
  if (!findItem(hMenu, uPosition, false, &owner, &pos)) {
    d->items.push_back(it);
    return TRUE;
  }
  MenuData* od = data(owner);
  od->items.insert(od->items.begin() + pos, it);
  return TRUE;
}

BOOL ModifyMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR id, LPCTSTR text) {
  MenuItem* it = findItem(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0);
  if (!it) return FALSE;
  ULONG_PTR oldData = it->data;
  HMENU oldSub = it->sub;
  setFromFlags(*it, uFlags, id, text);
  if (!(uFlags & MF_OWNERDRAW) && !(uFlags & MF_STRING) && !text) it->data = oldData;
  if (oldSub && oldSub != it->sub) DestroyMenu(oldSub);
  return TRUE;
}

BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
  HMENU owner = nullptr;
  int pos = -1;
  if (!findItem(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0, &owner, &pos)) return FALSE;
  MenuData* od = data(owner);
  od->items.erase(od->items.begin() + pos);
  return TRUE;
}

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
  HMENU owner = nullptr;
  int pos = -1;
  MenuItem* it = findItem(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0, &owner, &pos);
  if (!it) return FALSE;
  HMENU sub = it->sub;
  MenuData* od = data(owner);
  od->items.erase(od->items.begin() + pos);
  if (sub) DestroyMenu(sub);
  return TRUE;
}

DWORD CheckMenuItem(HMENU hMenu, UINT id, UINT uCheck) {
  MenuItem* it = findItem(hMenu, id, (uCheck & MF_BYPOSITION) != 0);
  if (!it) return (DWORD)-1;
  DWORD old = (it->state & MFS_CHECKED) ? MF_CHECKED : MF_UNCHECKED;
  if (uCheck & MF_CHECKED)
    it->state |= MFS_CHECKED;
  else
    it->state &= ~MFS_CHECKED;
  return old;
}

BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags) {
  MenuData* d = data(hmenu);
  if (!d) return FALSE;
  bool byPos = (flags & MF_BYPOSITION) != 0;
  bool found = false;
  for (size_t i = 0; i < d->items.size(); ++i) {
    MenuItem& it = d->items[i];
    UINT key = byPos ? (UINT)i : it.id;
    if (it.sub || (it.type & MFT_SEPARATOR) || key < first || key > last) continue;
    if (key == check) {
      it.state |= MFS_CHECKED;
      it.type |= MFT_RADIOCHECK;
      found = true;
    } else {
      it.state &= ~MFS_CHECKED;
    }
  }
  return found;
}

BOOL EnableMenuItem(HMENU hMenu, UINT id, UINT uEnable) {
  MenuItem* it = findItem(hMenu, id, (uEnable & MF_BYPOSITION) != 0);
  if (!it) return -1;
  BOOL old = (it->state & MFS_GRAYED) ? MF_GRAYED : MF_ENABLED;
  if (uEnable & (MF_GRAYED | MF_DISABLED))
    it->state |= MFS_GRAYED;
  else
    it->state &= ~MFS_GRAYED;
  return old;
}

BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos) {
  MenuData* d = data(hMenu);
  if (!d) return FALSE;
  for (auto& it : d->items) it.state &= ~MFS_DEFAULT;
  if (uItem == (UINT)-1) return TRUE;
  MenuItem* it = findItem(hMenu, uItem, fByPos != 0);
  if (!it) return FALSE;
  it->state |= MFS_DEFAULT;
  return TRUE;
}

UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT) {
  MenuData* d = data(hMenu);
  if (!d) return (UINT)-1;
  for (size_t i = 0; i < d->items.size(); ++i)
    if (d->items[i].state & MFS_DEFAULT) return fByPos ? (UINT)i : d->items[i].id;
  return (UINT)-1;
}

int GetMenuItemCount(HMENU hMenu) {
  MenuData* d = data(hMenu);
  return d ? (int)d->items.size() : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
  MenuData* d = data(hMenu);
  if (!d || nPos < 0 || nPos >= (int)d->items.size()) return (UINT)-1;
  const MenuItem& it = d->items[nPos];
  if (it.sub) return (UINT)-1;
  if (it.type & MFT_SEPARATOR) return 0;
  return it.id;
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
  MenuItem* it = findItem(hMenu, uId, (uFlags & MF_BYPOSITION) != 0);
  if (!it) return (UINT)-1;
  UINT f = stateFlags(*it);
  if (it->sub) {
    MenuData* sd = data(it->sub);
    f = (f & 0xFF) | MF_POPUP | ((sd ? (UINT)sd->items.size() : 0) << 8);
  }
  return f;
}

int GetMenuString(HMENU hMenu, UINT uIDItem, LPTSTR lpString, int cchMax, UINT flags) {
  MenuItem* it = findItem(hMenu, uIDItem, (flags & MF_BYPOSITION) != 0);
  if (!it) return 0;
  if (!lpString || cchMax <= 0) return (int)it->text.size();
  std::snprintf(lpString, (size_t)cchMax, "%s", it->text.c_str());
  return (int)std::strlen(lpString);
}

HMENU GetSubMenu(HMENU hMenu, int nPos) {
  MenuData* d = data(hMenu);
  if (!d || nPos < 0 || nPos >= (int)d->items.size()) return nullptr;
  return d->items[nPos].sub;
}

BOOL GetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFO mii) {
  MenuItem* it = findItem(hmenu, item, fByPosition != 0);
  if (!it || !mii) return FALSE;
  UINT m = mii->fMask;
  if (m & (MIIM_FTYPE | MIIM_TYPE)) mii->fType = it->type;
  if (m & MIIM_STATE) mii->fState = it->state;
  if (m & MIIM_ID) mii->wID = it->sub ? (UINT)(UINT_PTR)it->sub : it->id;
  if (m & MIIM_SUBMENU) mii->hSubMenu = it->sub;
  if (m & MIIM_CHECKMARKS) {
    mii->hbmpChecked = it->bmpChecked;
    mii->hbmpUnchecked = it->bmpUnchecked;
  }
  if (m & MIIM_DATA) mii->dwItemData = it->data;
  if (m & MIIM_BITMAP) mii->hbmpItem = it->bmpItem;
  if ((m & (MIIM_STRING | MIIM_TYPE)) && !(it->type & (MFT_OWNERDRAW | MFT_SEPARATOR | MFT_BITMAP))) {
    if (mii->dwTypeData && mii->cch > 0) {
      std::snprintf(mii->dwTypeData, mii->cch, "%s", it->text.c_str());
      mii->cch = (UINT)std::strlen(mii->dwTypeData);
    } else {
      mii->cch = (UINT)it->text.size();
    }
  }
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFO mii) {
  MenuItem* it = findItem(hmenu, item, fByPosition != 0);
  if (!it || !mii) return FALSE;
  UINT m = mii->fMask;
  if (m & MIIM_FTYPE) it->type = mii->fType;
  if (m & MIIM_TYPE) {
    it->type = mii->fType;
    if (!(mii->fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW))) it->text = mii->dwTypeData ? mii->dwTypeData : "";
    if (mii->fType & MFT_OWNERDRAW) it->data = (ULONG_PTR)mii->dwTypeData;
  }
  if (m & MIIM_STRING) it->text = mii->dwTypeData ? mii->dwTypeData : "";
  if (m & MIIM_STATE) it->state = mii->fState;
  if (m & MIIM_ID) it->id = mii->wID;
  if (m & MIIM_SUBMENU) it->sub = mii->hSubMenu;
  if (m & MIIM_CHECKMARKS) {
    it->bmpChecked = mii->hbmpChecked;
    it->bmpUnchecked = mii->hbmpUnchecked;
  }
  if (m & MIIM_DATA) it->data = mii->dwItemData;
  if (m & MIIM_BITMAP) it->bmpItem = mii->hbmpItem;
  return TRUE;
}

BOOL InsertMenuItem(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFO mii) {
  MenuData* d = data(hmenu);
  if (!d || !mii) return FALSE;
  size_t pos = d->items.size();
  if (fByPosition)
    pos = std::min<size_t>(item, d->items.size());
  else {
    HMENU owner = nullptr;
    int p = -1;
    if (findItem(hmenu, item, false, &owner, &p) && owner == hmenu) pos = (size_t)p;
  }
  d->items.insert(d->items.begin() + pos, MenuItem());
  return SetMenuItemInfo(hmenu, (UINT)pos, TRUE, mii);
}

BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hUnchecked, HBITMAP hChecked) {
  MenuItem* it = findItem(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0);
  if (!it) return FALSE;
  it->bmpChecked = hChecked;
  it->bmpUnchecked = hUnchecked;
  return TRUE;
}

LONG GetMenuCheckMarkDimensions() { return MAKELONG(13, 13); }

// ---- Templates ----
static std::string utf16ToUtf8(const WORD* p, size_t* used) {
  size_t n = 0;
  while (p[n]) ++n;
  *used = n + 1;
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(p), (qsizetype)n).toStdString();
}

HMENU LoadMenuIndirect(const void* lpMenuTemplate) {
  if (!lpMenuTemplate) return nullptr;
  const WORD* p = static_cast<const WORD*>(lpMenuTemplate);
  WORD version = p[0];
  WORD offset = p[1];
  if (version != 0) return nullptr;
  p += 2 + offset / 2;
  HMENU top = CreateMenu();
  std::vector<HMENU> stack{top};
  // Guard against malformed data: a level ends with MF_END; stop after a sane number of items.
  for (int guard = 0; !stack.empty() && guard < 100000; ++guard) {
    WORD flags = *p++;
    WORD id = 0;
    if (!(flags & MF_POPUP)) id = *p++;
    size_t used = 0;
    std::string text = utf16ToUtf8(p, &used);
    p += used;
    bool end = (flags & MF_END) != 0;
    UINT f = flags & ~(MF_END | MF_POPUP);
    HMENU cur = stack.back();
    if (flags & MF_POPUP) {
      HMENU sub = CreatePopupMenu();
      AppendMenu(cur, f | MF_POPUP | MF_STRING, (UINT_PTR)sub, text.c_str());
      if (end) stack.pop_back();
      stack.push_back(sub);
      continue;
    }
    if (id == 0 && text.empty() && !(f & ~MF_SEPARATOR & 0xFF))
      AppendMenu(cur, MF_SEPARATOR, 0, nullptr);
    else
      AppendMenu(cur, f, id, text.c_str());
    if (end) {
      stack.pop_back();
      // A popup whose MF_END was on its own item closes its parent level too when that was last.
    }
  }
  return top;
}

// Templates nest by MF_END: the popup item carrying MF_END is the last of its level, and that
// level ends when the popup's own items end. LoadMenuIndirect above pushes the child after
// popping the parent, so the parent closes correctly once the child's MF_END pops the child.

void AfxEnsureUiResources();

HMENU LoadMenu(HINSTANCE hInstance, LPCTSTR lpMenuName) {
  AfxEnsureUiResources();
  HRSRC r = FindResource(hInstance, lpMenuName, RT_MENU);
  if (!r) return nullptr;
  HGLOBAL g = LoadResource(hInstance, r);
  if (!g) return nullptr;
  return LoadMenuIndirect(LockResource(g));
}

// ---- CMenu ----
IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {
bool measureMenuItem(MEASUREITEMSTRUCT* mis) {
  CMenu* m = CMenu::FindMenuOfItem(mis->itemID, mis->itemData);
  if (!m) return false;
  m->MeasureItem(mis);
  return true;
}
bool drawMenuItem(DRAWITEMSTRUCT* dis) {
  CMenu* m = CMenu::FromHandlePermanent((HMENU)dis->hwndItem);
  if (!m) return false;
  m->DrawItem(dis);
  return true;
}
const bool g_hooked = (
    g_afxWndHooks.menuFromHandle = CMenu::FromHandle,
    g_afxWndHooks.menuHandle = [](const CMenu* m) { return m->GetSafeHmenu(); },
    g_afxWndHooks.measureMenuItem = measureMenuItem, g_afxWndHooks.drawMenuItem = drawMenuItem, true);
}  // namespace

CMenu::CMenu() = default;
CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandlePermanent(HMENU hMenu) {
  MenuData* d = data(hMenu);
  return d ? d->perm : nullptr;
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
  MenuData* d = data(hMenu);
  if (!d) return nullptr;
  if (d->perm) return d->perm;
  if (!d->wrapper) {
    d->wrapper = new CMenu;
    d->wrapper->m_hMenu = hMenu;
  }
  return d->wrapper;
}

BOOL CMenu::Attach(HMENU hMenu) {
  MenuData* d = data(hMenu);
  if (!d || m_hMenu) return FALSE;
  m_hMenu = hMenu;
  d->perm = this;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  if (MenuData* d = data(h); d && d->perm == this) d->perm = nullptr;
  m_hMenu = nullptr;
  return h;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCE(nIDResource)); }
BOOL CMenu::LoadMenu(LPCTSTR name) { return Attach(::LoadMenu(nullptr, name)); }
BOOL CMenu::LoadMenuIndirect(const void* t) { return Attach(::LoadMenuIndirect(t)); }
BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  MenuData* d = data(m_hMenu);
  // A wrapper never owns its menu.
  if (d && d->wrapper == this) return FALSE;
  HMENU h = Detach();
  return ::DestroyMenu(h);
}
BOOL CMenu::AppendMenu(UINT f, UINT_PTR id, LPCTSTR t) { return ::AppendMenu(m_hMenu, f, id, t); }
BOOL CMenu::InsertMenu(UINT p, UINT f, UINT_PTR id, LPCTSTR t) { return ::InsertMenu(m_hMenu, p, f, id, t); }
BOOL CMenu::ModifyMenu(UINT p, UINT f, UINT_PTR id, LPCTSTR t) { return ::ModifyMenu(m_hMenu, p, f, id, t); }
BOOL CMenu::RemoveMenu(UINT p, UINT f) { return ::RemoveMenu(m_hMenu, p, f); }
BOOL CMenu::DeleteMenu(UINT p, UINT f) { return ::DeleteMenu(m_hMenu, p, f); }
UINT CMenu::CheckMenuItem(UINT id, UINT c) { return (UINT)::CheckMenuItem(m_hMenu, id, c); }
BOOL CMenu::CheckMenuRadioItem(UINT a, UINT b, UINT c, UINT f) { return ::CheckMenuRadioItem(m_hMenu, a, b, c, f); }
UINT CMenu::EnableMenuItem(UINT id, UINT e) { return (UINT)::EnableMenuItem(m_hMenu, id, e); }
BOOL CMenu::SetDefaultItem(UINT u, BOOL p) { return ::SetMenuDefaultItem(m_hMenu, u, p); }
UINT CMenu::GetDefaultItem(UINT g, BOOL p) { return ::GetMenuDefaultItem(m_hMenu, p, g); }
UINT CMenu::GetMenuItemCount() const { return (UINT)::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int n) const { return ::GetMenuItemID(m_hMenu, n); }
UINT CMenu::GetMenuState(UINT id, UINT f) const { return ::GetMenuState(m_hMenu, id, f); }
int CMenu::GetMenuString(UINT id, LPTSTR s, int n, UINT f) const { return ::GetMenuString(m_hMenu, id, s, n, f); }
int CMenu::GetMenuString(UINT id, CString& s, UINT f) const {
  int n = ::GetMenuString(m_hMenu, id, nullptr, 0, f);
  std::string buf((size_t)n + 1, '\0');
  ::GetMenuString(m_hMenu, id, buf.data(), n + 1, f);
  s = buf.c_str();
  return n;
}
BOOL CMenu::GetMenuItemInfo(UINT u, LPMENUITEMINFO m, BOOL p) { return ::GetMenuItemInfo(m_hMenu, u, p, m); }
BOOL CMenu::SetMenuItemInfo(UINT u, LPCMENUITEMINFO m, BOOL p) { return ::SetMenuItemInfo(m_hMenu, u, p, m); }
BOOL CMenu::InsertMenuItem(UINT u, LPCMENUITEMINFO m, BOOL p) { return ::InsertMenuItem(m_hMenu, u, p, m); }
BOOL CMenu::SetMenuItemBitmaps(UINT p, UINT f, const CBitmap* u, const CBitmap* c) {
  return ::SetMenuItemBitmaps(m_hMenu, p, f, u ? (HBITMAP)u->m_hObject : nullptr, c ? (HBITMAP)c->m_hObject : nullptr);
}
CMenu* CMenu::GetSubMenu(int n) const { return FromHandle(::GetSubMenu(m_hMenu, n)); }
BOOL CMenu::TrackPopupMenu(UINT f, int x, int y, CWnd* w, LPCRECT r) {
  return ::TrackPopupMenu(m_hMenu, f, x, y, 0, w ? w->GetSafeHwnd() : nullptr, r);
}
BOOL CMenu::TrackPopupMenuEx(UINT f, int x, int y, CWnd* w, LPTPMPARAMS t) {
  return ::TrackPopupMenuEx(m_hMenu, f, x, y, w ? w->GetSafeHwnd() : nullptr, t);
}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}
void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}

// ======================================================================================
// Tracking
// ======================================================================================
namespace {

const int kCheckCol = 17;  // left column for marks
const int kArrowCol = 17;  // right column for submenu arrows
const int kSepHeight = 9;

class PopupWnd;

struct Tracker {
  HWND owner = nullptr;
  UINT flags = 0;
  std::vector<PopupWnd*> levels;
  bool done = false;
  UINT result = 0;
  HHOOK keyHook = nullptr;
  HHOOK mouseHook = nullptr;
};
Tracker* g_track = nullptr;
HMENU g_measuring = nullptr;

struct ItemBox {
  QRect rect;  // in client coordinates
};

class PopupWnd : public CWnd {
 public:
  HMENU menu = nullptr;
  std::vector<ItemBox> boxes;
  int hot = -1;
  int openSub = -1;
  DECLARE_MESSAGE_MAP()
 public:
  void Layout();
  void OnPaint();
  void OnMouseMove(UINT, CPoint pt);
  void OnLButtonUp(UINT, CPoint pt);
  void OnLButtonDown(UINT, CPoint pt);
  void OnRButtonUp(UINT, CPoint pt);
  int ItemAt(CPoint pt) const;
  void SetHot(int i);
  void Choose(int i, bool byKey);
  void PostNcDestroy() override { delete this; }
};

BEGIN_MESSAGE_MAP(PopupWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_RBUTTONUP()
END_MESSAGE_MAP()

HFONT menuFont() {
  static CFont* f = nullptr;
  if (!f) {
    f = new CFont;
    LOGFONT lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    std::strcpy(lf.lfFaceName, "Tahoma");
    f->CreateFontIndirect(&lf);
  }
  return (HFONT)f->m_hObject;
}

HFONT menuBoldFont() {
  static CFont* f = nullptr;
  if (!f) {
    f = new CFont;
    LOGFONT lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Tahoma");
    f->CreateFontIndirect(&lf);
  }
  return (HFONT)f->m_hObject;
}

std::string captionOf(const std::string& t) {
  size_t tab = t.find('\t');
  return tab == std::string::npos ? t : t.substr(0, tab);
}
std::string shortcutOf(const std::string& t) {
  size_t tab = t.rfind('\t');
  return tab == std::string::npos ? std::string() : t.substr(tab + 1);
}

void PopupWnd::Layout() {
  MenuData* d = data(menu);
  boxes.clear();
  if (!d) return;
  CClientDC dc(this);
  CFont* old = dc.SelectObject(CFont::FromHandle(menuFont()));
  int y = 0, width = 80, capW = 0, scW = 0;
  std::vector<int> heights;
  for (size_t i = 0; i < d->items.size(); ++i) {
    MenuItem& it = d->items[i];
    int h = 0, w = 0;
    if (it.type & MFT_OWNERDRAW) {
      MEASUREITEMSTRUCT mis{ODT_MENU, 0, it.id, 0, 0, it.data};
      g_measuring = menu;
      ::SendMessage(g_track->owner, WM_MEASUREITEM, 0, (LPARAM)&mis);
      g_measuring = nullptr;
      h = (int)mis.itemHeight;
      w = (int)mis.itemWidth + kCheckCol;  // the platform adds room for the check mark
      width = std::max(width, w);
    } else if (it.type & MFT_SEPARATOR) {
      h = kSepHeight;
    } else {
      h = GetSystemMetrics(SM_CYMENU);
      CSize c = dc.GetTextExtent(captionOf(it.text).c_str(), (int)captionOf(it.text).size());
      CSize s = dc.GetTextExtent(shortcutOf(it.text).c_str(), (int)shortcutOf(it.text).size());
      capW = std::max(capW, (int)c.cx);
      scW = std::max(scW, (int)s.cx);
    }
    heights.push_back(h);
  }
  width = std::max(width, kCheckCol + capW + (scW ? scW + 16 : 0) + kArrowCol + 4);
  for (size_t i = 0; i < d->items.size(); ++i) {
    boxes.push_back(ItemBox{QRect(0, y, width, heights[i])});
    y += heights[i];
  }
  dc.SelectObject(old);
  // Client size plus the 3-pixel raised frame on each side.
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, width + 6, y + 6, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int PopupWnd::ItemAt(CPoint pt) const {
  for (size_t i = 0; i < boxes.size(); ++i)
    if (boxes[i].rect.contains(pt.x, pt.y)) return (int)i;
  return -1;
}

void PopupWnd::OnPaint() {
  CPaintDC dc(this);
  MenuData* d = data(menu);
  if (!d) return;
  CRect cr;
  GetClientRect(&cr);
  dc.FillSolidRect(&cr, GetSysColor(COLOR_MENU));
  for (size_t i = 0; i < d->items.size() && i < boxes.size(); ++i) {
    MenuItem& it = d->items[i];
    QRect q = boxes[i].rect;
    CRect rc(q.left(), q.top(), q.left() + q.width(), q.top() + q.height());
    bool sel = (int)i == hot;
    bool disabled = (it.state & MFS_GRAYED) != 0;
    if (it.type & MFT_OWNERDRAW) {
      DRAWITEMSTRUCT dis{};
      dis.CtlType = ODT_MENU;
      dis.itemID = it.id;
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = (sel ? ODS_SELECTED : 0) | (disabled ? (ODS_GRAYED | ODS_DISABLED) : 0) |
                      ((it.state & MFS_CHECKED) ? ODS_CHECKED : 0) | ((it.state & MFS_DEFAULT) ? ODS_DEFAULT : 0);
      dis.hwndItem = reinterpret_cast<HWND>(menu);
      dis.hDC = dc.GetSafeHdc();
      dis.rcItem = rc;
      dis.itemData = it.data;
      int saved = dc.SaveDC();
      ::SendMessage(g_track->owner, WM_DRAWITEM, 0, (LPARAM)&dis);
      dc.RestoreDC(saved);
      continue;
    }
    if (it.type & MFT_SEPARATOR) {
      int my = rc.top + rc.Height() / 2;
      dc.FillSolidRect(rc.left + 1, my - 1, rc.Width() - 2, 1, GetSysColor(COLOR_BTNSHADOW));
      dc.FillSolidRect(rc.left + 1, my, rc.Width() - 2, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
      continue;
    }
    COLORREF text = GetSysColor(COLOR_MENUTEXT);
    if (sel) {
      dc.FillSolidRect(&rc, GetSysColor(COLOR_HIGHLIGHT));
      text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    dc.SetBkMode(TRANSPARENT);
    CFont* old = dc.SelectObject(CFont::FromHandle((it.state & MFS_DEFAULT) ? menuBoldFont() : menuFont()));
    CRect tr(rc.left + kCheckCol, rc.top, rc.right - kArrowCol, rc.bottom);
    std::string cap = captionOf(it.text), sc = shortcutOf(it.text);
    auto drawText = [&](COLORREF c, int off) {
      dc.SetTextColor(c);
      CRect a = tr;
      a.OffsetRect(off, off);
      dc.DrawText(cap.c_str(), (int)cap.size(), &a, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      if (!sc.empty()) dc.DrawText(sc.c_str(), (int)sc.size(), &a, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    };
    if (disabled) {
      if (!sel) drawText(GetSysColor(COLOR_BTNHIGHLIGHT), 1);
      drawText(GetSysColor(COLOR_GRAYTEXT), 0);
    } else {
      drawText(text, 0);
    }
    dc.SelectObject(old);
    COLORREF mark = disabled ? GetSysColor(COLOR_GRAYTEXT) : text;
    int cy = rc.top + rc.Height() / 2;
    if (it.state & MFS_CHECKED) {
      if (it.type & MFT_RADIOCHECK) {
        CBrush b(mark);
        CPen p(PS_SOLID, 1, mark);
        CBrush* ob = dc.SelectObject(&b);
        CPen* op = dc.SelectObject(&p);
        dc.Ellipse(rc.left + 6, cy - 3, rc.left + 12, cy + 3);
        dc.SelectObject(ob);
        dc.SelectObject(op);
      } else {
        static const int kTick[7] = {2, 3, 4, 3, 2, 1, 0};
        for (int k = 0; k < 7; ++k) dc.FillSolidRect(rc.left + 5 + k, cy - 4 + kTick[k], 1, 3, mark);
      }
    }
    if (it.sub) {
      // The submenu arrow: a small solid triangle at the right.
      int ax = rc.right - 10;
      for (int k = 0; k < 4; ++k) dc.FillSolidRect(ax + k, cy - 3 + k, 1, 7 - 2 * k, mark);
    }
  }
}

void closeFrom(size_t level);

void openSubmenu(PopupWnd* p, int i);

void PopupWnd::SetHot(int i) {
  if (i == hot) return;
  hot = i;
  MenuData* d = data(menu);
  Invalidate(FALSE);
  UpdateWindow();
  if (!(g_track->flags & TPM_NONOTIFY) && d) {
    if (i >= 0 && i < (int)d->items.size()) {
      MenuItem& it = d->items[i];
      UINT f = stateFlags(it) | (it.sub ? MF_POPUP : 0) | MF_MOUSESELECT;
      ::SendMessage(g_track->owner, WM_MENUSELECT, MAKEWPARAM(it.sub ? (UINT)i : it.id, f), (LPARAM)menu);
    }
  }
}

void PopupWnd::Choose(int i, bool byKey) {
  MenuData* d = data(menu);
  if (!d || i < 0 || i >= (int)d->items.size()) return;
  MenuItem& it = d->items[i];
  if (it.type & MFT_SEPARATOR) return;
  if (it.sub) {
    openSubmenu(this, i);
    return;
  }
  (void)byKey;
  if (it.state & MFS_GRAYED) return;
  g_track->result = it.id;
  g_track->done = true;
}

void PopupWnd::OnMouseMove(UINT, CPoint pt) {
  int i = ItemAt(pt);
  if (i < 0) return;
  SetHot(i);
  MenuData* d = data(menu);
  if (d && d->items[i].sub && openSub != i)
    openSubmenu(this, i);
  else if (d && !d->items[i].sub && openSub >= 0) {
    auto it = std::find(g_track->levels.begin(), g_track->levels.end(), this);
    closeFrom((size_t)(it - g_track->levels.begin()) + 1);
  }
}

void PopupWnd::OnLButtonDown(UINT, CPoint) {}
void PopupWnd::OnLButtonUp(UINT, CPoint pt) { Choose(ItemAt(pt), false); }
void PopupWnd::OnRButtonUp(UINT, CPoint pt) {
  if (g_track->flags & TPM_RIGHTBUTTON) Choose(ItemAt(pt), false);
}

PopupWnd* openPopup(HMENU menu, int x, int y, UINT flags, const RECT* exclude, bool asSub) {
  if (!(g_track->flags & TPM_NONOTIFY)) {
    int index = 0;
    ::SendMessage(g_track->owner, WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(index, FALSE));
  }
  auto* p = new PopupWnd;
  p->menu = menu;
  LPCTSTR cls = AfxRegisterWndClass(CS_SAVEBITS | CS_DROPSHADOW, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  if (!p->CreateEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, cls, "", WS_POPUP | WS_DLGFRAME, x, y, 10, 10,
                   g_track->owner, nullptr)) {
    return nullptr;
  }
  p->Layout();
  CRect wr;
  p->GetWindowRect(&wr);
  int w = wr.Width(), h = wr.Height();
  if (!asSub) {
    if (flags & TPM_CENTERALIGN)
      x -= w / 2;
    else if (flags & TPM_RIGHTALIGN)
      x -= w;
    if (flags & TPM_VCENTERALIGN)
      y -= h / 2;
    else if (flags & TPM_BOTTOMALIGN)
      y -= h;
  }
  // Kept on the monitor's work area; a submenu that does not fit on the right opens on the left.
  MONITORINFO mi{sizeof(mi), {}, {}, 0};
  GetMonitorInfo(MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST), &mi);
  if (x + w > mi.rcWork.right) x = asSub && exclude ? exclude->left - w : mi.rcWork.right - w;
  if (y + h > mi.rcWork.bottom) y = mi.rcWork.bottom - h;
  x = std::max<int>(x, mi.rcWork.left);
  y = std::max<int>(y, mi.rcWork.top);
  ::SetWindowPos(p->m_hWnd, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  g_track->levels.push_back(p);
  return p;
}

void closeFrom(size_t level) {
  while (g_track->levels.size() > level) {
    PopupWnd* p = g_track->levels.back();
    g_track->levels.pop_back();
    HMENU m = p->menu;
    p->DestroyWindow();
    if (!(g_track->flags & TPM_NONOTIFY)) ::SendMessage(g_track->owner, WM_UNINITMENUPOPUP, (WPARAM)m, 0);
  }
  if (!g_track->levels.empty()) g_track->levels.back()->openSub = -1;
}

void openSubmenu(PopupWnd* p, int i) {
  MenuData* d = data(p->menu);
  if (!d || !d->items[i].sub || (d->items[i].state & MFS_GRAYED)) return;
  auto it = std::find(g_track->levels.begin(), g_track->levels.end(), p);
  size_t level = (size_t)(it - g_track->levels.begin());
  closeFrom(level + 1);
  p->openSub = i;
  QRect b = p->boxes[i].rect;
  CPoint tl(b.right() + 1, b.top()), br(b.right() + 1, b.bottom());
  p->ClientToScreen(&tl);
  CRect wr;
  p->GetWindowRect(&wr);
  openPopup(d->items[i].sub, wr.right - 3, tl.y - 3, 0, &wr, true);
}

// Keys while a menu tracks belong to it.
LRESULT trackKeyHook(int code, WPARAM vk, LPARAM lp) {
  if (code != HC_ACTION || !g_track || (lp & ((LPARAM)1u << 31))) return code == HC_ACTION && g_track ? 1 : 0;
  PopupWnd* p = g_track->levels.empty() ? nullptr : g_track->levels.back();
  if (!p) return 1;
  MenuData* d = data(p->menu);
  int n = d ? (int)d->items.size() : 0;
  auto step = [&](int dir) {
    if (!n) return;
    // From no selection, Down takes the first item and Up the last.
    int i = p->hot >= 0 ? p->hot : (dir > 0 ? -1 : n);
    for (int k = 0; k < n; ++k) {
      i = (i + dir + n) % n;
      if (!(d->items[i].type & MFT_SEPARATOR)) break;
    }
    p->SetHot(i);
  };
  switch (vk) {
    case VK_ESCAPE:
      if (g_track->levels.size() > 1)
        closeFrom(g_track->levels.size() - 1);
      else
        g_track->done = true;
      return 1;
    case VK_UP: step(-1); return 1;
    case VK_DOWN: step(1); return 1;
    case VK_RIGHT:
      if (p->hot >= 0 && d->items[p->hot].sub) {
        openSubmenu(p, p->hot);
        if (g_track->levels.back() != p) g_track->levels.back()->SetHot(0);
      }
      return 1;
    case VK_LEFT:
      if (g_track->levels.size() > 1) closeFrom(g_track->levels.size() - 1);
      return 1;
    case VK_RETURN:
      if (p->hot >= 0) {
        p->Choose(p->hot, true);
        if (!g_track->done && g_track->levels.back() != p) g_track->levels.back()->SetHot(0);
      }
      return 1;
    case VK_MENU:
    case VK_F10: g_track->done = true; return 1;
  }
  UINT ch = MapVirtualKey((UINT)vk, MAPVK_VK_TO_CHAR);
  if (ch && d) {
    // Mnemonics: the character after '&'; one match chooses, several move between them.
    std::vector<int> hits;
    for (int i = 0; i < n; ++i) {
      const std::string& t = d->items[i].text;
      for (size_t k = 0; k + 1 < t.size(); ++k) {
        if (t[k] == '&' && t[k + 1] != '&') {
          if (toupper((unsigned char)t[k + 1]) == (int)toupper((int)ch)) hits.push_back(i);
          break;
        }
        if (t[k] == '&') ++k;
      }
    }
    if (hits.size() == 1) {
      p->SetHot(hits[0]);
      p->Choose(hits[0], true);
      if (!g_track->done && g_track->levels.back() != p) g_track->levels.back()->SetHot(0);
    } else if (hits.size() > 1) {
      auto next = std::upper_bound(hits.begin(), hits.end(), p->hot);
      p->SetHot(next == hits.end() ? hits[0] : *next);
    } else {
      MessageBeep(0);
    }
  }
  return 1;
}

LRESULT trackMouseHook(int code, WPARAM msg, LPARAM lp) {
  if (code != HC_ACTION || !g_track) return 0;
  auto* mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(lp);
  bool inMenu = false;
  for (PopupWnd* p : g_track->levels)
    if (mh->hwnd == p->m_hWnd) inMenu = true;
  if (inMenu) return 0;
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_NCLBUTTONDOWN ||
      msg == WM_NCRBUTTONDOWN) {
    g_track->done = true;  // a click elsewhere closes the menu and is eaten
    return 1;
  }
  if (msg == WM_MOUSEMOVE) return 1;
  return 0;
}

}  // namespace

BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, TPMPARAMS* tpm) {
  return TrackPopupMenu(hMenu, uFlags, x, y, 0, hwnd, tpm ? &tpm->rcExclude : nullptr);
}

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*) {
  if (!data(hMenu) || !IsWindow(hWnd) || g_track) return FALSE;
  Tracker t;
  t.owner = hWnd;
  t.flags = uFlags;
  g_track = &t;
  if (!(uFlags & TPM_NONOTIFY)) {
    ::SendMessage(hWnd, WM_ENTERMENULOOP, TRUE, 0);
    ::SendMessage(hWnd, WM_INITMENU, (WPARAM)hMenu, 0);
  }
  HWND oldCapture = GetCapture();
  if (oldCapture) ReleaseCapture();
  if (!openPopup(hMenu, x, y, uFlags, nullptr, false)) {
    g_track = nullptr;
    return FALSE;
  }
  t.keyHook = SetWindowsHookEx(WH_KEYBOARD, trackKeyHook, nullptr, 0);
  t.mouseHook = SetWindowsHookEx(WH_MOUSE, trackMouseHook, nullptr, 0);
  AfxRunModalLoop([&] { return !t.done && IsWindow(hWnd); });
  UnhookWindowsHookEx(t.keyHook);
  UnhookWindowsHookEx(t.mouseHook);
  closeFrom(0);
  g_track = nullptr;
  if (IsWindow(hWnd) && !(uFlags & TPM_NONOTIFY)) ::SendMessage(hWnd, WM_EXITMENULOOP, TRUE, 0);
  UINT cmd = t.result;
  if (uFlags & TPM_RETURNCMD) return (BOOL)cmd;
  if (cmd && IsWindow(hWnd)) ::PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
  return cmd != 0;
}

BOOL EndMenu() {
  if (!g_track) return FALSE;
  g_track->done = true;
  return TRUE;
}

BOOL GetMenuItemRect(HWND, HMENU hMenu, UINT uItem, LPRECT lprc) {
  if (!g_track || !lprc) return FALSE;
  for (PopupWnd* p : g_track->levels) {
    if (p->menu != hMenu || uItem >= p->boxes.size()) continue;
    QRect b = p->boxes[uItem].rect;
    CRect r(b.left(), b.top(), b.left() + b.width(), b.top() + b.height());
    p->ClientToScreen(&r);
    *lprc = r;
    return TRUE;
  }
  return FALSE;
}

int MenuItemFromPoint(HWND, HMENU hMenu, POINT pt) {
  if (!g_track) return -1;
  for (PopupWnd* p : g_track->levels) {
    if (p->menu != hMenu) continue;
    CPoint c(pt);
    p->ScreenToClient(&c);
    return p->ItemAt(c);
  }
  return -1;
}

int AfxGetTrackingMenus(HMENU* phMenus, HWND* phWnds, int nMax) {
  if (!g_track) return 0;
  int n = 0;
  for (PopupWnd* p : g_track->levels) {
    if (n >= nMax) break;
    if (phMenus) phMenus[n] = p->menu;
    if (phWnds) phWnds[n] = p->m_hWnd;
    ++n;
  }
  return n;
}

CMenu* CMenu::FindMenuOfItem(UINT nID, ULONG_PTR itemData) {
  HMENU h = g_measuring;
  if (!h) return nullptr;
  (void)nID;
  (void)itemData;
  CMenu* m = FromHandlePermanent(h);
  return m ? m : FromHandle(h);
}
