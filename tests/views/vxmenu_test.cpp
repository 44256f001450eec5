// The owner-drawn context menus: loading, toolbar pictures, shortcut alignment, drawing of
// each kind of item, re-synchronising, and a popup tracked with real input.
#include "views/VxMenu.h"
#include "platform/testing/UiTest.h"
#include "tests/app/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using test_pictures::GlyphColour;
using test_pictures::kGrey;

const UINT ID_FULLSCREEN = 32787, ID_SAVEAS = 32807, ID_PRINT = 57607, ID_COPY = 32821, ID_METRES = 32785;

class VxMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    test_pictures::RegisterToolbar(152, {ID_SAVEAS, 0, ID_PRINT, ID_FULLSCREEN});
    test_pictures::RegisterToolbar(160, {ID_COPY});
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 40, 40, 300, 200, nullptr, nullptr));
  }
  void TearDown() override {
    SetSysColorsForTest(COLOR_BTNFACE, RGB(192, 192, 192));
    owner.DestroyWindow();
    AfxTestWait(5);
  }

  // Draws item pos of the menu into a fresh picture, as the popup would.
  void DrawItem(VxMenu* m, UINT pos, UINT state, CBitmap& out, int width = 200) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    out.DeleteObject();
    out.CreateCompatibleBitmap(nullptr, width, 19);
    CBitmap* old = dc.SelectObject(&out);
    dc.FillSolidRect(0, 0, width, 19, RGB(1, 1, 1));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = m->GetMenuItemID((int)pos);
    dis.itemState = state;
    dis.hwndItem = reinterpret_cast<HWND>(m->GetSafeHmenu());
    dis.hDC = dc.GetSafeHdc();
    dis.rcItem = CRect(0, 0, width, 19);
    dis.itemData = reinterpret_cast<ULONG_PTR>(m->GetItemData(pos));
    ASSERT_NE(0u, dis.itemData);
    m->DrawItem(&dis);
    dc.SelectObject(old);
  }
  CWnd owner;
};

TEST_F(VxMenus, TheGraphMenuLoadsOwnerDrawnWithAlignedShortcuts) {
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(117));
  ASSERT_EQ(1u, menu.GetMenuItemCount());
  EXPECT_EQ(0u, menu.GetMenuState(0, MF_BYPOSITION) & MF_OWNERDRAW);  // the bar level stays text
  CString bar;
  menu.GetMenuString(0, bar, MF_BYPOSITION);
  EXPECT_STREQ("Graph", bar.GetString());
  auto* popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  ASSERT_NE(nullptr, popup);
  ASSERT_EQ(12u, popup->GetMenuItemCount());
  const UINT ids[] = {ID_FULLSCREEN, 0, ID_SAVEAS, ID_PRINT, ID_COPY, 0, ID_METRES, 32791, 0, 32790, 0, 32820};
  for (UINT i = 0; i < 12; ++i) {
    EXPECT_EQ(ids[i], popup->GetMenuItemID((int)i)) << i;
    EXPECT_NE(0u, popup->GetMenuState(i, MF_BYPOSITION) & MF_OWNERDRAW) << i;
    ASSERT_NE(nullptr, popup->GetItemData(i));
  }
  EXPECT_EQ(0u, popup->GetDefaultItem(0, TRUE));
  // Both shortcut items were padded to the widest caption, so their shortcuts line up.
  std::string saveAs = popup->GetItemData(2)->text.GetString(), print = popup->GetItemData(3)->text.GetString();
  EXPECT_EQ(0u, saveAs.find("Save &As..."));
  EXPECT_NE(std::string::npos, saveAs.find(" \tCtrl+S"));
  EXPECT_NE(std::string::npos, print.find(" \tCtrl+P"));
  EXPECT_STREQ("P&roperties...", popup->GetItemData(11)->text.GetString());
  VxMenu missing;
  EXPECT_FALSE(missing.LoadFromResource(9999));
  EXPECT_EQ(nullptr, missing.GetSafeHmenu());
}

TEST_F(VxMenus, ToolbarPicturesGoToTheCommandsTheToolbarHolds) {
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(117));
  EXPECT_TRUE(menu.ApplyToolbarIcons(152));
  EXPECT_TRUE(menu.SetItemIcon(nullptr, ID_COPY, 160));
  EXPECT_FALSE(menu.ApplyToolbarIcons(999));  // no such toolbar: nothing changes
  auto* popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  ASSERT_NE(nullptr, popup);
  EXPECT_EQ(0, popup->GetItemData(2)->nImageIndex);  // Save As: the first button
  EXPECT_EQ(1, popup->GetItemData(3)->nImageIndex);  // Print: after the separator
  EXPECT_EQ(2, popup->GetItemData(0)->nImageIndex);  // Full screen
  EXPECT_EQ(0, popup->GetItemData(4)->nImageIndex);  // Copy, from its own toolbar
  EXPECT_EQ(160, popup->GetItemData(4)->nToolbarID);
  EXPECT_EQ(-1, popup->GetItemData(6)->nImageIndex);  // Metres has none
  // One loaded picture strip serves every item of the toolbar.
  EXPECT_EQ(popup->GetItemData(2)->pictures.get(), popup->GetItemData(3)->pictures.get());
  auto found = menu.FindItem(ID_METRES);
  EXPECT_EQ(popup, found.first);
  EXPECT_EQ(6, found.second);
  EXPECT_EQ(-1, menu.FindItem(12345).second);
  // A new text replaces the old one.
  EXPECT_TRUE(menu.SetItemIcon("&Copy Graph", ID_COPY, 160));
  EXPECT_STREQ("&Copy Graph", popup->GetItemData(4)->text.GetString());
  menu.DestroyItems();
  EXPECT_EQ(nullptr, menu.GetSafeHmenu());
  ASSERT_TRUE(menu.LoadFromResource(117));  // the same object loads again
}

TEST_F(VxMenus, PicturesAreKeyedOnTheirOwnGreyNotOnTheButtonFace) {
  SetSysColorsForTest(COLOR_BTNFACE, RGB(212, 208, 200));
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(117));
  menu.ApplyToolbarIcons(152);
  auto* popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  CBitmap pic;
  DrawItem(popup, 2, 0, pic);                                 // Save As, not selected
  EXPECT_EQ(GlyphColour(0), pic.GetPixel(2 + 8, 2 + 6));      // the glyph
  EXPECT_EQ(RGB(212, 208, 200), pic.GetPixel(2 + 1, 2 + 1));  // grey keyed out: the column shows through
  EXPECT_EQ(RGB(255, 255, 255), pic.GetPixel(60, 2));         // white face
  for (int y = 2; y < 17; ++y)                                // inside the cell's frame: no grey is left
    for (int x = 2; x < 18; ++x) EXPECT_NE(kGrey, pic.GetPixel(x, y)) << x << "," << y;
  // Selected: the light highlight face with a frame in the highlight colour.
  DrawItem(popup, 2, ODS_SELECTED, pic);
  COLORREF hl = GetSysColor(COLOR_HIGHLIGHT), menuC = GetSysColor(COLOR_MENU);
  COLORREF face = RGB(GetRValue(hl) + (int)(0.7 * (GetRValue(menuC) - GetRValue(hl))),
                      GetGValue(hl) + (int)(0.7 * (GetGValue(menuC) - GetGValue(hl))),
                      GetBValue(hl) + (int)(0.7 * (GetBValue(menuC) - GetBValue(hl))));
  EXPECT_EQ(hl, pic.GetPixel(100, 0));
  EXPECT_EQ(face, pic.GetPixel(100, 5));
  EXPECT_EQ(GlyphColour(0), pic.GetPixel(2 + 8, 2 + 6));
}

TEST_F(VxMenus, APictureCellShowsTheItemsStateAroundThePicture) {
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(117));
  menu.ApplyToolbarIcons(152);
  auto* popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  COLORREF hl = GetSysColor(COLOR_HIGHLIGHT), menuC = GetSysColor(COLOR_MENU);
  COLORREF face = RGB(GetRValue(hl) + (int)(0.7 * (GetRValue(menuC) - GetRValue(hl))),
                      GetGValue(hl) + (int)(0.7 * (GetGValue(menuC) - GetGValue(hl))),
                      GetBValue(hl) + (int)(0.7 * (GetBValue(menuC) - GetBValue(hl))));
  const struct {
    UINT state;
    COLORREF cell;
  } cases[] = {{0, GetSysColor(COLOR_BTNFACE)}, {ODS_CHECKED, GetSysColor(COLOR_3DLIGHT)}, {ODS_SELECTED, face}};
  CBitmap pic;
  for (auto& c : cases) {
    DrawItem(popup, 2, c.state, pic);
    EXPECT_EQ(c.cell, pic.GetPixel(2 + 1, 2 + 1)) << c.state;  // the keyed-out corner of the picture
    EXPECT_EQ(GlyphColour(0), pic.GetPixel(2 + 8, 2 + 6)) << c.state;
    EXPECT_EQ(menuC, pic.GetPixel(1, 1)) << c.state;  // the cell's frame
  }
}

TEST_F(VxMenus, PicturesAreLoadedOnceAndNotAgainAtEachPaint) {
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(117));
  menu.ApplyToolbarIcons(152);
  auto* popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  CBitmap pic;
  DrawItem(popup, 2, 0, pic);
  ASSERT_EQ(GlyphColour(0), pic.GetPixel(2 + 8, 2 + 6));
  // The toolbar's bitmap changes under the open menu: every paint, enabled or disabled, still
  // draws the strip that was loaded with the menu.
  std::vector<BYTE> blank = test_pictures::ToolbarBitmap(3);
  for (size_t i = 40; i + 2 < blank.size(); i += 3) blank[i] = blank[i + 1] = blank[i + 2] = 192;
  AfxRegisterResourceCopy(RT_BITMAP, MAKEINTRESOURCE(152), blank.data(), blank.size());
  for (int paint = 0; paint < 3; ++paint) {
    DrawItem(popup, 2, 0, pic);
    EXPECT_EQ(GlyphColour(0), pic.GetPixel(2 + 8, 2 + 6)) << paint;
  }
  DrawItem(popup, 2, ODS_GRAYED, pic);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), pic.GetPixel(2 + 8, 2 + 6));  // the loaded shape, embossed
  // A menu loaded afresh picks up the new bitmap.
  menu.DestroyItems();
  ASSERT_TRUE(menu.LoadFromResource(117));
  menu.ApplyToolbarIcons(152);
  popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  DrawItem(popup, 2, 0, pic);
  EXPECT_NE(GlyphColour(0), pic.GetPixel(2 + 8, 2 + 6));
}

TEST_F(VxMenus, CheckedDisabledAndSeparatorItemsAreDrawnByHand) {
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(300));
  menu.ApplyToolbarIcons(152);
  auto* popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  ASSERT_NE(nullptr, popup);
  CBitmap pic;
  // Checked without picture: the pixel check mark on a light highlight cell.
  DrawItem(popup, 0, ODS_CHECKED, pic);
  const COLORREF text = GetSysColor(COLOR_MENUTEXT);
  // Cell at (1, 1); the mark starts at (6, 6): the first column covers y 8..10.
  EXPECT_EQ(text, pic.GetPixel(6, 8));
  EXPECT_EQ(text, pic.GetPixel(6, 10));
  EXPECT_EQ(text, pic.GetPixel(8, 12));  // third column, lowest point
  EXPECT_EQ(text, pic.GetPixel(12, 6));  // last column, top
  EXPECT_NE(text, pic.GetPixel(6, 7));
  EXPECT_NE(text, pic.GetPixel(12, 9));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), pic.GetPixel(1, 2));  // its frame
  // Disabled with a picture: embossed in shadow, keeps its face when hovered.
  DrawItem(popup, 1, ODS_GRAYED | ODS_SELECTED, pic);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), pic.GetPixel(2 + 5, 2 + 5));
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), pic.GetPixel(2 + 12, 2 + 11));  // the light copy, offset
  EXPECT_EQ(RGB(255, 255, 255), pic.GetPixel(100, 5));                       // no highlight face
  // A separator: white face, grey column, a grey line across the middle.
  popup->AppendOwnerDrawnItem(nullptr, 0, 0);
  UINT sep = popup->GetMenuItemCount() - 1;
  DrawItem(popup, sep, 0, pic);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), pic.GetPixel(5, 2));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), pic.GetPixel(50, 9));
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), pic.GetPixel(50, 3));
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), pic.GetPixel(21, 9));  // the line starts 23 in
}

TEST_F(VxMenus, ItemsAreSizedForPictureCaptionAndShortcutWhichEndsSixteenPixelsIn) {
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(117));
  auto* popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  auto measure = [&](UINT pos) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = popup->GetMenuItemID((int)pos);
    mis.itemData = reinterpret_cast<ULONG_PTR>(popup->GetItemData(pos));
    popup->MeasureItem(&mis);
    return CSize((int)mis.itemWidth, (int)mis.itemHeight);
  };
  EXPECT_EQ(CSize(0, GetSystemMetrics(SM_CYMENU) / 2), measure(1));  // separator
  const CSize save = measure(2), copy = measure(4);
  EXPECT_EQ(std::max(GetSystemMetrics(SM_CYMENU), 19), save.cy);
  EXPECT_GT(save.cx, copy.cx + 30);  // room for the shortcut
  // Drawn at its measured width: the caption after the picture column, the shortcut
  // right-aligned 16 pixels before the right edge.
  CBitmap pic;
  DrawItem(popup, 2, 0, pic, save.cx);
  int first = -1, last = -1;  // columns holding text (dark pixels, the glyphs' edges included)
  for (int x = 0; x < save.cx; ++x)
    for (int y = 0; y < 19; ++y)
      if (COLORREF c = pic.GetPixel(x, y); GetRValue(c) + GetGValue(c) + GetBValue(c) < 400) {
        if (first < 0) first = x;
        last = x;
      }
  EXPECT_GE(first, 25);
  EXPECT_LE(last, save.cx - 16);
  EXPECT_GE(last, save.cx - 19);
}

TEST_F(VxMenus, ARadioCheckShowsTheCheckMarkAndOnlyAnItemsOwnCheckBitmapTheDot) {
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(300));
  auto* popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  ASSERT_TRUE(popup->CheckMenuRadioItem(401, 401, 401, MF_BYCOMMAND));
  const COLORREF text = GetSysColor(COLOR_MENUTEXT);
  CBitmap pic;
  DrawItem(popup, 0, ODS_CHECKED, pic);
  EXPECT_EQ(text, pic.GetPixel(12, 6));  // the check mark's last column
  EXPECT_NE(text, pic.GetPixel(8, 8));   // no dot
  CBitmap own;
  own.CreateCompatibleBitmap(nullptr, 13, 13);
  ASSERT_TRUE(popup->SetMenuItemBitmaps(0, MF_BYPOSITION, nullptr, &own));
  DrawItem(popup, 0, ODS_CHECKED, pic);
  EXPECT_EQ(text, pic.GetPixel(8, 8));  // the 6-pixel dot
  EXPECT_NE(text, pic.GetPixel(12, 6));
}

TEST_F(VxMenus, ItemsInsertedByOtherCodeBecomeOwnerDrawnAfterSync) {
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(300));
  auto* popup = dynamic_cast<VxMenu*>(menu.GetSubMenu(0));
  popup->InsertMenu(1, MF_BYPOSITION | MF_STRING, 500, "Nearest &Port");
  popup->InsertMenu(2, MF_BYPOSITION | MF_SEPARATOR);
  popup->DeleteMenu(403, MF_BYCOMMAND);
  EXPECT_EQ(0u, popup->GetMenuState(1, MF_BYPOSITION) & MF_OWNERDRAW);
  const VxMenuData* checked = popup->GetItemData(0);
  VxMenu::SyncIfVxMenu(popup);
  ASSERT_EQ(5u, popup->GetMenuItemCount());
  for (UINT i = 0; i < 5; ++i) EXPECT_NE(0u, popup->GetMenuState(i, MF_BYPOSITION) & MF_OWNERDRAW) << i;
  EXPECT_STREQ("Nearest &Port", popup->GetItemData(1)->text.GetString());
  EXPECT_EQ(checked, popup->GetItemData(0));  // existing data is kept
  EXPECT_NE(0u, popup->GetMenuState(0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_EQ(1u, popup->GetSubMenu(4)->GetMenuItemCount());  // the submenu survives
  CMenu plain;
  plain.CreatePopupMenu();
  VxMenu::SyncIfVxMenu(&plain);  // not a VxMenu: nothing happens
}

TEST_F(VxMenus, ATrackedPopupShowsThePicturesAndReturnsTheChosenCommand) {
  VxMenu menu;
  ASSERT_TRUE(menu.LoadFromResource(117));
  menu.ApplyToolbarIcons(152);
  menu.SetItemIcon(nullptr, ID_COPY, 160);
  CMenu* popup = menu.GetSubMenu(0);
  HMENU h = popup->GetSafeHmenu();
  CBitmap shot;
  RECT copyRect{}, popupRect{};
  AfxCallLater(40, [&] {
    HWND wnds[2];
    if (AfxGetTrackingMenus(nullptr, wnds, 2) == 1) {
      AfxCaptureWindow(wnds[0], &shot);
      GetWindowRect(wnds[0], &popupRect);
    }
    GetMenuItemRect(nullptr, h, 4, &copyRect);
    POINT p{(copyRect.left + copyRect.right) / 2, (copyRect.top + copyRect.bottom) / 2};
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_LBUTTONDOWN, p);
    AfxTestMouse(WM_LBUTTONUP, p);
  });
  UINT cmd = popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, 100, 80, &owner);
  EXPECT_EQ(ID_COPY, cmd);
  ASSERT_NE(nullptr, shot.GetSafeHandle());
  shot.SavePng("vxmenu_graph_popup.png");
  // The Copy item's picture is in the picture column of its row.
  int found = 0;
  for (int y = copyRect.top - popupRect.top; y < copyRect.bottom - popupRect.top; ++y)
    for (int x = 0; x < 40; ++x) found += shot.GetPixel(x, y) == GlyphColour(0);
  EXPECT_GT(found, 20);
}

}  // namespace
