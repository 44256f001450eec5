#include "toolkit/CbShortcutManager.h"

#include "toolkit/CbCommandBars.h"

#include <algorithm>
#include <vector>

namespace {

// The layer has no keyboard-layout names, so every key is named from this table.
struct KeyName {
  UINT vk;
  const char* name;
};
const KeyName kKeyNames[] = {
    {1, "Left Button"},   {2, "Right Button"},   {3, "Ctrl+Break"},   {4, "Middle Button"}, {8, "Back"},
    {9, "Tab"},           {12, "Clear"},         {13, "Enter"},       {16, "Shift"},        {17, "Ctrl"},
    {18, "Alt"},          {19, "Pause"},         {20, "Caps Lock"},   {27, "Esc"},          {32, "Space"},
    {33, "Page Up"},      {34, "Page Down"},     {35, "End"},         {36, "Home"},         {37, "Left Arrow"},
    {38, "Up Arrow"},     {39, "Right Arrow"},   {40, "Down Arrow"},  {41, "Select"},       {42, "Print"},
    {43, "Execute"},      {44, "Snapshot"},      {45, "Ins"},         {46, "Del"},          {47, "Help"},
    {91, "Left Windows"}, {92, "Right Windows"}, {93, "Application"}, {106, "Num *"},       {107, "Num +"},
    {108, "Separator"},   {109, "Num -"},        {110, "Num ."},      {111, "Num /"},       {144, "Num Lock"},
    {145, "Scrl Lock"},   {246, "Attn"},         {247, "Crsel"},      {248, "Exsel"},       {249, "Ereof"},
    {250, "Play"},        {251, "Zoom"},         {252, "No Name"},    {253, "Pa1"},         {254, "Oem Clear"},
};

CString tableName(UINT vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return CString((char)vk, 1);
  if (vk >= 96 && vk <= 105) return CString("Num ") + CString((char)('0' + (vk - 96)), 1);
  if (vk >= 112 && vk <= 123) {
    CString s;
    s.Format("F%u", vk - 111);
    return s;
  }
  for (const KeyName& k : kKeyNames)
    if (k.vk == vk) return k.name;
  return CString();
}

}  // namespace

CString CCbShortcutManager::GetKeyName(UINT nVirtKey, BOOL bLast) const {
  CString s = tableName(nVirtKey);
  if (!bLast) s += "+";
  return s;
}

CString CCbShortcutManager::Format(const ACCEL* lpAccel, int* pPriority) const {
  CString s;
  if (!lpAccel) return s;
  BYTE f = lpAccel->fVirt;
  if (lpAccel->key != VK_CANCEL) {
    if (f & FCONTROL) s += GetKeyName(VK_CONTROL, FALSE);
    if (f & FSHIFT) s += GetKeyName(VK_SHIFT, FALSE);
    if (f & FALT) s += GetKeyName(VK_MENU, FALSE);
  }
  if (pPriority) {
    if (f & FCONTROL)
      *pPriority = 3;
    else if (f & FALT)
      *pPriority = 2;
    else if (f & FSHIFT)
      *pPriority = 1;
    else
      *pPriority = 4;
  }
  if (lpAccel->key == 0) {
    if (!s.IsEmpty()) s.Delete(s.GetLength() - 1);  // the trailing "+"
  } else if (f & FVIRTKEY) {
    s += GetKeyName(lpAccel->key, TRUE);
  } else if (lpAccel->key != 27) {
    // A character key as the character itself, in UTF-8.
    unsigned c = lpAccel->key;
    char buf[4] = {};
    if (c < 0x80)
      buf[0] = (char)c;
    else if (c < 0x800) {
      buf[0] = (char)(0xC0 | (c >> 6));
      buf[1] = (char)(0x80 | (c & 0x3F));
    } else {
      buf[0] = (char)(0xE0 | (c >> 12));
      buf[1] = (char)(0x80 | ((c >> 6) & 0x3F));
      buf[2] = (char)(0x80 | (c & 0x3F));
    }
    s += buf;
  }
  return s;
}

void CKeyHelper::Format(CString& str, int* pPriority) const { str = CbShortcutManager()->Format(m_lpAccel, pPriority); }

BOOL CCbShortcutManager::FindDefaultAccelerator(UINT nCmd, CString& strShortcut, CCbCommandBars* pCommandBars) const {
  CWnd* site = pCommandBars ? pCommandBars->GetSite() : nullptr;
  if (!site) site = AfxGetMainWnd();
  CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, site);
  HACCEL table = frame ? frame->GetDefaultAccelerator() : nullptr;
  int n = table ? CopyAcceleratorTable(table, nullptr, 0) : 0;
  std::vector<ACCEL> entries((size_t)std::max(n, 0));
  if (n > 0) n = CopyAcceleratorTable(table, entries.data(), n);
  CString best;
  int bestPriority = 0;
  bool found = false, shownIsOne = false;
  for (int i = 0; i < n; ++i) {
    if (entries[(size_t)i].cmd != nCmd) continue;
    int priority = 0;
    CString text;
    CKeyHelper(&entries[(size_t)i]).Format(text, &priority);
    if (!found || priority > bestPriority) {
      best = text;
      bestPriority = priority;
    }
    found = true;
    if (!strShortcut.IsEmpty() && text == strShortcut) shownIsOne = true;
  }
  if (!found) {
    strShortcut.Empty();
    return FALSE;
  }
  if (!shownIsOne) strShortcut = best;
  return TRUE;
}

CCbShortcutManager* CbShortcutManager() {
  static CCbShortcutManager manager;
  return &manager;
}
