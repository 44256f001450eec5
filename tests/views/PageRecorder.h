// A printer stand-in for the views' tests: each page is drawn into a picture, kept when the page
// ends, so a test can look at every printed page.
#pragma once

#include "platform/ui/AfxWin.h"

#include <memory>
#include <vector>

namespace views_test {

class PageRecorder : public CDC {
 public:
  PageRecorder(int w, int h) : m_w(w), m_h(h) {
    CreateCompatibleDC(nullptr);
    m_page.CreateCompatibleBitmap(nullptr, w, h);
    m_old = SelectObject(&m_page);
  }
  ~PageRecorder() override { SelectObject(m_old); }
  int StartDoc(LPCTSTR) override { return 1; }
  int EndDoc() override { return 1; }
  int AbortDoc() override { return 1; }
  int StartPage() override {
    FillSolidRect(0, 0, m_w, m_h, RGB(255, 255, 255));
    return 1;
  }
  int EndPage() override {
    auto copy = std::make_unique<CBitmap>();
    copy->CreateCompatibleBitmap(nullptr, m_w, m_h);
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap* old = mem.SelectObject(copy.get());
    mem.BitBlt(0, 0, m_w, m_h, this, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    pages.push_back(std::move(copy));
    return 1;
  }
  // Dark pixels of a page within a rectangle.
  int Dark(size_t page, const RECT& r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        COLORREF c = pages[page]->GetPixel(x, y);
        n += GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
      }
    return n;
  }
  std::vector<std::unique_ptr<CBitmap>> pages;

 private:
  int m_w, m_h;
  CBitmap m_page;
  CBitmap* m_old = nullptr;
};

}  // namespace views_test
