#include "platform/ui/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cstdint>
#include <cstring>

namespace {

HINSTANCE code(intptr_t v) { return reinterpret_cast<HINSTANCE>(v); }

bool isAddress(const QString& s) { return s.contains("://") || s.startsWith("mailto:", Qt::CaseInsensitive); }

}  // namespace

HINSTANCE ShellExecute(HWND, LPCTSTR lpOperation, LPCTSTR lpFile, LPCTSTR, LPCTSTR lpDirectory, INT) {
  if (!lpFile || !*lpFile) return code(SE_ERR_FNF);
  QString verb = lpOperation ? QString::fromUtf8(lpOperation).toLower() : QStringLiteral("open");
  if (verb.isEmpty()) verb = "open";
  if (verb != "open" && verb != "explore") return code(SE_ERR_NOASSOC);
  QString target = QString::fromUtf8(lpFile);
  if (isAddress(target)) {
    if (verb != "open") return code(SE_ERR_NOASSOC);
    return AfxShellOpen(lpFile) ? code(42) : code(SE_ERR_NOASSOC);
  }
  QFileInfo fi(target);
  if (fi.isRelative() && lpDirectory && *lpDirectory) fi = QFileInfo(QDir(QString::fromUtf8(lpDirectory)), target);
  if (!fi.exists()) return code(fi.dir().exists() ? SE_ERR_FNF : SE_ERR_PNF);
  if (verb == "explore" && !fi.isDir()) return code(SE_ERR_NOASSOC);
  QByteArray path = fi.absoluteFilePath().toUtf8();
  return AfxShellOpen(path.constData()) ? code(42) : code(SE_ERR_NOASSOC);
}
