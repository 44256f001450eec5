#include "platform/ui/Clipboard.h"

#include "platform/ui/UiInternal.h"
#include "platform/ui/WinApp.h"

#include <QBuffer>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace {

QClipboard* board() {
  AfxWinInit(0, nullptr);
  return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

BOOL (*g_shellHook)(LPCTSTR) = nullptr;

}  // namespace

BOOL AfxSetClipboardText(LPCTSTR lpszText) {
  QClipboard* c = board();
  if (!c) return FALSE;
  c->setText(QString::fromUtf8(lpszText ? lpszText : ""));
  return TRUE;
}

BOOL AfxGetClipboardText(CString& rText) {
  QClipboard* c = board();
  rText.Empty();
  const QMimeData* m = c ? c->mimeData() : nullptr;
  if (!m || !m->hasText()) return FALSE;
  rText = m->text().toUtf8().constData();
  return TRUE;
}

BOOL AfxSetClipboardPicture(const std::vector<BYTE>& emf, const CBitmap* pBitmap) {
  QClipboard* c = board();
  if (!c) return FALSE;
  const QImage* img = nullptr;
  if (pBitmap && pBitmap->GetSafeHandle()) {
    auto* d = static_cast<AfxBitmapData*>(AfxGdi(pBitmap->GetSafeHandle()));
    if (d && d->kind == AfxGdiData::Bitmap && !d->image.isNull()) img = &d->image;
  }
  if (emf.empty() && !img) return FALSE;
  auto* m = new QMimeData;
  if (!emf.empty()) {
    QByteArray bytes(reinterpret_cast<const char*>(emf.data()), (qsizetype)emf.size());
    m->setData(AFX_CLIPBOARD_EMF_MIME, bytes);
    m->setData(AFX_CLIPBOARD_EMF_MIME_ALT, bytes);
  }
  if (img) {
    // PNG bytes as well as the image itself, for programs that ask for the type by name.
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img->save(&buf, "PNG");
    m->setData("image/png", png);
    m->setImageData(*img);
  }
  c->setMimeData(m);
  return TRUE;
}

BOOL AfxGetClipboardEmf(std::vector<BYTE>& rBytes) {
  QClipboard* c = board();
  rBytes.clear();
  const QMimeData* m = c ? c->mimeData() : nullptr;
  if (!m) return FALSE;
  QByteArray b = m->data(AFX_CLIPBOARD_EMF_MIME);
  if (b.isEmpty()) b = m->data(AFX_CLIPBOARD_EMF_MIME_ALT);
  if (b.isEmpty()) return FALSE;
  rBytes.assign(b.begin(), b.end());
  return TRUE;
}

BOOL AfxGetClipboardImage(CBitmap* pBitmap) {
  QClipboard* c = board();
  if (!c || !pBitmap) return FALSE;
  QImage img = c->image();
  if (img.isNull()) {
    const QMimeData* m = c->mimeData();
    if (m && m->hasFormat("image/png")) img.loadFromData(m->data("image/png"), "PNG");
  }
  if (img.isNull()) return FALSE;
  img = img.convertToFormat(QImage::Format_RGB32);
  pBitmap->DeleteObject();
  if (!pBitmap->CreateBitmap(img.width(), img.height(), 1, 32, nullptr)) return FALSE;
  static_cast<AfxBitmapData*>(AfxGdi(pBitmap->GetSafeHandle()))->image = img;
  return TRUE;
}

BOOL AfxEmptyClipboard() {
  QClipboard* c = board();
  if (!c) return FALSE;
  c->clear();
  return TRUE;
}

BOOL AfxShellOpen(LPCTSTR lpszUrlOrPath) {
  if (!lpszUrlOrPath || !*lpszUrlOrPath) return FALSE;
  AfxWinInit(0, nullptr);
  QString s = QString::fromUtf8(lpszUrlOrPath);
  QUrl url;
  if (QFileInfo::exists(s))
    url = QUrl::fromLocalFile(QFileInfo(s).absoluteFilePath());
  else
    url = QUrl(s, QUrl::StrictMode);
  if (!url.isValid() || url.scheme().isEmpty()) return FALSE;
  static const char* const kSchemes[] = {"http", "https", "mailto", "file"};
  bool known = false;
  for (const char* k : kSchemes) known = known || url.scheme().compare(QLatin1String(k), Qt::CaseInsensitive) == 0;
  if (!known) return FALSE;  // no other handlers are started from the program
  if (g_shellHook) return g_shellHook(url.toString(QUrl::FullyEncoded).toUtf8().constData());
  return QDesktopServices::openUrl(url) ? TRUE : FALSE;
}

void AfxSetShellOpenHookForTest(BOOL (*pfn)(LPCTSTR)) { g_shellHook = pfn; }
