#include "platform/ui/Clipboard.h"

#include "platform/core/AfxGlobalMem.h"

#include "platform/ui/MetaFileDC.h"
#include "platform/ui/UiInternal.h"
#include "platform/ui/WinApp.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstring>
#include <memory>

namespace {

struct OpenBoard {
  bool open = false;
  bool emptied = false;
  std::unique_ptr<QMimeData> pending;
  HENHMETAFILE got = nullptr;  // handed out by GetClipboardData
  HGLOBAL gotText = nullptr;   // likewise
};
OpenBoard& board() {
  static OpenBoard b;
  return b;
}

QClipboard* qtBoard() {
  AfxWinInit(0, nullptr);
  return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

QMimeData& pending() {
  if (!board().pending) board().pending = std::make_unique<QMimeData>();
  return *board().pending;
}

void putImage(QMimeData& m, const QImage& img) {
  QByteArray png;
  QBuffer buf(&png);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "PNG");
  m.setData("image/png", png);
  m.setImageData(img);
}

}  // namespace

BOOL OpenClipboard(HWND) {
  if (board().open || !qtBoard()) return FALSE;
  board().open = true;
  board().emptied = false;
  board().pending.reset();
  return TRUE;
}

BOOL EmptyClipboard() {
  if (!board().open) return FALSE;
  board().emptied = true;
  board().pending.reset();
  return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem) {
  if (!board().open || !hMem) return nullptr;
  switch (uFormat) {
    case CF_ENHMETAFILE: {
      auto h = static_cast<HENHMETAFILE>(hMem);
      UINT n = GetEnhMetaFileBits(h, 0, nullptr);
      if (!n) return nullptr;
      QByteArray bytes(n, 0);
      GetEnhMetaFileBits(h, n, reinterpret_cast<LPBYTE>(bytes.data()));
      QMimeData& m = pending();
      m.setData(AFX_CLIPBOARD_EMF_MIME, bytes);
      m.setData(AFX_CLIPBOARD_EMF_MIME_ALT, bytes);
      // Every Linux program can paste the picture as an image.
      CBitmap pic;
      if (AfxEnhMetaFileToBitmap(h, &pic)) {
        auto* d = static_cast<AfxBitmapData*>(AfxGdi(pic.GetSafeHandle()));
        if (d && !d->image.isNull()) putImage(m, d->image);
      }
      // The clipboard owns the handle now.
      DeleteEnhMetaFile(h);
      return hMem;
    }
    case CF_TEXT: {
      // A zero-terminated UTF-8 text in a global block, which the clipboard now owns.
      SIZE_T n = GlobalSize(hMem);
      auto* p = static_cast<const char*>(GlobalLock(hMem));
      if (!p) return nullptr;
      SIZE_T len = 0;
      while (len < n && p[len]) ++len;
      pending().setText(QString::fromUtf8(p, (qsizetype)len));
      GlobalUnlock(hMem);
      GlobalFree(hMem);
      return hMem;
    }
    case CF_BITMAP: {
      auto* d = static_cast<AfxBitmapData*>(AfxGdi(static_cast<HGDIOBJ>(hMem)));
      if (!d || d->kind != AfxGdiData::Bitmap || d->image.isNull()) return nullptr;
      putImage(pending(), d->image.convertToFormat(QImage::Format_RGB32));
      DeleteObject(static_cast<HGDIOBJ>(hMem));
      return hMem;
    }
  }
  return nullptr;
}

BOOL CloseClipboard() {
  if (!board().open) return FALSE;
  board().open = false;
  QClipboard* c = qtBoard();
  if (!c) return FALSE;
  if (board().pending && !board().pending->formats().isEmpty())
    c->setMimeData(board().pending.release());
  else if (board().emptied)
    c->clear();
  board().pending.reset();
  return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT uFormat) {
  QClipboard* c = qtBoard();
  const QMimeData* m = c ? c->mimeData() : nullptr;
  if (!m) return FALSE;
  switch (uFormat) {
    case CF_ENHMETAFILE: return m->hasFormat(AFX_CLIPBOARD_EMF_MIME) || m->hasFormat(AFX_CLIPBOARD_EMF_MIME_ALT);
    case CF_BITMAP: return m->hasImage() || m->hasFormat("image/png");
    case CF_TEXT:
    case CF_UNICODETEXT: return m->hasText();
  }
  return FALSE;
}

HANDLE GetClipboardData(UINT uFormat) {
  if (uFormat == CF_TEXT) {
    CString text;
    if (!AfxGetClipboardText(text)) return nullptr;
    if (board().gotText) GlobalFree(board().gotText);
    board().gotText = GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)text.GetLength() + 1);
    if (auto* p = static_cast<char*>(GlobalLock(board().gotText))) {
      std::memcpy(p, (LPCTSTR)text, (size_t)text.GetLength());
      GlobalUnlock(board().gotText);
    }
    return board().gotText;
  }
  if (uFormat != CF_ENHMETAFILE) return nullptr;
  std::vector<BYTE> bytes;
  if (!AfxGetClipboardEmf(bytes)) return nullptr;
  if (board().got) DeleteEnhMetaFile(board().got);
  board().got = SetEnhMetaFileBits((UINT)bytes.size(), bytes.data());
  return board().got;
}
