// The windows' accessibility objects for Qt (and through it the desktop's reader bus): one
// object per window, made when a reader first asks, answering from AfxAccQuery; the items a
// window draws (list rows, tree items, a bar's controls) are objects of their own.
#include "platform/ui/Accessible.h"

#include "platform/ui/CtlConst.h"
#include "platform/ui/UiInternal.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMetaEnum>
#include <QPointer>
#include <QWindow>

#include <deque>
#include <functional>
#include <map>

namespace {

QString qs(const CString& s) { return QString::fromUtf8((LPCTSTR)s); }

AFXACCINFO describe(HWND h, int child) {
  AFXACCQUERY q;
  q.nAsk = AFXACC_DESCRIBE;
  q.nChild = child;
  AfxAccQuery(h, &q);
  return q.info;
}

int itemCount(HWND h) {
  AFXACCQUERY q;
  q.nAsk = AFXACC_COUNT;
  AfxAccQuery(h, &q);
  return std::max(0, q.nCount);
}

// Child windows, in the tab order (the layer keeps them so); hidden ones are not offered.
std::vector<HWND> childWindows(HWND h) {
  std::vector<HWND> out;
  if (AfxWndRec* r = AfxRec(h))
    for (HWND c : r->children)
      if (::IsWindowVisible(c)) out.push_back(c);
  return out;
}

QAccessible::State stateOf(const AFXACCINFO& a) {
  QAccessible::State s;
  const DWORD d = a.dwState;
  s.disabled = (d & STATE_SYSTEM_UNAVAILABLE) != 0;
  s.selected = (d & STATE_SYSTEM_SELECTED) != 0;
  s.focused = (d & STATE_SYSTEM_FOCUSED) != 0;
  s.pressed = (d & STATE_SYSTEM_PRESSED) != 0;
  s.checked = (d & STATE_SYSTEM_CHECKED) != 0;
  s.checkStateMixed = (d & STATE_SYSTEM_MIXED) != 0;
  s.readOnly = (d & STATE_SYSTEM_READONLY) != 0;
  s.hotTracked = (d & STATE_SYSTEM_HOTTRACKED) != 0;
  s.defaultButton = (d & STATE_SYSTEM_DEFAULT) != 0;
  s.expanded = (d & STATE_SYSTEM_EXPANDED) != 0;
  s.collapsed = (d & STATE_SYSTEM_COLLAPSED) != 0;
  s.expandable = s.expanded || s.collapsed;
  s.invisible = (d & STATE_SYSTEM_INVISIBLE) != 0;
  s.focusable = (d & STATE_SYSTEM_FOCUSABLE) != 0;
  s.selectable = (d & STATE_SYSTEM_SELECTABLE) != 0;
  s.multiSelectable = (d & STATE_SYSTEM_MULTISELECTABLE) != 0;
  s.passwordEdit = (d & STATE_SYSTEM_PROTECTED) != 0;
  s.hasPopup = (d & STATE_SYSTEM_HASPOPUP) != 0;
  s.checkable = a.nRole == ROLE_SYSTEM_CHECKBUTTON || a.nRole == ROLE_SYSTEM_RADIOBUTTON || s.checked ||
                a.strActions.Find("Toggle") >= 0;
  s.editable = a.nRole == ROLE_SYSTEM_TEXT && !s.readOnly;
  return s;
}

// Our action names and Qt's.
QStringList actionsOf(const AFXACCINFO& a) {
  QStringList out;
  for (const QString& n : qs(a.strActions).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (n == QLatin1String("Press"))
      out << QAccessibleActionInterface::pressAction();
    else if (n == QLatin1String("Toggle"))
      out << QAccessibleActionInterface::toggleAction();
    else if (n == QLatin1String("ShowMenu"))
      out << QAccessibleActionInterface::showMenuAction();
    else
      out << n;
  }
  return out;
}
CString ourAction(const QString& n) {
  if (n == QAccessibleActionInterface::pressAction()) return "Press";
  if (n == QAccessibleActionInterface::toggleAction()) return "Toggle";
  if (n == QAccessibleActionInterface::showMenuAction()) return "ShowMenu";
  return CString(n.toUtf8().constData());
}

bool act(HWND h, int child, const QString& name) {
  AFXACCQUERY q;
  q.nAsk = AFXACC_ACTION;
  q.nChild = child;
  q.strAction = ourAction(name);
  return AfxAccQuery(h, &q) != FALSE;
}

void setValue(HWND h, int child, const QVariant& v) {
  AFXACCQUERY q;
  q.nAsk = AFXACC_SETVALUE;
  q.nChild = child;
  q.dValue = v.toDouble();
  q.strValue = CString(v.toString().toUtf8().constData());
  AfxAccQuery(h, &q);
}

QString textOf(const AFXACCINFO& a, QAccessible::Text t) {
  switch (t) {
    case QAccessible::Name: return qs(a.strName);
    case QAccessible::Value: return qs(a.strValue);
    case QAccessible::Description: return qs(a.strDescription);
    case QAccessible::Accelerator: return qs(a.strShortcut);
    default: return {};
  }
}

QAccessibleInterface* ifaceOfWindow(HWND h) {
  QWidget* w = AfxWidgetOf(h);
  return w ? QAccessible::queryAccessibleInterface(w) : nullptr;
}

class AfxAccItem;

// A window.
class AfxAccWindow : public QAccessibleWidget,
                     public QAccessibleValueInterface,
                     public QAccessibleTextInterface,
                     public QAccessibleEditableTextInterface {
 public:
  explicit AfxAccWindow(NeapWidget* w) : QAccessibleWidget(w), m_w(w) {}
  ~AfxAccWindow() override {
    for (const auto& it : m_items) QAccessible::deleteAccessibleInterface(it.second);
  }
  HWND hwnd() const { return m_w && AfxRec(m_w->m_h) ? m_w->m_h : nullptr; }
  bool isValid() const override { return QAccessibleWidget::isValid() && hwnd(); }

  QAccessible::Role role() const override {
    HWND h = hwnd();
    return h ? (QAccessible::Role)describe(h, 0).nRole : QAccessible::Client;
  }
  QString text(QAccessible::Text t) const override {
    HWND h = hwnd();
    return h ? textOf(describe(h, 0), t) : QString();
  }
  void setText(QAccessible::Text t, const QString& text) override {
    if (HWND h = hwnd(); h && t == QAccessible::Value) setValue(h, 0, text);
  }
  QAccessible::State state() const override {
    QAccessible::State base = QAccessibleWidget::state();
    HWND h = hwnd();
    if (!h) return base;
    QAccessible::State s = stateOf(describe(h, 0));
    s.active = base.active;
    s.movable = base.movable;
    s.sizeable = base.sizeable;
    s.modal = base.modal;
    s.invisible = s.invisible || base.invisible;
    return s;
  }
  int childCount() const override {
    HWND h = hwnd();
    return h ? itemCount(h) + (int)childWindows(h).size() : 0;
  }
  QAccessibleInterface* child(int index) const override {
    HWND h = hwnd();
    if (!h || index < 0) return nullptr;
    const int n = itemCount(h);
    if (index < n) return item(index + 1);
    std::vector<HWND> kids = childWindows(h);
    index -= n;
    return index < (int)kids.size() ? ifaceOfWindow(kids[index]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* c) const override;
  QAccessibleInterface* focusChild() const override;
  QAccessibleInterface* childAt(int x, int y) const override;

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ValueInterface) {
      HWND h = hwnd();
      return h && describe(h, 0).nValueKind == AFXACCVAL_NUMBER ? static_cast<QAccessibleValueInterface*>(this)
                                                                : nullptr;
    }
    if (t == QAccessible::TextInterface || t == QAccessible::EditableTextInterface) {
      HWND h = hwnd();
      AFXACCINFO a = h ? describe(h, 0) : AFXACCINFO();
      if (a.nRole != ROLE_SYSTEM_TEXT || a.nValueKind != AFXACCVAL_TEXT) return nullptr;
      if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
      return (a.dwState & STATE_SYSTEM_READONLY) ? nullptr : static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(t);
  }
  QStringList actionNames() const override {
    HWND h = hwnd();
    if (!h) return {};
    AFXACCINFO a = describe(h, 0);
    QStringList names = actionsOf(a);
    if ((a.dwState & STATE_SYSTEM_FOCUSABLE) && !(a.dwState & STATE_SYSTEM_FOCUSED))
      names << QAccessibleActionInterface::setFocusAction();
    return names;
  }
  void doAction(const QString& name) override {
    HWND h = hwnd();
    if (!h) return;
    if (name == QAccessibleActionInterface::setFocusAction())
      ::SetFocus(h);
    else
      act(h, 0, name);
  }

  QVariant currentValue() const override { return hwnd() ? describe(hwnd(), 0).dValue : 0.0; }
  void setCurrentValue(const QVariant& v) override {
    if (HWND h = hwnd()) setValue(h, 0, v);
  }
  QVariant maximumValue() const override { return hwnd() ? describe(hwnd(), 0).dMax : 0.0; }
  QVariant minimumValue() const override { return hwnd() ? describe(hwnd(), 0).dMin : 0.0; }
  QVariant minimumStepSize() const override { return hwnd() ? describe(hwnd(), 0).dStep : 1.0; }

  // An edit's text, selection and caret.
  QString allText() const { return hwnd() ? qs(describe(hwnd(), 0).strValue) : QString(); }
  void sel(int* start, int* end) const {
    DWORD s = 0, e = 0;
    if (HWND h = hwnd()) ::SendMessage(h, EM_GETSEL, (WPARAM)&s, (LPARAM)&e);
    *start = (int)s;
    *end = (int)e;
  }
  void selection(int i, int* start, int* end) const override {
    sel(start, end);
    if (i != 0 || *start == *end) *start = *end = 0;
  }
  int selectionCount() const override {
    int s, e;
    sel(&s, &e);
    return s != e ? 1 : 0;
  }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int) override { setCursorPosition(cursorPosition()); }
  void setSelection(int, int start, int end) override {
    if (HWND h = hwnd()) ::SendMessage(h, EM_SETSEL, start, end);
  }
  int cursorPosition() const override {
    int s, e;
    sel(&s, &e);
    return e;
  }
  void setCursorPosition(int pos) override { setSelection(0, pos, pos); }
  QString text(int start, int end) const override { return allText().mid(start, end - start); }
  int characterCount() const override { return (int)allText().size(); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* start, int* end) const override {
    *start = *end = offset;
    return {};
  }
  void replaceText(int start, int end, const QString& text) override {
    HWND h = hwnd();
    if (!h) return;
    ::SendMessage(h, EM_SETSEL, start, end);
    ::SendMessage(h, EM_REPLACESEL, TRUE, (LPARAM)text.toUtf8().constData());
  }
  void deleteText(int start, int end) override { replaceText(start, end, QString()); }
  void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }

  QAccessibleInterface* item(int child) const;
  QPointer<NeapWidget> widgetPtr() const { return m_w; }

 private:
  QPointer<NeapWidget> m_w;
  mutable std::map<int, QAccessible::Id> m_items;
};

// One item a window draws: child 1.. of its window.
class AfxAccItem : public QAccessibleInterface, public QAccessibleActionInterface, public QAccessibleValueInterface {
 public:
  AfxAccItem(QPointer<NeapWidget> w, int child) : m_w(std::move(w)), m_child(child) {}
  HWND hwnd() const { return m_w && AfxRec(m_w->m_h) ? m_w->m_h : nullptr; }
  int childId() const { return m_child; }
  AFXACCINFO info() const { return describe(hwnd(), m_child); }

  bool isValid() const override {
    HWND h = hwnd();
    return h && m_child <= itemCount(h);
  }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return m_w ? m_w->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return m_w ? QAccessible::queryAccessibleInterface(m_w.data()) : nullptr;
  }
  QAccessibleInterface* child(int index) const override {
    if (index != 0 || !isValid()) return nullptr;
    HWND c = info().hWndChild;
    return c && ::IsWindowVisible(c) ? ifaceOfWindow(c) : nullptr;
  }
  int childCount() const override { return child(0) ? 1 : 0; }
  int indexOfChild(const QAccessibleInterface* c) const override { return c && c == child(0) ? 0 : -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QString text(QAccessible::Text t) const override { return isValid() ? textOf(info(), t) : QString(); }
  void setText(QAccessible::Text t, const QString& text) override {
    if (isValid() && t == QAccessible::Value) setValue(hwnd(), m_child, text);
  }
  QRect rect() const override {
    if (!isValid()) return {};
    AFXACCINFO a = info();
    QPoint o = AfxClientOriginOnScreen(AfxRec(hwnd()));
    return QRect(o.x() + a.rect.left, o.y() + a.rect.top, a.rect.right - a.rect.left, a.rect.bottom - a.rect.top);
  }
  QAccessible::Role role() const override { return isValid() ? (QAccessible::Role)info().nRole : QAccessible::NoRole; }
  QAccessible::State state() const override {
    if (!isValid()) {
      QAccessible::State s;
      s.invisible = true;
      return s;
    }
    return stateOf(info());
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
    if (t == QAccessible::ValueInterface && isValid() && info().nValueKind == AFXACCVAL_NUMBER)
      return static_cast<QAccessibleValueInterface*>(this);
    return nullptr;
  }

  QStringList actionNames() const override { return isValid() ? actionsOf(info()) : QStringList(); }
  void doAction(const QString& name) override {
    if (isValid()) act(hwnd(), m_child, name);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

  QVariant currentValue() const override { return isValid() ? info().dValue : 0.0; }
  void setCurrentValue(const QVariant& v) override {
    if (isValid()) setValue(hwnd(), m_child, v);
  }
  QVariant maximumValue() const override { return isValid() ? info().dMax : 0.0; }
  QVariant minimumValue() const override { return isValid() ? info().dMin : 0.0; }
  QVariant minimumStepSize() const override { return isValid() ? info().dStep : 1.0; }

 private:
  QPointer<NeapWidget> m_w;
  int m_child;
};

QAccessibleInterface* AfxAccWindow::item(int child) const {
  auto it = m_items.find(child);
  if (it != m_items.end())
    if (QAccessibleInterface* i = QAccessible::accessibleInterface(it->second)) return i;
  auto* i = new AfxAccItem(m_w, child);
  m_items[child] = QAccessible::registerAccessibleInterface(i);
  return i;
}

int AfxAccWindow::indexOfChild(const QAccessibleInterface* c) const {
  HWND h = hwnd();
  if (!h || !c) return -1;
  const int n = itemCount(h);
  for (const auto& it : m_items)
    if (QAccessible::accessibleInterface(it.second) == c) return it.first <= n ? it.first - 1 : -1;
  auto* w = dynamic_cast<NeapWidget*>(c->object());
  if (!w) return -1;
  std::vector<HWND> kids = childWindows(h);
  for (size_t k = 0; k < kids.size(); ++k)
    if (kids[k] == w->m_h) return n + (int)k;
  return -1;
}

QAccessibleInterface* AfxAccWindow::focusChild() const {
  HWND h = hwnd();
  HWND f = ::GetFocus();
  if (!h || !f) return nullptr;
  if (f == h) {
    const int n = itemCount(h);
    for (int i = 1; i <= n; ++i)
      if (describe(h, i).dwState & STATE_SYSTEM_FOCUSED) return item(i);
    return nullptr;
  }
  if (!::IsChild(h, f)) return nullptr;
  QAccessibleInterface* i = ifaceOfWindow(f);
  if (i) {
    if (QAccessibleInterface* deeper = i->focusChild()) return deeper;
  }
  return i;
}

QAccessibleInterface* AfxAccWindow::childAt(int x, int y) const {
  for (int i = 0, n = childCount(); i < n; ++i)
    if (QAccessibleInterface* c = child(i); c && c->rect().contains(x, y)) return c;
  return nullptr;
}

QAccessibleInterface* factory(const QString&, QObject* o) {
  auto* w = dynamic_cast<NeapWidget*>(o);
  return w && w->m_h ? new AfxAccWindow(w) : nullptr;
}

}  // namespace

void AfxAccInstall() { QAccessible::installFactory(factory); }

namespace {
bool g_testActive = false;  // a test listens, where the platform has no reader bridge
}  // namespace

BOOL AfxAccIsActive() { return g_testActive || QAccessible::isActive(); }

void AfxAccSetListening(bool on) {
  g_testActive = on;
  if (on) QAccessible::setActive(true);
}

namespace {
std::vector<CString>* g_events = nullptr;  // a test's record of what a reader is told

void deliver(QAccessibleEvent& e) {
  if (g_events) {
    QAccessibleInterface* i = e.accessibleInterface();
    std::string line = QMetaEnum::fromType<QAccessible::Event>().valueToKey(e.type());
    if (i)
      line += std::string(" ") + QMetaEnum::fromType<QAccessible::Role>().valueToKey(i->role()) + " '" +
              i->text(QAccessible::Name).toStdString() + "'";
    g_events->push_back(CString(line.c_str()));
  }
  QAccessible::updateAccessibility(&e);
}
}  // namespace

void NotifyWinEvent(DWORD event, HWND hwnd, LONG /*idObject*/, LONG idChild) {
  if (!AfxAccIsActive()) return;
  QAccessibleInterface* iface = ifaceOfWindow(hwnd);
  if (!iface) return;
  QAccessibleInterface* target = iface;
  if (idChild > 0) {
    auto* win = dynamic_cast<AfxAccWindow*>(iface);
    if (win && idChild <= itemCount(hwnd)) target = win->item(idChild);
  }
  switch (event) {
    case EVENT_OBJECT_FOCUS: {
      QAccessibleEvent e(target, QAccessible::Focus);
      deliver(e);
      break;
    }
    case EVENT_OBJECT_NAMECHANGE: {
      QAccessibleEvent e(target, QAccessible::NameChanged);
      deliver(e);
      break;
    }
    case EVENT_OBJECT_VALUECHANGE: {
      QAccessibleValueChangeEvent e(target, target->valueInterface() ? target->valueInterface()->currentValue()
                                                                     : QVariant(target->text(QAccessible::Value)));
      deliver(e);
      break;
    }
    case EVENT_OBJECT_STATECHANGE: {
      QAccessible::State changed;
      changed.checked = changed.expanded = changed.collapsed = changed.disabled = changed.selected = true;
      QAccessibleStateChangeEvent e(target, changed);
      deliver(e);
      break;
    }
    case EVENT_OBJECT_SELECTION: {
      QAccessibleEvent e(target, QAccessible::Selection);
      deliver(e);
      break;
    }
    case EVENT_OBJECT_REORDER: {
      QAccessibleEvent e(iface, QAccessible::ObjectReorder);
      deliver(e);
      break;
    }
    case EVENT_OBJECT_SHOW:
    case EVENT_OBJECT_HIDE: {
      QAccessibleEvent e(target, event == EVENT_OBJECT_SHOW ? QAccessible::ObjectShow : QAccessible::ObjectHide);
      deliver(e);
      break;
    }
    case EVENT_SYSTEM_MENUSTART:
    case EVENT_SYSTEM_MENUEND:
    case EVENT_SYSTEM_MENUPOPUPSTART:
    case EVENT_SYSTEM_MENUPOPUPEND: {
      static const QAccessible::Event kinds[] = {QAccessible::MenuStart, QAccessible::MenuEnd,
                                                 QAccessible::PopupMenuStart, QAccessible::PopupMenuEnd};
      QAccessibleEvent e(target, kinds[event - EVENT_SYSTEM_MENUSTART]);
      deliver(e);
      break;
    }
    default: break;
  }
}

void AfxAccSetEventLog(std::vector<CString>* pEvents) { g_events = pEvents; }
