// Dialog templates written in a resource script: compiled into the same templates the C++
// tables give, and refused with the line named when they are faulty.
#include "platform/ui/AfxWin.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/UiResources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(DialogScript, CompilesIntoATemplate) {
  const char* text =
      "dialog 4188 \"Select Port\" 0 0 178 214\n"
      "  style DS_MODALFRAME|WS_POPUP|WS_CAPTION|WS_SYSMENU\n"
      "  font \"MS Shell Dlg\" 8\n"
      "  control \"Button\" 1 \"OK\" 121 193 50 14 BS_DEFPUSHBUTTON|WS_TABSTOP\n"
      "  control \"SysTreeView32\" 183 \"\" 7 7 164 180 TVS_HASLINES|0x8000 exstyle WS_EX_CLIENTEDGE\n"
      "  control \"ComboBox\" 184 \"\" 7 190 60 80 CBS_DROPDOWNLIST|CBS_SORT|WS_VSCROLL\n"
      "  control \"Static\" -1 \"&Port\" 7 200 60 8 SS_NOPREFIX|SS_ENDELLIPSIS\n"
      "end\n";
  CString err;
  ASSERT_TRUE(AfxCompileUiScript("t.nrc", text, std::strlen(text), &err)) << err.GetString();
  const AFX_DLGTEMPLATE* t = AfxFindDialogTemplate(4188);
  ASSERT_NE(t, nullptr);
  EXPECT_STREQ(t->lpszCaption, "Select Port");
  EXPECT_EQ(t->cx, 178);
  EXPECT_EQ(t->dwStyle, (DWORD)(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
  EXPECT_STREQ(t->lpszFont, "MS Shell Dlg");
  EXPECT_EQ(t->nPointSize, 8);
  ASSERT_EQ(t->nItems, 4);
  EXPECT_STREQ(t->pItems[0].lpszClass, "Button");
  EXPECT_EQ(t->pItems[0].nID, 1u);
  EXPECT_EQ(t->pItems[0].dwStyle, (DWORD)(BS_DEFPUSHBUTTON | WS_TABSTOP));
  EXPECT_EQ(t->pItems[1].dwStyle, (DWORD)(TVS_HASLINES | 0x8000));
  EXPECT_EQ(t->pItems[1].dwExStyle, (DWORD)WS_EX_CLIENTEDGE);
  EXPECT_EQ(t->pItems[1].y, 7);
  EXPECT_EQ(t->pItems[2].dwStyle, (DWORD)(CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL));
  EXPECT_EQ(t->pItems[3].nID, 0xFFFFu);  // a label without an id
  EXPECT_EQ(t->pItems[3].dwStyle, (DWORD)(SS_NOPREFIX | SS_ENDELLIPSIS));
}

TEST(DialogScript, AFaultNamesItsLine) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"dialog 4189 \"A\" 0 0 10 10\n style WS_POPUP|WS_NOSUCH\nend\n", "line 2"},
      {"dialog 4189 \"A\" 0 0 10\nend\n", "line 2"},
      {"dialog 4189 \"A\" 0 0 10 10\n control \"Button\" 1 \"OK\" 1 2 3\nend\n", "line 3"},
      {"dialog 4189 \"A\" 0 0 10 10\n", "missing end"},
  };
  for (const Case& c : cases) {
    CString err;
    EXPECT_FALSE(AfxCompileUiScript("bad.nrc", c.text, std::strlen(c.text), &err)) << c.text;
    EXPECT_NE(std::string(err.GetString()).find(c.error), std::string::npos) << err.GetString();
  }
  EXPECT_EQ(AfxFindDialogTemplate(4189), nullptr);
}

}  // namespace
