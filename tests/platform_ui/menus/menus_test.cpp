// Menus from resources and from code, popup tracking driven by real input, owner-drawn
// items, string tables, message boxes and system values.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT ID_FULLSCREEN = 32787, ID_SAVEAS = 32807, ID_PRINT = 57607, ID_COPY = 32821, ID_FEET = 32791;

class COwner : public CWnd {
 public:
  std::vector<UINT> initPopups;
  std::vector<UINT> commands;
  std::vector<UINT> selects;
  BOOL enterLoop = FALSE, exitLoop = FALSE;
  void OnInitMenuPopup(CMenu* m, UINT, BOOL) { initPopups.push_back(m ? m->GetMenuItemCount() : 0); }
  void OnMenuSelect(UINT id, UINT, HMENU) { selects.push_back(id); }
  void OnEnterMenuLoop(BOOL b) { enterLoop = b; }
  void OnExitMenuLoop(BOOL b) { exitLoop = b; }
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    commands.push_back(LOWORD(w));
    return CWnd::OnCommand(w, l);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(COwner, CWnd)
  ON_WM_INITMENUPOPUP()
  ON_WM_MENUSELECT()
  ON_WM_ENTERMENULOOP()
  ON_WM_EXITMENULOOP()
END_MESSAGE_MAP()

// Owner-drawn items, as the program's own menu class makes them.
class CDrawnMenu : public CMenu {
 public:
  std::vector<std::string> texts;
  std::vector<UINT> measured;
  std::vector<std::pair<UINT, UINT>> drawn;  // id, state
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    measured.push_back(mis->itemID);
    mis->itemWidth = 120;
    mis->itemHeight = 22;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    drawn.emplace_back(dis->itemID, dis->itemState);
    CDC* dc = CDC::FromHandle(dis->hDC);
    dc->FillSolidRect(&dis->rcItem, (dis->itemState & ODS_SELECTED) ? RGB(255, 0, 0) : RGB(255, 255, 255));
    const char* text = reinterpret_cast<const char*>(dis->itemData);
    CRect r(dis->rcItem);
    r.left += 20;
    dc->SetBkMode(TRANSPARENT);
    dc->DrawText(text, -1, &r, DT_SINGLELINE | DT_VCENTER);
  }
  // Copies a resource popup with every item owner-drawn.
  void LoadOwnerDrawn(UINT resource) {
    CMenu res;
    ASSERT_TRUE(res.LoadMenu(resource));
    CMenu* sub = res.GetSubMenu(0);
    ASSERT_NE(nullptr, sub);
    CreatePopupMenu();
    texts.reserve(32);
    for (UINT i = 0; i < sub->GetMenuItemCount(); ++i) {
      UINT id = sub->GetMenuItemID((int)i);
      if (id == 0) {
        AppendMenu(MF_SEPARATOR);
        continue;
      }
      CString s;
      sub->GetMenuString(i, s, MF_BYPOSITION);
      texts.push_back(s.GetString());
      UINT state = sub->GetMenuState(i, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED);
      if (id == (UINT)-1) continue;  // the submenu is left out here
      AppendMenu(MF_OWNERDRAW | state, id, reinterpret_cast<LPCTSTR>(texts.back().c_str()));
    }
  }
};

class Menus : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr));
    owner.SetFocus();
  }
  void TearDown() override {
    owner.DestroyWindow();
    AfxTestWait(5);
  }
  static POINT ItemCentre(HMENU m, UINT pos) {
    RECT r{};
    EXPECT_TRUE(GetMenuItemRect(nullptr, m, pos, &r));
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  COwner owner;
};

TEST_F(Menus, AMenuResourceLoadsWithItsPopupsFlagsAndTexts) {
  CMenu m;
  ASSERT_TRUE(m.LoadMenu(117));
  ASSERT_EQ(1u, m.GetMenuItemCount());
  CMenu* p = m.GetSubMenu(0);
  ASSERT_NE(nullptr, p);
  ASSERT_EQ(6u, p->GetMenuItemCount());
  const struct {
    UINT id;
    const char* text;
    UINT flags;
  } items[] = {
      {ID_FULLSCREEN, "View &Full Screen", MF_DEFAULT},
      {0, "", MF_SEPARATOR},
      {ID_SAVEAS, "Save &As...\tCtrl+S", 0},
      {ID_PRINT, "&Print...", MF_GRAYED},
      {ID_COPY, "&Copy", MF_CHECKED},
  };
  for (UINT i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(items[i].id, p->GetMenuItemID((int)i));
    CString s;
    p->GetMenuString(i, s, MF_BYPOSITION);
    EXPECT_STREQ(items[i].text, s.GetString());
    EXPECT_EQ(items[i].flags, p->GetMenuState(i, MF_BYPOSITION) & (MF_DEFAULT | MF_SEPARATOR | MF_GRAYED | MF_CHECKED));
  }
  EXPECT_EQ((UINT)-1, p->GetMenuItemID(5));
  CMenu* units = p->GetSubMenu(5);
  ASSERT_NE(nullptr, units);
  EXPECT_EQ(2u, units->GetMenuItemCount());
  EXPECT_EQ(ID_FEET, units->GetMenuItemID(1));
  EXPECT_EQ(0u, p->GetDefaultItem(0, TRUE));
  CMenu two;
  ASSERT_TRUE(two.LoadMenu(118));
  EXPECT_EQ(2u, two.GetMenuItemCount());
  CString about;
  two.GetSubMenu(1)->GetMenuString(0, about, MF_BYPOSITION);
  EXPECT_STREQ("&About \"Neapwise\"", about.GetString());
  CMenu missing;
  EXPECT_FALSE(missing.LoadMenu(9999));
}

TEST_F(Menus, ItemsAreInsertedModifiedQueriedAndDeleted) {
  CMenu m;
  m.CreatePopupMenu();
  m.AppendMenu(MF_STRING, 1, "One");
  m.AppendMenu(MF_STRING, 3, "Three");
  m.InsertMenu(1, MF_BYPOSITION | MF_STRING, 2, "Two");
  m.InsertMenu(3, MF_BYCOMMAND | MF_SEPARATOR);  // before the item with command 3
  ASSERT_EQ(4u, m.GetMenuItemCount());
  EXPECT_EQ(2u, m.GetMenuItemID(1));
  EXPECT_EQ(0u, m.GetMenuItemID(2));
  m.ModifyMenu(2, MF_BYCOMMAND | MF_STRING, 20, "Twenty");
  CString s;
  m.GetMenuString(20, s, MF_BYCOMMAND);
  EXPECT_STREQ("Twenty", s.GetString());
  m.CheckMenuItem(20, MF_CHECKED);
  EXPECT_EQ((UINT)MF_CHECKED, m.GetMenuState(20, MF_BYCOMMAND) & MF_CHECKED);
  m.EnableMenuItem(1, MF_BYCOMMAND | MF_GRAYED);
  EXPECT_NE(0u, m.GetMenuState(1, MF_BYCOMMAND) & MF_GRAYED);
  m.CheckMenuRadioItem(1, 20, 1, MF_BYCOMMAND);
  MENUITEMINFO mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE | MIIM_STATE;
  m.GetMenuItemInfo(1, &mii, FALSE);
  EXPECT_NE(0u, mii.fType & MFT_RADIOCHECK);
  EXPECT_NE(0u, mii.fState & MFS_CHECKED);
  EXPECT_EQ(0u, m.GetMenuState(20, MF_BYCOMMAND) & MF_CHECKED);
  CMenu sub;
  sub.CreatePopupMenu();
  sub.AppendMenu(MF_STRING, 50, "Deep");
  m.AppendMenu(MF_POPUP, (UINT_PTR)sub.Detach(), "Sub");
  EXPECT_EQ((UINT)MF_POPUP, m.GetMenuState(4, MF_BYPOSITION) & MF_POPUP);
  m.CheckMenuItem(50, MF_CHECKED);  // by command reaches into submenus
  EXPECT_EQ((UINT)MF_CHECKED, m.GetSubMenu(4)->GetMenuState(0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(m.DeleteMenu(2, MF_BYPOSITION));
  EXPECT_TRUE(m.RemoveMenu(3, MF_BYCOMMAND));
  EXPECT_FALSE(m.DeleteMenu(77, MF_BYCOMMAND));
  EXPECT_EQ(3u, m.GetMenuItemCount());
}

TEST_F(Menus, AnOwnerDrawnPopupFromAResourceIsTrackedToTheClickedCommand) {
  CDrawnMenu menu;
  menu.LoadOwnerDrawn(117);
  HMENU h = menu.GetSafeHmenu();
  AfxCallLater(30, [h] {
    POINT p = ItemCentre(h, 2);  // "Save As..."
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_LBUTTONDOWN, p);
    AfxTestMouse(WM_LBUTTONUP, p);
  });
  UINT cmd = menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, 120, 90, &owner);
  EXPECT_EQ(ID_SAVEAS, cmd);
  std::vector<UINT> measuredExpected{ID_FULLSCREEN, ID_SAVEAS, ID_PRINT, ID_COPY};
  EXPECT_EQ(measuredExpected, menu.measured);
  bool selectedDrawn = false;
  for (auto& d : menu.drawn)
    if (d.first == ID_SAVEAS && (d.second & ODS_SELECTED)) selectedDrawn = true;
  EXPECT_TRUE(selectedDrawn);
  bool grayed = false;
  for (auto& d : menu.drawn)
    if (d.first == ID_PRINT && (d.second & ODS_GRAYED)) grayed = true;
  EXPECT_TRUE(grayed);
  EXPECT_EQ(1u, owner.initPopups.size());
  EXPECT_TRUE(owner.enterLoop);
  EXPECT_TRUE(owner.exitLoop);
  EXPECT_TRUE(owner.commands.empty());  // with TPM_RETURNCMD nothing is sent
  HMENU menus[4];
  EXPECT_EQ(0, AfxGetTrackingMenus(menus, nullptr, 4));
}

TEST_F(Menus, WithoutReturnCmdTheChosenCommandIsPostedToTheOwner) {
  CMenu m;
  ASSERT_TRUE(m.LoadMenu(117));
  HMENU popup = m.GetSubMenu(0)->GetSafeHmenu();
  AfxCallLater(30, [popup] {
    POINT p = ItemCentre(popup, 4);  // "Copy"
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_RBUTTONDOWN, p);
    AfxTestMouse(WM_RBUTTONUP, p);  // TPM_RIGHTBUTTON: the right button chooses too
  });
  EXPECT_TRUE(m.GetSubMenu(0)->TrackPopupMenu(TPM_RIGHTBUTTON, 100, 100, &owner));
  AfxTestWait(5000, [&] { return !owner.commands.empty(); });
  EXPECT_EQ(std::vector<UINT>{ID_COPY}, owner.commands);
}

TEST_F(Menus, KeysMoveChooseAndOpenSubmenus) {
  CMenu m;
  ASSERT_TRUE(m.LoadMenu(117));
  CMenu* p = m.GetSubMenu(0);
  struct Case {
    std::vector<std::pair<UINT, const char*>> keys;
    UINT expected;
  } cases[] = {
      {{{VK_DOWN, nullptr}, {VK_DOWN, nullptr}, {VK_RETURN, nullptr}}, ID_SAVEAS},  // the separator is skipped
      {{{'C', "c"}}, ID_COPY},                                                      // a mnemonic chooses
      {{{VK_UP, nullptr}, {VK_RIGHT, nullptr}, {VK_DOWN, nullptr}, {VK_RETURN, nullptr}}, ID_FEET},
      {{{'P', "p"}, {VK_ESCAPE, nullptr}}, 0},  // a grayed item is not chosen; Esc ends with none
  };
  static int round = 0;
  for (auto& c : cases) {
    auto keys = c.keys;
    int mine = ++round;
    AfxCallLater(20, [keys] {
      for (auto& k : keys) AfxTestKeyStroke(k.first, 0, k.second);
    });
    AfxCallLater(1500, [mine] {
      if (mine == round) EndMenu();  // a fault must not hang the test
    });
    EXPECT_EQ(c.expected, (UINT)p->TrackPopupMenu(TPM_RETURNCMD, 100, 100, &owner));
  }
  ++round;
}

TEST_F(Menus, AClickOutsideEndsTrackingWithNoCommand) {
  CMenu m;
  ASSERT_TRUE(m.LoadMenu(117));
  AfxCallLater(20, [] {
    AfxTestMouse(WM_MOUSEMOVE, POINT{60, 60});
    AfxTestMouse(WM_LBUTTONDOWN, POINT{60, 60});
  });
  EXPECT_EQ(0, m.GetSubMenu(0)->TrackPopupMenu(TPM_RETURNCMD, 200, 150, &owner));
}

TEST_F(Menus, APopupOpensWithinTheWorkAreaByItsAlignment) {
  CMenu m;
  ASSERT_TRUE(m.LoadMenu(117));
  HMENU popup = m.GetSubMenu(0)->GetSafeHmenu();
  RECT seen{};
  AfxCallLater(20, [&] {
    HWND wnds[2];
    if (AfxGetTrackingMenus(nullptr, wnds, 2) == 1) GetWindowRect(wnds[0], &seen);
    EndMenu();
  });
  m.GetSubMenu(0)->TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 400, 300, &owner);
  EXPECT_EQ(400, seen.right);
  EXPECT_EQ(300, seen.bottom);
  (void)popup;
}

TEST(Resources, StringTablesAndAcceleratorsAreBuiltFromTheScript) {
  CString s;
  ASSERT_TRUE(AfxLoadString(61229, s));
  EXPECT_STREQ("You will run aground at the next low water", s.GetString());
  ASSERT_TRUE(AfxLoadString(7, s));
  EXPECT_STREQ("seven", s.GetString());
  EXPECT_FALSE(AfxLoadString(8, s));
  EXPECT_TRUE(s.IsEmpty());
  char buf[8];
  EXPECT_EQ(7, LoadString(nullptr, 61220, buf, sizeof(buf)));  // cut to the buffer
  HRSRC r = FindResource(nullptr, MAKEINTRESOURCE(128), RT_ACCELERATOR);
  ASSERT_NE(nullptr, r);
  ASSERT_EQ(16u, SizeofResource(nullptr, r));
  const WORD* a = static_cast<const WORD*>(LockResource(LoadResource(nullptr, r)));
  EXPECT_EQ(0x01 | 0x08, a[0]);  // virtual key, Ctrl
  EXPECT_EQ('S', a[1]);
  EXPECT_EQ(32807, a[2]);
  EXPECT_EQ(0x01 | 0x80, a[4]);  // the last entry
  EXPECT_EQ(VK_F12, a[5]);
}

TEST(Resources, AFaultyScriptIsRejectedWithItsLine) {
  const char bad[] = "menu 300\n  popup \"A\"\n    item \"B\" notanumber\n  end\nend\n";
  CString err;
  EXPECT_FALSE(AfxCompileUiScript("bad", bad, sizeof(bad) - 1, &err));
  EXPECT_NE(-1, err.Find("line 3"));
  EXPECT_EQ(nullptr, FindResource(nullptr, MAKEINTRESOURCE(300), RT_MENU));
  const char unterminated[] = "strings\n 5 \"open\nend\n";
  EXPECT_FALSE(AfxCompileUiScript("bad2", unterminated, sizeof(unterminated) - 1, &err));
  const char good[] = "menu 301 popup \"X\" item \"Y\" 5 end end";
  EXPECT_TRUE(AfxCompileUiScript("good", good, sizeof(good) - 1, &err));
  CMenu m;
  EXPECT_TRUE(m.LoadMenu(301));
}

TEST(MessageBoxes, AHookAnswersWithTheFlagsAndTextOfTheBox) {
  AfxWinInit(0, nullptr);
  std::vector<AFX_MSGBOX_REQUEST> asked;
  AFX_MSGBOX_HOOK old = AfxSetMessageBoxHook([&](const AFX_MSGBOX_REQUEST& r) {
    asked.push_back(r);
    return (r.type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
  });
  EXPECT_EQ(IDNO, AfxMessageBox("Overwrite the log?", MB_YESNO));
  EXPECT_EQ(IDOK, MessageBox(nullptr, "Done", "Neapwise", MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(IDOK, AfxMessageBox(61229u));
  ASSERT_EQ(3u, asked.size());
  EXPECT_EQ("Overwrite the log?", asked[0].text);
  EXPECT_EQ((UINT)MB_YESNO, asked[0].type & MB_TYPEMASK);
  EXPECT_EQ("Neapwise", asked[1].caption);
  EXPECT_EQ((UINT)MB_ICONINFORMATION, asked[1].type & MB_ICONMASK);
  EXPECT_EQ("You will run aground at the next low water", asked[2].text);
  AfxSetMessageBoxHook(old);
}

TEST(SystemValues, MetricsAndTheWorkAreaComeFromTheScreenAndTheClassicLook) {
  AfxWinInit(0, nullptr);
  EXPECT_EQ(16, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(19, GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(2, GetSystemMetrics(SM_CXEDGE));
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  RECT work{};
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_GT(work.right - work.left, 0);
  EXPECT_LE(work.right - work.left, GetSystemMetrics(SM_CXSCREEN));
  MONITORINFO mi{sizeof(mi), {}, {}, 0};
  ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &mi));
  EXPECT_EQ(work.right, mi.rcWork.right);
  EXPECT_NE(0u, mi.dwFlags & MONITORINFOF_PRIMARY);
  NONCLIENTMETRICS ncm{};
  ncm.cbSize = sizeof(ncm);
  ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0));
  EXPECT_STREQ("Tahoma", ncm.lfMenuFont.lfFaceName);
  BOOL anim = TRUE;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETMENUANIMATION, 0, &anim, 0));
  EXPECT_FALSE(anim);
}

}  // namespace
