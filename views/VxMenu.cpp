#include "views/VxMenu.h"

#include <algorithm>
#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(VxMenu, CMenu)

namespace {

// The menu font of the system's non-client metrics, made once.
CFont* MenuFont() {
  static CFont font;
  if (!font.GetSafeHandle()) {
    NONCLIENTMETRICS ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    font.CreateFontIndirect(&ncm.lfMenuFont);
  }
  return &font;
}

// A small memory DC with the menu font, for measuring outside a paint.
class CMeasureDC : public CDC {
 public:
  CMeasureDC() {
    CreateCompatibleDC(nullptr);
    m_bmp.CreateCompatibleBitmap(this, 1, 1);
    m_pOldBmp = SelectObject(&m_bmp);
    m_pOldFont = SelectObject(MenuFont());
  }
  ~CMeasureDC() override {
    SelectObject(m_pOldFont);
    SelectObject(m_pOldBmp);
    DeleteDC();
  }

 private:
  CBitmap m_bmp;
  CBitmap* m_pOldBmp = nullptr;
  CFont* m_pOldFont = nullptr;
};

std::string Utf16ToUtf8(const WORD* p, const WORD* end, const WORD** next) {
  std::string out;
  while (p < end && *p) {
    unsigned c = *p++;
    if (c >= 0xD800 && c < 0xDC00 && p < end && *p >= 0xDC00 && *p < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;
    AfxAppendUtf8(out, c);
  }
  if (p < end) ++p;  // the terminator
  *next = p;
  return out;
}

COLORREF Towards(COLORREF from, COLORREF to, double f) {
  auto ch = [f](int a, int b) { return (int)(a + f * (b - a)); };
  return RGB(ch(GetRValue(from), GetRValue(to)), ch(GetGValue(from), GetGValue(to)),
             ch(GetBValue(from), GetBValue(to)));
}

void Frame(CDC* dc, const CRect& r, COLORREF c) {
  CBrush b(c);
  dc->FrameRect(&r, &b);
}

// Flags of an item as given back to the system, without the position-dependent bits.
constexpr UINT kKeptFlags =
    MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT | MF_MENUBREAK | MF_MENUBARBREAK | MF_SEPARATOR | MF_POPUP;

}  // namespace

int VxToolbarPictures::Find(UINT nID) const {
  for (size_t i = 0; i < commands.size(); ++i)
    if (commands[i] == nID) return (int)i;
  return -1;
}

VxMenu::VxMenu() : m_toolbars(std::make_shared<std::map<int, std::shared_ptr<VxToolbarPictures>>>()) {}

VxMenu::~VxMenu() { DestroyItems(); }

void VxMenu::SetCheckMarkPictures(std::shared_ptr<CBitmap> pictures, int nChecked, int nUnchecked) {
  m_checkPictures = std::move(pictures);
  m_nCheckedPicture = nChecked;
  m_nUncheckedPicture = nUnchecked;
}

VxMenuData* VxMenu::NewData() {
  m_data.push_back(std::make_unique<VxMenuData>());
  return m_data.back().get();
}

void VxMenu::FreeData() {
  m_data.clear();
  m_checkPictures.reset();  // a shared reference: the pictures live on with their other holders
}

void VxMenu::DestroyItems() {
  // The system menu takes its submenus with it, so theirs are only let go of here.
  for (auto& sub : m_subMenus) {
    sub->FreeData();
    sub->Detach();
  }
  m_subMenus.clear();
  FreeData();
  m_toolbars = std::make_shared<std::map<int, std::shared_ptr<VxToolbarPictures>>>();
  if (GetSafeHmenu()) DestroyMenu();
}

const VxMenuData* VxMenu::GetItemData(UINT nPos) const {
  MENUITEMINFO mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_DATA | MIIM_FTYPE;
  if (!::GetMenuItemInfo(m_hMenu, nPos, TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW)) return nullptr;
  for (auto& d : m_data)
    if ((ULONG_PTR)d.get() == mii.dwItemData) return d.get();
  return nullptr;
}

VxMenuData* VxMenu::FindData(UINT nID) {
  for (auto& d : m_data)
    if (!(d->nFlags & MF_POPUP) && d->nID == nID && nID != 0) return d.get();
  return nullptr;
}

// ---- Toolbar pictures ----

std::shared_ptr<VxToolbarPictures> VxMenu::LoadToolbar(int nToolbarID) {
  auto it = m_toolbars->find(nToolbarID);
  if (it != m_toolbars->end()) return it->second;
  std::shared_ptr<VxToolbarPictures> pics;
  // A toolbar resource: version, button width and height, count, then the command of each
  // button, 0 for a separator.
  HRSRC r = ::FindResource(nullptr, MAKEINTRESOURCE(nToolbarID), RT_TOOLBAR);
  DWORD n = r ? ::SizeofResource(nullptr, r) : 0;
  const BYTE* bytes = r ? static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, r))) : nullptr;
  if (bytes && n >= 8) {
    WORD head[4];
    std::memcpy(head, bytes, 8);
    if (head[0] == 1 && n >= 8u + 2u * head[3]) {
      auto p = std::make_shared<VxToolbarPictures>();
      for (WORD i = 0; i < head[3]; ++i) {
        WORD id;
        std::memcpy(&id, bytes + 8 + 2 * i, 2);
        if (id) p->commands.push_back(id);
      }
      if (p->bitmap.LoadBitmap((UINT)nToolbarID)) pics = p;
    }
  }
  (*m_toolbars)[nToolbarID] = pics;  // a missing toolbar is remembered too
  return pics;
}

BOOL VxMenu::LoadPicture(VxMenuData* pData, int nToolbarID) {
  pData->nImageIndex = -1;
  pData->pictures.reset();
  if (nToolbarID < 0) return FALSE;
  pData->nToolbarID = nToolbarID;
  auto pics = LoadToolbar(nToolbarID);
  int index = pics ? pics->Find((UINT)pData->nID) : -1;
  if (index < 0) return FALSE;
  BITMAP bm{};
  pics->bitmap.GetBitmap(&bm);
  if ((index + 1) * kPictureWidth > bm.bmWidth || bm.bmHeight < kPictureHeight) return FALSE;
  pData->nImageIndex = index;
  pData->pictures = pics;
  return TRUE;
}

void VxMenu::DrawPicture(CDC* pDC, const VxMenuData* d, int x, int y, BOOL bEmbossed) const {
  const CBitmap& bmp = d->pictures->bitmap;
  const int sx = d->nImageIndex * kPictureWidth;
  const COLORREF key = GetMaskColour();
  if (!bEmbossed) {
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap* old = mem.SelectObject(const_cast<CBitmap*>(&bmp));
    pDC->TransparentBlt(x, y, kPictureWidth, kPictureHeight, &mem, sx, 0, kPictureWidth, kPictureHeight, key);
    mem.SelectObject(old);
    mem.DeleteDC();
    return;
  }
  // Embossed: the picture's shape, background left out, once offset in a light colour and
  // then in place in the shadow colour.
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE), hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  bool shape[kPictureHeight][kPictureWidth];
  for (int j = 0; j < kPictureHeight; ++j)
    for (int i = 0; i < kPictureWidth; ++i) {
      COLORREF c = bmp.GetPixel(sx + i, j);
      shape[j][i] = c != key && c != face && c != hilite && c != CLR_INVALID;
    }
  for (int pass = 0; pass < 2; ++pass) {
    COLORREF c = pass == 0 ? hilite : ::GetSysColor(COLOR_BTNSHADOW);
    int off = pass == 0 ? 1 : 0;
    for (int j = 0; j < kPictureHeight; ++j)
      for (int i = 0; i < kPictureWidth; ++i)
        if (shape[j][i]) pDC->SetPixel(x + i + off, y + j + off, c);
  }
}

BOOL VxMenu::SetItemIcon(LPCTSTR lpszText, UINT nID, int nToolbarID) {
  auto [menu, pos] = FindItem(nID);
  if (!menu) return FALSE;
  MENUITEMINFO mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_DATA | MIIM_FTYPE | MIIM_STATE;
  ::GetMenuItemInfo(menu->m_hMenu, (UINT)pos, TRUE, &mii);
  VxMenuData* d = nullptr;
  if (mii.fType & MFT_OWNERDRAW)
    for (auto& x : menu->m_data)
      if ((ULONG_PTR)x.get() == mii.dwItemData) d = x.get();
  if (!d) {
    d = menu->NewData();
    menu->GetMenuString((UINT)pos, d->text, MF_BYPOSITION);
    d->nID = nID;
  }
  if (lpszText) d->text = lpszText;
  d->nFlags = (menu->GetMenuState((UINT)pos, MF_BYPOSITION) & kKeptFlags & ~MF_POPUP) | MF_OWNERDRAW;
  menu->LoadPicture(d, nToolbarID);
  return menu->ModifyMenu((UINT)pos, MF_BYPOSITION | d->nFlags, nID, reinterpret_cast<LPCTSTR>(d));
}

BOOL VxMenu::SetItemBitmap(UINT nID, UINT nBitmapID) {
  auto pics = std::make_shared<VxToolbarPictures>();
  if (!pics->bitmap.LoadBitmap(nBitmapID)) return FALSE;
  BITMAP bm{};
  pics->bitmap.GetBitmap(&bm);
  if (bm.bmWidth < kPictureWidth || bm.bmHeight < kPictureHeight) return FALSE;
  pics->commands.push_back(nID);
  if (!SetItemIcon(nullptr, nID, -1)) return FALSE;  // makes the item owner-drawn with data
  auto [menu, pos] = FindItem(nID);
  MENUITEMINFO mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_DATA;
  ::GetMenuItemInfo(menu->m_hMenu, (UINT)pos, TRUE, &mii);
  for (auto& d : menu->m_data)
    if ((ULONG_PTR)d.get() == mii.dwItemData) {
      d->nImageIndex = 0;
      d->pictures = pics;
      return TRUE;
    }
  return FALSE;
}

BOOL VxMenu::ApplyToolbarIcons(int nToolbarID) {
  auto pics = LoadToolbar(nToolbarID);
  if (!pics) return FALSE;
  for (UINT id : pics->commands)
    if (FindItem(id).first) SetItemIcon(nullptr, id, nToolbarID);
  return TRUE;
}

std::pair<VxMenu*, int> VxMenu::FindItem(UINT nID) {
  if (!m_hMenu) return {nullptr, -1};
  int n = (int)GetMenuItemCount();
  for (int i = 0; i < n; ++i)
    if (GetMenuItemID(i) == nID && nID != 0 && nID != (UINT)-1) return {this, i};
  for (int i = 0; i < n; ++i) {
    HMENU h = ::GetSubMenu(m_hMenu, i);
    if (auto* sub = dynamic_cast<VxMenu*>(CMenu::FromHandlePermanent(h))) {
      auto found = sub->FindItem(nID);
      if (found.first) return found;
    }
  }
  return {nullptr, -1};
}

BOOL VxMenu::AppendOwnerDrawnItem(LPCTSTR lpszText, UINT nFlags, UINT_PTR nID, int nToolbarID) {
  if (!m_hMenu) return FALSE;
  VxMenuData* d = NewData();
  d->text = lpszText ? lpszText : "";
  d->nID = nID;
  if (nID == 0 && !(nFlags & MF_POPUP)) {
    d->nFlags = MF_SEPARATOR | MF_OWNERDRAW;
  } else {
    d->nFlags = (nFlags & kKeptFlags) | MF_OWNERDRAW;
    if (nToolbarID >= 0 && !(nFlags & MF_POPUP)) LoadPicture(d, nToolbarID);
  }
  return AppendMenu(d->nFlags, nID, reinterpret_cast<LPCTSTR>(d));
}

// ---- Loading ----

BOOL VxMenu::LoadFromResource(UINT nIDResource) { return LoadFromResource(MAKEINTRESOURCE(nIDResource)); }

BOOL VxMenu::LoadFromResource(LPCTSTR lpszResourceName) {
  AfxEnsureUiResources();  // the resource scripts are compiled on first use
  HRSRC r = ::FindResource(nullptr, lpszResourceName, RT_MENU);
  if (!r) return FALSE;
  DWORD size = ::SizeofResource(nullptr, r);
  const BYTE* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, r)));
  if (!bytes || size < 4) return FALSE;
  DestroyItems();
  if (!CreateMenu()) return FALSE;

  const WORD* p = reinterpret_cast<const WORD*>(bytes);
  const WORD* end = reinterpret_cast<const WORD*>(bytes + (size & ~1u));
  p += 2 + p[1] / 2;  // the header, then the offset of the first item
  struct Level {
    VxMenu* menu;
    bool complete;
  };
  std::vector<Level> stack{{this, false}};
  while (!stack.empty() && p < end) {
    WORD flags = *p++;
    WORD id = 0;
    if (!(flags & MF_POPUP)) {
      if (p >= end) break;
      id = *p++;
    }
    std::string text = Utf16ToUtf8(p, end, &p);
    bool last = (flags & MF_END) != 0;
    UINT f = flags & ~MF_END;
    VxMenu* cur = stack.back().menu;
    if (last) stack.back().complete = true;
    if (flags & MF_POPUP) {
      auto sub = std::make_unique<VxMenu>();
      sub->m_checkPictures = m_checkPictures;
      sub->m_nCheckedPicture = m_nCheckedPicture;
      sub->m_nUncheckedPicture = m_nUncheckedPicture;
      sub->m_toolbars = m_toolbars;
      sub->m_clrMask = m_clrMask;
      sub->m_bUseMaskColour = m_bUseMaskColour;
      sub->CreatePopupMenu();
      VxMenu* raw = sub.get();
      m_subMenus.push_back(std::move(sub));
      cur->AppendOwnerDrawnItem(text.c_str(), f | MF_POPUP, (UINT_PTR)raw->m_hMenu, -1);
      stack.push_back({raw, false});
      continue;
    }
    cur->AppendOwnerDrawnItem(text.c_str(), f, id, -1);
    while (!stack.empty() && stack.back().complete) {
      if (stack.back().menu != this) stack.back().menu->AlignShortcuts();
      stack.pop_back();
    }
  }
  // The top level is a menu bar: its items go back to plain text.
  for (UINT i = 0; i < GetMenuItemCount(); ++i) {
    const VxMenuData* d = GetItemData(i);
    CString text = d ? d->text : CString();
    HMENU sub = ::GetSubMenu(m_hMenu, (int)i);
    UINT state = GetMenuState(i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    if (sub)
      ModifyMenu(i, MF_BYPOSITION | MF_POPUP | MF_STRING | state, (UINT_PTR)sub, text);
    else
      ModifyMenu(i, MF_BYPOSITION | MF_STRING | state, GetMenuItemID((int)i), text);
  }
  return TRUE;
}

void VxMenu::AlignShortcuts() {
  CMeasureDC dc;
  auto captionOf = [](const CString& t) {
    int tab = t.Find('\t');
    return tab < 0 ? t : t.Left(tab);
  };
  int widest = 0;
  for (auto& d : m_data) {
    if (d->nFlags & MF_SEPARATOR) continue;
    CString c = captionOf(d->text) + " ";
    widest = std::max(widest, (int)dc.GetTextExtent(c).cx);
  }
  for (auto& d : m_data) {
    int tab = d->text.Find('\t');
    int lastTab = d->text.ReverseFind('\t');
    if (tab < 0 || lastTab + 1 >= d->text.GetLength()) continue;
    CString caption = d->text.Left(tab);
    CString shortcut = d->text.Mid(lastTab + 1);
    while (dc.GetTextExtent(caption).cx < widest) caption += " ";
    d->text = caption + "\t" + shortcut;
  }
}

void VxMenu::SyncItems() {
  for (auto& d : m_data) d->bInUse = FALSE;
  std::vector<std::unique_ptr<VxMenuData>> created;
  UINT n = GetMenuItemCount();
  for (UINT pos = 0; pos < n; ++pos) {
    MENUITEMINFO mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!::GetMenuItemInfo(m_hMenu, pos, TRUE, &mii)) continue;
    bool popup = mii.hSubMenu != nullptr;
    bool separator = (mii.fType & MFT_SEPARATOR) != 0;
    VxMenuData* found = nullptr;
    for (auto& d : m_data) {
      if (d->bInUse) continue;
      bool match = popup       ? ((d->nFlags & MF_POPUP) && d->nID == (UINT_PTR)mii.hSubMenu)
                   : separator ? (d->nFlags & MF_SEPARATOR) != 0
                               : !(d->nFlags & (MF_POPUP | MF_SEPARATOR)) && d->nID == mii.wID;
      if (match) {
        found = d.get();
        break;
      }
    }
    if (!found) {
      created.push_back(std::make_unique<VxMenuData>());
      found = created.back().get();
      char buf[1025] = {0};
      ::GetMenuString(m_hMenu, pos, buf, 1024, MF_BYPOSITION);
      found->text = buf;
      found->nID = popup ? (UINT_PTR)mii.hSubMenu : mii.wID;
    }
    found->bInUse = TRUE;
    UINT flags = (GetMenuState(pos, MF_BYPOSITION) & kKeptFlags & ~MF_POPUP) | MF_OWNERDRAW;
    if (separator) flags |= MF_SEPARATOR;
    if (popup) flags |= MF_POPUP;
    found->nFlags = flags;
    ModifyMenu(pos, MF_BYPOSITION | flags, found->nID, reinterpret_cast<LPCTSTR>(found));
  }
  std::vector<std::unique_ptr<VxMenuData>> kept;
  for (auto& d : m_data)
    if (d->bInUse) kept.push_back(std::move(d));
  for (auto& d : created) kept.push_back(std::move(d));
  m_data = std::move(kept);
}

void VxMenu::SyncIfVxMenu(CMenu* pMenu) {
  if (auto* vx = dynamic_cast<VxMenu*>(pMenu)) vx->SyncItems();
}

// ---- Measuring and drawing ----

void VxMenu::MeasureItem(LPMEASUREITEMSTRUCT mis) {
  auto* d = reinterpret_cast<const VxMenuData*>(mis->itemData);
  if (!d || (d->nFlags & MF_SEPARATOR)) {
    mis->itemWidth = 0;
    mis->itemHeight = ::GetSystemMetrics(SM_CYMENU) / 2;
    return;
  }
  CMeasureDC dc;
  CString t = d->text;
  t.Replace("\t", "    ");
  t.Remove('&');
  int w = (int)dc.GetTextExtent(t).cx;
  mis->itemWidth = (UINT)(w + 2 * kPictureWidth + 1);
  mis->itemHeight = (UINT)std::max(::GetSystemMetrics(SM_CYMENU), kPictureHeight + 4);
}

void VxMenu::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  auto* d = reinterpret_cast<const VxMenuData*>(dis->itemData);
  if (!dc || !d) return;
  const CRect rc(dis->rcItem);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE), white = ::GetSysColor(COLOR_BTNHIGHLIGHT),
                 highlight = ::GetSysColor(COLOR_HIGHLIGHT), menuText = ::GetSysColor(COLOR_MENUTEXT);

  if (d->nFlags & MF_SEPARATOR) {
    dc->FillSolidRect(&rc, white);
    dc->FillSolidRect(rc.left, rc.top, 20, rc.Height(), face);
    dc->FillSolidRect(rc.left + 23, rc.top + rc.Height() / 2, rc.Width() - 26, 1, face);
    return;
  }
  const COLORREF hiFace = Towards(highlight, ::GetSysColor(COLOR_MENU), 0.7);
  const BOOL selected = (dis->itemState & ODS_SELECTED) != 0;
  const BOOL disabled = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const BOOL checked = (dis->itemState & ODS_CHECKED) != 0;
  const BOOL hasPicture = d->nImageIndex >= 0 && d->pictures;
  const BOOL checkPicture = checked && !hasPicture && m_checkPictures && m_nCheckedPicture >= 0;

  if (selected && !(disabled && hasPicture)) {
    dc->FillSolidRect(&rc, hiFace);
    Frame(dc, rc, highlight);
  } else {
    dc->FillSolidRect(&rc, white);
    dc->FillSolidRect(rc.left, rc.top, 20, rc.Height(), face);
  }

  const int m = std::max(0, (rc.Height() - kPictureHeight - 4) / 2);
  const int px = rc.left + 2, py = rc.top + m + 2;
  if (hasPicture || checkPicture) {
    CRect cell(rc.left + 1, rc.top + m + 1, rc.left + kPictureWidth + 3, rc.top + m + kPictureHeight + 3);
    Frame(dc, cell, ::GetSysColor(COLOR_MENU));
    CRect inner(cell);
    inner.DeflateRect(1, 1);
    if (checkPicture) {
      dc->FillSolidRect(&inner, face);
      int index = selected ? m_nCheckedPicture : (m_nUncheckedPicture >= 0 ? m_nUncheckedPicture : m_nCheckedPicture);
      CDC mem;
      mem.CreateCompatibleDC(dc);
      CBitmap* old = mem.SelectObject(m_checkPictures.get());
      dc->TransparentBlt(px, py, kPictureWidth, kPictureHeight, &mem, index * kPictureWidth, 0, kPictureWidth,
                         kPictureHeight, GetMaskColour());
      mem.SelectObject(old);
      mem.DeleteDC();
    } else if (!disabled) {
      dc->FillSolidRect(&inner, selected ? hiFace : checked ? ::GetSysColor(COLOR_3DLIGHT) : face);
      DrawPicture(dc, d, px, py, FALSE);
    } else {
      Frame(dc, inner, face);
      DrawPicture(dc, d, px, py, TRUE);
    }
  }

  if (checked && !hasPicture && !checkPicture) {
    CRect cell(rc.left + 1, rc.top + m + 1, rc.left + kPictureWidth + 2, rc.top + m + kPictureHeight + 4);
    dc->FillSolidRect(&cell, Towards(highlight, white, 0.6));
    Frame(dc, cell, highlight);
    MENUITEMINFO mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_CHECKMARKS;
    BOOL ownBitmap = ::GetMenuItemInfo(m_hMenu, dis->itemID, FALSE, &mii) && mii.hbmpChecked;
    if (ownBitmap) {
      CBrush b(menuText);
      CPen pen(PS_SOLID, 1, menuText);
      CBrush* ob = dc->SelectObject(&b);
      CPen* op = dc->SelectObject(&pen);
      dc->Ellipse(cell.left + 5, cell.top + 6, cell.left + 11, cell.top + 12);
      dc->SelectObject(ob);
      dc->SelectObject(op);
    } else {
      static const int starts[7] = {2, 3, 4, 3, 2, 1, 0};
      int x = cell.left + 5, y = cell.top + 5;
      for (int i = 0; i < 7; ++i)
        for (int k = 0; k < 3; ++k) dc->SetPixel(x + i, y + starts[i] + k, menuText);
    }
  }

  CFont* oldFont = dc->SelectObject(MenuFont());
  dc->SetBkMode(TRANSPARENT);
  CRect text(rc.left + kPictureWidth + 9, rc.top - 1, rc.right, rc.bottom - 1);
  int tab = d->text.Find('\t');
  CString caption = tab < 0 ? d->text : d->text.Left(tab);
  CString shortcut = tab < 0 ? CString() : d->text.Mid(d->text.ReverseFind('\t') + 1);
  auto draw = [&](int off, COLORREF c) {
    dc->SetTextColor(c);
    CRect r(text);
    r.OffsetRect(off, off);
    dc->DrawText(caption, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (!shortcut.IsEmpty()) {
      CRect s(r);
      s.right = rc.right - kPictureWidth + off;
      dc->DrawText(shortcut, &s, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
  };
  if (!disabled) {
    draw(0, menuText);
  } else if (selected) {
    draw(0, ::GetSysColor(COLOR_GRAYTEXT));
  } else {
    draw(1, white);
    draw(0, ::GetSysColor(COLOR_GRAYTEXT));
  }
  dc->SelectObject(oldFont);
}
