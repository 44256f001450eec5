// What a screen reader sees of the windows, read through the accessibility objects the layer
// hands Qt.
#include "platform/testing/UiTest.h"

#include "platform/ui/UiInternal.h"

#include <QAccessible>
#include <QMetaEnum>
#include <QStringList>

#include <deque>
#include <functional>
#include <string>

namespace {

QAccessibleInterface* ifaceOfWindow(HWND h) {
  QWidget* w = AfxWidgetOf(h);
  return w ? QAccessible::queryAccessibleInterface(w) : nullptr;
}

CString cs(const QString& s) { return CString(s.toUtf8().constData()); }

CString statesText(QAccessible::State s) {
  QStringList out;
  if (s.focused) out << QStringLiteral("focused");
  if (s.focusable) out << QStringLiteral("focusable");
  if (s.disabled) out << QStringLiteral("disabled");
  if (s.checkable) out << QStringLiteral("checkable");
  if (s.checked) out << QStringLiteral("checked");
  if (s.checkStateMixed) out << QStringLiteral("mixed");
  if (s.selectable) out << QStringLiteral("selectable");
  if (s.selected) out << QStringLiteral("selected");
  if (s.expanded) out << QStringLiteral("expanded");
  if (s.collapsed) out << QStringLiteral("collapsed");
  if (s.invisible) out << QStringLiteral("invisible");
  if (s.defaultButton) out << QStringLiteral("default");
  if (s.pressed) out << QStringLiteral("pressed");
  if (s.hasPopup) out << QStringLiteral("haspopup");
  if (s.readOnly) out << QStringLiteral("readonly");
  if (s.passwordEdit) out << QStringLiteral("password");
  return cs(out.join(QLatin1Char(' ')));
}

AFXTESTACCNODE nodeOf(QAccessibleInterface* i) {
  AFXTESTACCNODE n;
  n.strRole = QMetaEnum::fromType<QAccessible::Role>().valueToKey(i->role());
  n.strName = cs(i->text(QAccessible::Name));
  n.strValue = cs(i->text(QAccessible::Value));
  n.strShortcut = cs(i->text(QAccessible::Accelerator));
  n.strStates = statesText(i->state());
  if (QAccessibleActionInterface* a = i->actionInterface()) n.strActions = cs(a->actionNames().join(QLatin1Char(' ')));
  if (QAccessibleValueInterface* v = i->valueInterface()) {
    n.bHasNumber = TRUE;
    n.dNumber = v->currentValue().toDouble();
  }
  n.nChildren = i->childCount();
  if (QAccessibleInterface* p = i->parent()) n.nIndexInParent = p->indexOfChild(i);
  return n;
}

QAccessibleInterface* findIface(HWND h, LPCTSTR role, LPCTSTR name) {
  QAccessibleInterface* root = ifaceOfWindow(h);
  if (!root) return nullptr;
  const int wanted = role ? QMetaEnum::fromType<QAccessible::Role>().keyToValue(role) : -1;
  std::deque<QAccessibleInterface*> queue{root};
  int seen = 0;
  while (!queue.empty() && seen++ < 20000) {
    QAccessibleInterface* i = queue.front();
    queue.pop_front();
    if ((wanted < 0 || i->role() == wanted) && (!name || i->text(QAccessible::Name) == QString::fromUtf8(name)))
      return i;
    for (int k = 0, n = i->childCount(); k < n; ++k)
      if (QAccessibleInterface* c = i->child(k)) queue.push_back(c);
  }
  return nullptr;
}

}  // namespace

void AfxTestAccessibilityOn() { AfxAccSetListening(true); }

void AfxTestAccRecordEvents(std::vector<CString>* pEvents) { AfxAccSetEventLog(pEvents); }

BOOL AfxTestAccFind(HWND hWnd, LPCTSTR lpszRole, LPCTSTR lpszName, AFXTESTACCNODE* pNode) {
  QAccessibleInterface* i = findIface(hWnd, lpszRole, lpszName);
  if (i && pNode) *pNode = nodeOf(i);
  return i != nullptr;
}

BOOL AfxTestAccChildren(HWND hWnd, LPCTSTR lpszRole, LPCTSTR lpszName, std::vector<AFXTESTACCNODE>* pChildren) {
  QAccessibleInterface* i = findIface(hWnd, lpszRole, lpszName);
  if (!i) return FALSE;
  pChildren->clear();
  for (int k = 0, n = i->childCount(); k < n; ++k)
    if (QAccessibleInterface* c = i->child(k)) pChildren->push_back(nodeOf(c));
  return TRUE;
}

BOOL AfxTestAccDo(HWND hWnd, LPCTSTR lpszRole, LPCTSTR lpszName, LPCTSTR lpszAction) {
  QAccessibleInterface* i = findIface(hWnd, lpszRole, lpszName);
  QAccessibleActionInterface* a = i ? i->actionInterface() : nullptr;
  if (!a) return FALSE;
  const QString want = QString::fromUtf8(lpszAction);
  if (!a->actionNames().contains(want)) return FALSE;
  a->doAction(want);
  return TRUE;
}

BOOL AfxTestAccSetValue(HWND hWnd, LPCTSTR lpszRole, LPCTSTR lpszName, double dValue) {
  QAccessibleInterface* i = findIface(hWnd, lpszRole, lpszName);
  QAccessibleValueInterface* v = i ? i->valueInterface() : nullptr;
  if (!v) return FALSE;
  v->setCurrentValue(dValue);
  return TRUE;
}

CString AfxTestAccTree(HWND hWnd, int nDepth) {
  std::string out;
  std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* i, int d) {
    AFXTESTACCNODE n = nodeOf(i);
    out += std::string(2 * d, ' ') + (LPCTSTR)n.strRole + " '" + (LPCTSTR)n.strName + "'";
    if (!n.strValue.IsEmpty()) out += std::string(" =") + (LPCTSTR)n.strValue;
    if (!n.strStates.IsEmpty()) out += std::string(" [") + (LPCTSTR)n.strStates + "]";
    out += "\n";
    if (d < nDepth)
      for (int k = 0; k < n.nChildren; ++k)
        if (QAccessibleInterface* c = i->child(k)) walk(c, d + 1);
  };
  if (QAccessibleInterface* root = ifaceOfWindow(hWnd)) walk(root, 0);
  return CString(out.c_str());
}
