// The main window as a screen reader reads it: the frame by its title, the menu bar and its
// menus, the toolbars' buttons and combos, the ports tree, the tide times, the status bar and
// the pages, read and driven through the accessibility objects.
#include "tests/app/FrameFixture.h"

#include "app/DialogsResource.h"
#include "app/LeftPane.h"
#include "app/RightPane.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace app_test;

bool has(const CString& words, const char* word) {
  std::string s = std::string(" ") + (LPCTSTR)words + " ";
  return s.find(std::string(" ") + word + " ") != std::string::npos;
}

std::vector<std::string> names(const std::vector<AFXTESTACCNODE>& nodes) {
  std::vector<std::string> out;
  for (const AFXTESTACCNODE& n : nodes) out.push_back((LPCTSTR)n.strName);
  return out;
}

class Reader : public Program {
 protected:
  void SetUp() override {
    Program::SetUp();
    AfxTestAccessibilityOn();
  }
  HWND Frame() const { return m_frame->GetSafeHwnd(); }
};

TEST_F(Reader, TheMainWindowReadsAsTheUserSeesIt) {
  ASSERT_NE(nullptr, Start());
  CString title;
  m_frame->GetWindowText(title);
  AFXTESTACCNODE n;
  ASSERT_TRUE(AfxTestAccFind(Frame(), "Window", title, &n)) << (LPCTSTR)AfxTestAccTree(Frame(), 2);

  // The menu bar and its menus.
  std::vector<AFXTESTACCNODE> menus;
  ASSERT_TRUE(AfxTestAccChildren(Frame(), "MenuBar", nullptr, &menus)) << (LPCTSTR)AfxTestAccTree(Frame(), 3);
  std::vector<std::string> shown;
  for (const AFXTESTACCNODE& m : menus)
    if (!has(m.strStates, "invisible")) shown.push_back((LPCTSTR)m.strName);
  EXPECT_EQ(shown, (std::vector<std::string>{"File", "View", "Tides", "Ports", "Map", "Help"}));
  for (const AFXTESTACCNODE& m : menus) {
    EXPECT_STREQ(m.strRole, "MenuItem");
    EXPECT_TRUE(has(m.strStates, "haspopup") && has(m.strStates, "collapsed")) << (LPCTSTR)m.strName;
  }

  // A toolbar's buttons are named by their tooltips; the date combos are combo boxes.
  ASSERT_TRUE(AfxTestAccFind(Frame(), "ToolBar", "Standard", &n)) << (LPCTSTR)AfxTestAccTree(Frame(), 2);
  EXPECT_GT(n.nChildren, 3);
  std::vector<AFXTESTACCNODE> tools;
  ASSERT_TRUE(AfxTestAccChildren(Frame(), "ToolBar", "Standard", &tools));
  int combos = 0, buttons = 0;
  for (const AFXTESTACCNODE& t : tools) {
    if (t.strRole == CString("ComboBox")) ++combos;
    if (t.strRole == CString("Button")) {
      ++buttons;
      EXPECT_FALSE(t.strName.IsEmpty()) << "an unnamed toolbar button";
    }
  }
  EXPECT_GE(combos, 3);
  EXPECT_GE(buttons, 3);

  // The graph by its title, the tide times as rows of time and height.
  ASSERT_TRUE(AfxTestAccFind(Frame(), "Chart", Right().Graph().GetTitle(), &n)) << (LPCTSTR)AfxTestAccTree(Frame(), 6);
  EXPECT_NE(-1, Right().Graph().GetTitle().Find(" - "));
  std::vector<AFXTESTACCNODE> rows;
  ASSERT_TRUE(AfxTestAccChildren(Frame(), "List", "Tide times", &rows));
  ASSERT_EQ((int)rows.size(), Left().TideTimes().GetCount());
  ASSERT_FALSE(rows.empty());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_STREQ(rows[i].strRole, "ListItem");
    EXPECT_EQ(rows[i].strName, Left().TideTimes().GetTimeText((int)i) + " " + Left().TideTimes().GetHeightText((int)i));
  }

  // The status bar's panes as labels with their text.
  std::vector<AFXTESTACCNODE> panes;
  ASSERT_TRUE(AfxTestAccChildren(Frame(), "StatusBar", nullptr, &panes));
  std::vector<std::string> texts = names(panes);
  EXPECT_NE(std::find(texts.begin(), texts.end(), std::string((LPCTSTR)Pane(ID_INDICATOR_SUNRISE))), texts.end());
  EXPECT_FALSE(Pane(ID_INDICATOR_SUNRISE).IsEmpty());

  // The ports tree with its countries; the port's caption; the aground panel's fields named
  // by their labels.
  ASSERT_TRUE(AfxTestAccFind(Frame(), "Tree", "Ports", &n));
  EXPECT_GT(n.nChildren, 5);
  EXPECT_TRUE(AfxTestAccFind(Frame(), "StaticText", Left().PortName().GetText(), &n));
  ASSERT_TRUE(AfxTestAccFind(Frame(), "Pane", "Running aground", &n));
  EXPECT_TRUE(AfxTestAccFind(Frame(), "ComboBox", "Time:", &n));
  EXPECT_TRUE(AfxTestAccFind(Frame(), "EditableText", "Depth of Water(m):", &n));
  EXPECT_TRUE(AfxTestAccFind(Frame(), "SpinBox", "Depth of Water(m):", &n));
  ASSERT_TRUE(AfxTestAccFind(Frame(), "TreeItem", "England", &n));
  EXPECT_TRUE(has(n.strStates, "collapsed") || has(n.strStates, "expanded")) << (LPCTSTR)n.strStates;
}

TEST_F(Reader, MenusOpenAndTellTheirItemsAndTheFocus) {
  ASSERT_NE(nullptr, Start());
  // Opened by the mouse, the menu tells the reader it opened and when it closes.
  std::vector<CString> events;
  AfxTestAccRecordEvents(&events);
  ClickMenuTitle(m_frame, 2);
  Settle();
  ASSERT_EQ(OpenPopupBars().size(), 1u);
  AfxTestKeyStroke(VK_ESCAPE);
  AfxTestKeyStroke(VK_ESCAPE);
  Settle();
  AfxTestAccRecordEvents(nullptr);
  EXPECT_NE(std::find(events.begin(), events.end(), CString("PopupMenuStart PopupMenu 'Tides'")), events.end());
  EXPECT_NE(std::find(events.begin(), events.end(), CString("PopupMenuEnd PopupMenu 'Tides'")), events.end());
  ASSERT_TRUE(OpenPopupBars().empty());

  ASSERT_TRUE(AfxTestAccDo(Frame(), "MenuItem", "Tides", "ShowMenu"));
  Settle();
  std::vector<CCbPopupBar*> open = OpenPopupBars();
  ASSERT_EQ(open.size(), 1u);
  // The open menu is the item's child, its items with their keys and states.
  AFXTESTACCNODE tides;
  ASSERT_TRUE(AfxTestAccFind(Frame(), "MenuItem", "Tides", &tides));
  EXPECT_TRUE(has(tides.strStates, "expanded")) << (LPCTSTR)tides.strStates;
  EXPECT_EQ(tides.nChildren, 1);
  std::vector<AFXTESTACCNODE> items;
  ASSERT_TRUE(AfxTestAccChildren(open[0]->GetSafeHwnd(), "PopupMenu", "Tides", &items))
      << (LPCTSTR)AfxTestAccTree(open[0]->GetSafeHwnd(), 1);
  ASSERT_GT(items.size(), 3u);
  bool shortcut = false;
  for (const AFXTESTACCNODE& i : items) {
    EXPECT_STREQ(i.strRole, "MenuItem");
    if (!i.strShortcut.IsEmpty()) shortcut = true;
  }
  EXPECT_TRUE(shortcut) << "no item tells its keys";
  // Moving by key focuses the items in turn, and the reader is told.
  events.clear();
  AfxTestAccRecordEvents(&events);
  AfxTestKeyStroke(VK_DOWN);
  Settle();
  AfxTestAccRecordEvents(nullptr);
  bool told = false;
  for (const CString& e : events) told |= e.Find("Focus MenuItem '") == 0;
  EXPECT_TRUE(told) << events.size();
  AFXTESTACCNODE focused;
  EXPECT_TRUE(AfxTestAccFind(open[0]->GetSafeHwnd(), "MenuItem", nullptr, &focused));
  std::vector<AFXTESTACCNODE> now;
  ASSERT_TRUE(AfxTestAccChildren(open[0]->GetSafeHwnd(), "PopupMenu", "Tides", &now));
  int nFocused = 0;
  for (const AFXTESTACCNODE& i : now) nFocused += has(i.strStates, "focused");
  EXPECT_EQ(nFocused, 1);
  AfxTestKeyStroke(VK_ESCAPE);
  AfxTestKeyStroke(VK_ESCAPE);
  Settle();
}

TEST_F(Reader, TheTreeExpandsAndTheMonthComboChangesTheGraph) {
  ASSERT_NE(nullptr, Start());
  std::vector<AFXTESTACCNODE> before;
  ASSERT_TRUE(AfxTestAccChildren(Frame(), "Tree", nullptr, &before));
  AFXTESTACCNODE england;
  ASSERT_TRUE(AfxTestAccFind(Frame(), "TreeItem", "England", &england));
  const char* act = has(england.strStates, "collapsed") ? "Expand" : "Collapse";
  ASSERT_TRUE(AfxTestAccDo(Frame(), "TreeItem", "England", act));
  Settle();
  std::vector<AFXTESTACCNODE> after;
  ASSERT_TRUE(AfxTestAccChildren(Frame(), "Tree", nullptr, &after));
  if (std::string(act) == "Expand")
    EXPECT_GT(after.size(), before.size());
  else
    EXPECT_LT(after.size(), before.size());

  const CString graph = Right().Graph().GetTitle();
  AFXTESTACCNODE month;
  ASSERT_TRUE(AfxTestAccFind(Frame(), "ComboBox", nullptr, &month));
  // The month combo: the one whose value is a month's name.
  std::vector<AFXTESTACCNODE> tools;
  ASSERT_TRUE(AfxTestAccChildren(Frame(), "ToolBar", "Standard", &tools));
  const CString monthText = m_frame->GetMonthCombo()->GetItemText(m_frame->GetMonthCombo()->GetCurSel());
  const AFXTESTACCNODE* found = nullptr;
  for (const AFXTESTACCNODE& t : tools)
    if (t.strRole == CString("ComboBox") && t.strValue == monthText) found = &t;
  ASSERT_TRUE(found) << (LPCTSTR)monthText;
  const int to = ((int)found->dNumber + 1) % 12;
  std::vector<CString> events;
  AfxTestAccRecordEvents(&events);
  ASSERT_TRUE(AfxTestAccSetValue(Frame(), "ComboBox", found->strName, to));
  Settle();
  AfxTestAccRecordEvents(nullptr);
  EXPECT_NE(std::find(events.begin(), events.end(), "NameChanged Chart '" + Right().Graph().GetTitle() + "'"),
            events.end());
  EXPECT_EQ(m_frame->GetSelectedDate().GetMonth(), to + 1);
  EXPECT_NE(Right().Graph().GetTitle(), graph);
  AFXTESTACCNODE n;
  EXPECT_TRUE(AfxTestAccFind(Frame(), "Chart", Right().Graph().GetTitle(), &n));
}

}  // namespace

namespace {

// A dialog of the program's templates that notes OK and Cancel instead of ending.
class CNotingDlg : public CDialog {
 public:
  explicit CNotingDlg(UINT id) : CDialog(id) {}
  std::vector<std::string> ends;
  void OnOK() override { ends.push_back("ok"); }
  void OnCancel() override { ends.push_back("cancel"); }
};

// Each of the program's dialogs: Tab reaches every control that takes the focus, once a round,
// in the template's order; each such control has a name a reader says; Enter is OK, Esc is Cancel.
TEST_F(Reader, EveryDialogIsKeyboardReachableAndNamed) {
  AfxWinInit(0, nullptr);
  // The port picker's OK waits for a port: Enter there presses the focused Cancel.
  const struct {
    UINT id;
    const char* enter;
  } dialogs[] = {{IDD_DATA_EXPORT, "ok"}, {IDD_WARNING, "ok"},    {IDD_TIP, "ok"}, {IDD_ABOUTBOX, "ok"},
                 {291, "ok"} /* GPS */,   {176, "ok"} /* JPEG */, {188, "cancel"} /* port */};
  for (const auto& d : dialogs) {
    SCOPED_TRACE(d.id);
    CNotingDlg dlg(d.id);
    ASSERT_TRUE(dlg.Create(d.id));
    dlg.ShowWindow(SW_SHOW);
    // The template's order (the layer lists children from the top of the z-order, the last
    // made first): every visible, enabled tab stop.
    std::vector<HWND> kids;
    for (HWND c = ::GetWindow(dlg.m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) kids.insert(kids.begin(), c);
    std::vector<std::string> expected, seen;
    CWnd* first = nullptr;
    for (HWND c : kids)
      if ((::GetWindowLong(c, GWL_STYLE) & WS_TABSTOP) && ::IsWindowVisible(c) && ::IsWindowEnabled(c)) {
        if (!first) first = CWnd::FromHandle(c);
        expected.push_back(std::to_string(::GetDlgCtrlID(c)));
      }
    if (!first) {
      ADD_FAILURE() << "nothing takes the focus";
      continue;
    }
    first->SetFocus();
    for (size_t k = 0; k < expected.size(); ++k) {
      HWND f = ::GetFocus();
      seen.push_back(f ? std::to_string(::GetDlgCtrlID(f)) : "none");
      // Every control the keys reach has a name.
      std::vector<AFXTESTACCNODE> nodes;
      ASSERT_TRUE(AfxTestAccChildren(dlg.m_hWnd, "Dialog", nullptr, &nodes));
      AFXTESTACCNODE n;
      for (const AFXTESTACCNODE& c : nodes)
        if (has(c.strStates, "focused")) n = c;
      EXPECT_FALSE(n.strName.IsEmpty() && n.strRole != CString("EditableText"))
          << "control " << seen.back() << " " << (LPCTSTR)n.strRole;
      AfxTestKeyStroke(VK_TAB);
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(::GetFocus(), first->GetSafeHwnd()) << "Tab did not come round";
    // Enter from a control that is not a button is the default button; Esc is Cancel.
    dlg.GotoDlgCtrl(first);
    AfxTestKeyStroke(VK_RETURN);
    AfxTestKeyStroke(VK_ESCAPE);
    EXPECT_EQ(dlg.ends, (std::vector<std::string>{d.enter, "cancel"}));
    dlg.DestroyWindow();
  }
}

}  // namespace
