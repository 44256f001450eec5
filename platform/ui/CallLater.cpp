#include "platform/ui/CallLater.h"

#include "platform/ui/WinApp.h"

#include <QCoreApplication>
#include <QTimer>

void AfxCallLater(int ms, std::function<void()> fn) {
  AfxWinInit(0, nullptr);
  QTimer::singleShot(ms, QCoreApplication::instance(), std::move(fn));
}
