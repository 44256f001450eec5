// What a screen reader reads of each kind of control: the dialog with every kind, walked through
// the accessibility objects Qt hands its reader bridge.
#include "platform/ui/Accessible.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/PropSheet.h"
#include "platform/ui/UiResources.h"

#include "tests/platform_ui/GalleryDlg.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace gallery;

class Accessible : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    AfxWinInit(0, nullptr);
    AfxTestAccessibilityOn();
    static const std::string script = pictures() + kDialog;
    CString err;
    ASSERT_TRUE(AfxCompileUiScript("gallery.nrc", script.c_str(), script.size(), &err)) << err.GetString();
  }
  void SetUp() override {
    ASSERT_TRUE(dlg.Create(IDD_GALLERY));
    dlg.ShowWindow(SW_SHOW);
  }
  CGalleryDlg dlg;
};

bool has(const CString& words, const char* word) {
  std::string s = std::string(" ") + (LPCTSTR)words + " ";
  return s.find(std::string(" ") + word + " ") != std::string::npos;
}

struct Case {
  const char* role;
  const char* name;
  const char* value;   // null: not checked
  const char* states;  // each must be there
  const char* notStates;
  const char* actions;  // each must be offered
  int children;         // -1: not checked
};

TEST_F(Accessible, EachKindOfControlTellsItsRoleNameValueStatesAndChildren) {
  const Case cases[] = {
      {"Dialog", "Port Settings", nullptr, "", "invisible", "", -1},
      {"Grouping", "Port", nullptr, "", "", "", 0},
      {"StaticText", "Name:", nullptr, "readonly", "", "", 0},
      // An edit is named by the label before it.
      {"EditableText", "Name:", "Harwich", "focusable", "readonly", "", 0},
      {"EditableText", "Height:", "12", "focusable", "", "", 0},
      {"SpinBox", "Height:", "12", "", "", "", 0},
      {"ComboBox", "Zone:", "UTC+1 (summer time)", "focusable collapsed haspopup", "expanded", "ShowMenu", -1},
      {"CheckBox", "Moon phases", nullptr, "checkable checked focusable", "mixed", "Toggle", 0},
      {"CheckBox", "Sun and twilight", nullptr, "mixed", "checked", "Toggle", 0},
      {"RadioButton", "Metres", nullptr, "checkable checked", "", "Press", 0},
      {"RadioButton", "Feet", nullptr, "checkable", "checked", "Press", 0},
      {"Graphic", nullptr, nullptr, "", "", "", 0},
      {"List", "Drag the slider for the range of days shown.", "Harwich", "focusable", "", "", 5},
      {"ListItem", "Harwich", nullptr, "selectable selected", "", "Press", 0},
      {"ListItem", "Dover", nullptr, "selectable", "selected", "Press", 0},
      {"Tree", nullptr, nullptr, "focusable", "", "", 4},
      {"TreeItem", "England", nullptr, "expanded", "collapsed", "Collapse", 0},
      {"TreeItem", "Kent", nullptr, "collapsed selected", "expanded", "Expand", 0},
      {"Slider", nullptr, "7", "focusable", "", "", 0},
      {"ScrollBar", nullptr, "30", "", "", "", 0},
      {"EditableText", "", "High water 06:42  4.1 m\r\nLow water 12:55  0.6 m", "readonly", "", "", 0},
      {"PageTabList", nullptr, nullptr, "focusable", "", "", 2},
      {"PageTab", "Graph", nullptr, "selected", "", "Press", 0},
      {"PageTab", "Table", nullptr, "selectable", "selected", "Press", 0},
      {"Button", "OK", nullptr, "default focusable", "", "Press", 0},
      {"Button", "Cancel", nullptr, "focusable", "default", "Press", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.role) + " " + (c.name ? c.name : "-"));
    AFXTESTACCNODE n;
    if (!AfxTestAccFind(dlg.m_hWnd, c.role, c.name, &n)) {
      ADD_FAILURE() << "not found in\n" << (LPCTSTR)AfxTestAccTree(dlg.m_hWnd);
      continue;
    }
    if (c.value) {
      EXPECT_STREQ(n.strValue, c.value);
    }
    std::string w = c.states;
    for (size_t s = 0; s < w.size();) {
      size_t e = w.find(' ', s);
      if (e == std::string::npos) e = w.size();
      EXPECT_TRUE(has(n.strStates, w.substr(s, e - s).c_str()))
          << w.substr(s, e - s) << " not in " << (LPCTSTR)n.strStates;
      s = e + 1;
    }
    std::string no = c.notStates;
    for (size_t s = 0; s < no.size();) {
      size_t e = no.find(' ', s);
      if (e == std::string::npos) e = no.size();
      EXPECT_FALSE(has(n.strStates, no.substr(s, e - s).c_str()))
          << no.substr(s, e - s) << " in " << (LPCTSTR)n.strStates;
      s = e + 1;
    }
    std::string acts = c.actions;
    for (size_t s = 0; s < acts.size();) {
      size_t e = acts.find(' ', s);
      if (e == std::string::npos) e = acts.size();
      EXPECT_TRUE(has(n.strActions, acts.substr(s, e - s).c_str()))
          << acts.substr(s, e - s) << " not in " << (LPCTSTR)n.strActions;
      s = e + 1;
    }
    if (c.children >= 0) {
      EXPECT_EQ(n.nChildren, c.children);
    }
    EXPECT_GE(n.nIndexInParent, 0);
  }
  // Numbers: the spin box, slider and combo selection as values in their ranges.
  AFXTESTACCNODE n;
  ASSERT_TRUE(AfxTestAccFind(dlg.m_hWnd, "Slider", nullptr, &n));
  EXPECT_TRUE(n.bHasNumber);
  EXPECT_EQ(n.dNumber, 7);
  ASSERT_TRUE(AfxTestAccFind(dlg.m_hWnd, "ComboBox", "Zone:", &n));
  EXPECT_EQ(n.dNumber, 1);
  // The dialog's controls come in the tab order, as the template lists them.
  std::vector<AFXTESTACCNODE> kids;
  ASSERT_TRUE(AfxTestAccChildren(dlg.m_hWnd, "Dialog", "Port Settings", &kids));
  ASSERT_GE(kids.size(), 4u);
  EXPECT_STREQ(kids[0].strRole, "Grouping");
  EXPECT_STREQ(kids[1].strName, "Name:");
  EXPECT_STREQ(kids[2].strRole, "EditableText");
  EXPECT_STREQ(kids.back().strName, "Cancel");
}

TEST_F(Accessible, ActionsAndValuesDriveTheControls) {
  // Toggle, press, expand, select a tab and set numbers as a reader does.
  EXPECT_TRUE(AfxTestAccDo(dlg.m_hWnd, "CheckBox", "Moon phases", "Toggle"));
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_MOON), (UINT)BST_UNCHECKED);
  EXPECT_TRUE(AfxTestAccDo(dlg.m_hWnd, "RadioButton", "Feet", "Press"));
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_FEET), (UINT)BST_CHECKED);
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_METRES), (UINT)BST_UNCHECKED);

  EXPECT_TRUE(AfxTestAccDo(dlg.m_hWnd, "TreeItem", "Kent", "Expand"));
  AFXTESTACCNODE n;
  EXPECT_TRUE(AfxTestAccFind(dlg.m_hWnd, "TreeItem", "Dover", &n));
  EXPECT_TRUE(AfxTestAccFind(dlg.m_hWnd, "Tree", nullptr, &n));
  EXPECT_EQ(n.nChildren, 5);
  EXPECT_TRUE(AfxTestAccDo(dlg.m_hWnd, "TreeItem", "England", "Collapse"));
  EXPECT_TRUE(AfxTestAccFind(dlg.m_hWnd, "Tree", nullptr, &n));
  EXPECT_EQ(n.nChildren, 2);

  EXPECT_TRUE(AfxTestAccDo(dlg.m_hWnd, "PageTab", "Table", "Press"));
  EXPECT_EQ(::SendDlgItemMessage(dlg.m_hWnd, IDC_TABS, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(AfxTestAccDo(dlg.m_hWnd, "ListItem", "Ramsgate", "Press"));
  EXPECT_TRUE(AfxTestAccFind(dlg.m_hWnd, "List", nullptr, &n));
  EXPECT_STREQ(n.strValue, "Ramsgate");

  EXPECT_TRUE(AfxTestAccSetValue(dlg.m_hWnd, "ComboBox", "Zone:", 2));
  EXPECT_EQ(::SendDlgItemMessage(dlg.m_hWnd, IDC_ZONE, CB_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(AfxTestAccSetValue(dlg.m_hWnd, "Slider", nullptr, 3));
  EXPECT_EQ(::SendDlgItemMessage(dlg.m_hWnd, IDC_SLIDER, TBM_GETPOS, 0, 0), 3);
  // Out of range is held to the range.
  EXPECT_TRUE(AfxTestAccSetValue(dlg.m_hWnd, "SpinBox", "Height:", 500));
  EXPECT_EQ((int)::SendDlgItemMessage(dlg.m_hWnd, IDC_SPIN, UDM_GETPOS32, 0, 0), 99);
  EXPECT_EQ(dlg.GetDlgItemInt(IDC_HEIGHT), 99u);

  // The reader hears of a selection moved by the user, and of the focus on it.
  std::vector<CString> events;
  AfxTestAccRecordEvents(&events);
  dlg.GetDlgItem(IDC_TREE)->SetFocus();
  AfxTestKeyStroke(VK_DOWN);
  dlg.GetDlgItem(IDC_PORTS)->SetFocus();
  AfxTestKeyStroke(VK_DOWN);
  AfxTestAccDo(dlg.m_hWnd, "CheckBox", "Moon phases", "Toggle");
  AfxTestAccRecordEvents(nullptr);
  auto heard = [&](const char* line) { return std::find(events.begin(), events.end(), CString(line)) != events.end(); };
  std::string all;
  for (const CString& e : events) all += std::string((LPCTSTR)e) + "\n";
  EXPECT_TRUE(heard("Focus TreeItem 'Scotland'")) << all;
  EXPECT_TRUE(heard("Selection TreeItem 'Scotland'")) << all;
  EXPECT_TRUE(heard("Focus ListItem 'Whitstable'")) << all;
  EXPECT_TRUE(heard("StateChanged CheckBox 'Moon phases'")) << all;

  // Focus follows the layer's focus.
  dlg.GetDlgItem(IDC_PORTS)->SetFocus();
  ASSERT_TRUE(AfxTestAccFind(dlg.m_hWnd, "List", nullptr, &n));
  EXPECT_TRUE(has(n.strStates, "focused"));
  // A disabled control says so.
  dlg.GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
  ASSERT_TRUE(AfxTestAccFind(dlg.m_hWnd, "Button", "Cancel", &n));
  EXPECT_TRUE(has(n.strStates, "disabled"));
}

// Qt hands out our objects for our windows, not its own generic widget objects.
TEST_F(Accessible, QtHandsOutTheWindowsOwnObjects) {
  QAccessibleInterface* dialog = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        i && i->role() == QAccessible::Dialog && i->text(QAccessible::Name) == QStringLiteral("Port Settings"))
      dialog = i;
  ASSERT_TRUE(dialog);
  QAccessibleInterface* ok = dialog->child(dialog->childCount() - 2);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->role(), QAccessible::Button);
  EXPECT_EQ(ok->text(QAccessible::Name), QStringLiteral("OK"));
  EXPECT_EQ(ok->parent(), dialog);
  EXPECT_EQ(dialog->indexOfChild(ok), dialog->childCount() - 2);

  // An edit gives its text to read and to change.
  QAccessibleInterface* name = dialog->child(2);
  ASSERT_TRUE(name && name->textInterface() && name->editableTextInterface());
  EXPECT_EQ(name->textInterface()->characterCount(), 7);
  EXPECT_EQ(name->textInterface()->text(0, 4), QStringLiteral("Harw"));
  name->editableTextInterface()->replaceText(0, 7, QStringLiteral("Dover"));
  CString now;
  dlg.GetDlgItemText(IDC_NAME, now);
  EXPECT_STREQ(now, "Dover");
  name->textInterface()->setSelection(0, 1, 3);
  int start = -1, end = -1;
  name->textInterface()->selection(0, &start, &end);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(end, 3);
  // A read-only edit reads but takes no changes.
  QAccessibleInterface* log = nullptr;
  for (int i = 0; i < dialog->childCount(); ++i)
    if (QAccessibleInterface* c = dialog->child(i); c && c->role() == QAccessible::EditableText && c->state().readOnly)
      log = c;
  ASSERT_TRUE(log && log->textInterface());
  EXPECT_FALSE(log->editableTextInterface());
}

}  // namespace
