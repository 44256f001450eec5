// Laying out the controls of one bar in rows (columns on a vertical bar).
#include "toolkit/CbCommandBar.h"

#include <algorithm>

namespace {

constexpr int kGroupGap = 6;
constexpr int kSingleRow = 32767;

struct Item {
  CCbControl* control;
  CRect rc;
  CRect rcRow;
  CSize size;
  BOOL takesPart;
  BOOL wrap = FALSE;
  BOOL pushed = FALSE;
  BOOL group;
};

class Layout {
 public:
  Layout(std::vector<Item>& items, BOOL vertical) : m_items(items), m_vertical(vertical) {}

  int Along(const Item& it) const { return m_vertical ? it.size.cy : it.size.cx; }
  int Across(const Item& it) const { return m_vertical ? it.size.cx : it.size.cy; }

  // Breaks the items into rows no longer than the width; the number of rows.
  int Wrap(int nWidth, DWORD& dwMode) {
    for (Item& it : m_items) {
      it.wrap = FALSE;
      it.pushed = FALSE;
    }
    int rows = 0, extent = 0, rowStart = -1, groupStart = -1;
    const int n = (int)m_items.size();
    for (int i = 0; i < n; ++i) {
      Item& it = m_items[(size_t)i];
      if (!it.takesPart) continue;
      if (rowStart < 0) {
        rowStart = groupStart = i;
        extent = Along(it);
        rows = 1;
        continue;
      }
      if (it.group) groupStart = i;
      const int add = Along(it) + (it.group ? kGroupGap : 0);
      if (extent + add <= nWidth) {
        extent += add;
        continue;
      }
      if (dwMode & LM_HIDEWRAP) {
        for (int k = i; k < n; ++k)
          if (m_items[(size_t)k].takesPart) m_items[(size_t)k].pushed = TRUE;
        dwMode |= LM_STRETCH;
        break;
      }
      int breakAt = groupStart > rowStart ? groupStart : i;
      m_items[(size_t)breakAt].wrap = TRUE;
      dwMode |= LM_STRETCH;
      ++rows;
      rowStart = groupStart = breakAt;
      extent = Along(m_items[(size_t)breakAt]);
      for (int k = breakAt + 1; k <= i; ++k) {
        const Item& j = m_items[(size_t)k];
        if (!j.takesPart) continue;
        if (j.group) groupStart = k;
        extent += Along(j) + (j.group ? kGroupGap : 0);
      }
    }
    return rows;
  }

  // Places the rows; the bounding size.
  CSize Measure() {
    int along = 0, across = 0, rowAcross = 0, rowThick = 0, maxAlong = 0;
    BOOL first = TRUE;
    int rowFirst = -1;
    const int n = (int)m_items.size();
    auto closeRow = [&](int from, int to) {
      for (int k = from; k < to; ++k) {
        Item& it = m_items[(size_t)k];
        if (!it.takesPart || it.pushed) continue;
        it.rcRow =
            m_vertical ? CRect(-rowAcross - rowThick, 0, -rowAcross, 0) : CRect(0, rowAcross, 0, rowAcross + rowThick);
      }
    };
    for (int i = 0; i < n; ++i) {
      Item& it = m_items[(size_t)i];
      if (!it.takesPart || it.pushed) continue;
      if (first) {
        first = FALSE;
        rowFirst = i;
      } else if (it.wrap) {
        closeRow(rowFirst, i);
        rowAcross += rowThick + (it.group ? kGroupGap : 0);
        rowThick = 0;
        along = 0;
        rowFirst = i;
      } else if (it.group) {
        along += kGroupGap;
      }
      const int a = Along(it), c = Across(it);
      if (m_vertical)
        it.rc = CRect(-rowAcross - c, along, -rowAcross, along + a);
      else
        it.rc = CRect(along, rowAcross, along + a, rowAcross + c);
      along += a;
      maxAlong = std::max(maxAlong, along);
      rowThick = std::max(rowThick, c);
    }
    if (rowFirst >= 0) closeRow(rowFirst, n);
    across = rowAcross + rowThick;
    // Columns grow to the left on vertical bars: move everything right of 0.
    if (m_vertical)
      for (Item& it : m_items) {
        it.rc.OffsetRect(across, 0);
        it.rcRow.OffsetRect(across, 0);
      }
    return m_vertical ? CSize(across, maxAlong) : CSize(maxAlong, across);
  }

 private:
  std::vector<Item>& m_items;
  BOOL m_vertical;
};

}  // namespace

CSize CCbControls::CalcDynamicSize(int nLength, DWORD& dwMode, const CRect& rcBorder, int nMinimum) {
  for (int i = GetCount() - 1; i >= 0; --i) m_arrControls[(size_t)i]->OnCalcDynamicSize(dwMode);
  const BOOL vertical = (dwMode & LM_VERTDOCK) != 0 || (!(dwMode & LM_HORZ) && !(dwMode & LM_HORZDOCK) && m_pParent &&
                                                        CbIsVerticalPosition(m_pParent->GetPosition()));
  const int marginsAlong = vertical ? rcBorder.top + rcBorder.bottom : rcBorder.left + rcBorder.right;
  const int marginsAcross = vertical ? rcBorder.left + rcBorder.right : rcBorder.top + rcBorder.bottom;

  if (GetVisibleCount(FALSE) == 0) {
    CSize sz(rcBorder.left + rcBorder.right + 23, rcBorder.top + rcBorder.bottom + 22);
    if (vertical)
      sz.cx = std::max<int>(sz.cx, nMinimum);
    else
      sz.cy = std::max<int>(sz.cy, nMinimum);
    return sz;
  }

  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  std::vector<Item> items;
  items.reserve(m_arrControls.size());
  for (CCbControl* c : m_arrControls) {
    const DWORD hide = c->GetHideFlags();
    const BOOL part = hide == 0 || hide == (DWORD)cbHideWrap;
    items.push_back(Item{c, c->GetRect(), c->GetRowRect(), part ? c->GetSize(&dc) : CSize(0, 0), part, FALSE, FALSE,
                         c->GetBeginGroup()});
  }
  Layout layout(items, vertical);
  CSize size;
  if (dwMode & LM_MRUWIDTH) {
    const int mru = m_pParent ? 32767 : 32767;
    layout.Wrap(mru, dwMode);
    size = layout.Measure();
    if (dwMode & LM_POPUP) {
      layout.Wrap(size.cx, dwMode);
      size = layout.Measure();
    }
  } else if (dwMode & LM_HORZDOCK) {
    layout.Wrap(nLength - (rcBorder.left + rcBorder.right), dwMode);
    size = layout.Measure();
  } else if (dwMode & LM_VERTDOCK) {
    layout.Wrap(nLength - (rcBorder.top + rcBorder.bottom), dwMode);
    size = layout.Measure();
  } else {
    // Floating: the narrowest shape that keeps the rows, or reaches the height.
    DWORD probe = dwMode & ~(DWORD)LM_STRETCH;
    if (dwMode & LM_LENGTHY) {
      const int want = nLength - (rcBorder.top + rcBorder.bottom);
      int lo = 0, hi = kSingleRow;
      while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        DWORD m = probe;
        layout.Wrap(mid, m);
        const CSize s = layout.Measure();
        if (s.cy == want) {
          hi = mid;
          break;
        }
        if (s.cy > want)
          lo = mid;
        else
          hi = mid;
      }
      layout.Wrap(hi, dwMode);
    } else {
      const int width = std::max(0, nLength - marginsAlong);
      DWORD m = probe;
      const int target = layout.Wrap(width, m);
      int lo = 0, hi = std::max(width, 1);
      while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        DWORD mm = probe;
        if (layout.Wrap(mid, mm) <= target)
          hi = mid;
        else
          lo = mid;
      }
      layout.Wrap(hi, dwMode);
      const CSize s = layout.Measure();
      layout.Wrap(s.cx, dwMode);
    }
    size = layout.Measure();
  }

  // The cross side at least the minimum; stretched bars take the whole length.
  if (vertical)
    size.cx = std::max<int>(size.cx, nMinimum - marginsAcross);
  else
    size.cy = std::max<int>(size.cy, nMinimum - marginsAcross);
  if (dwMode & LM_STRETCH) {
    if (vertical)
      size.cy = std::max<int>(size.cy, nLength - marginsAlong);
    else
      size.cx = std::max<int>(size.cx, nLength - marginsAlong);
  }
  if (size.cx < 0) size.cx = 0;
  if (size.cy < 0) size.cy = 0;

  if (dwMode & LM_COMMIT) {
    // Rows as long as the bar, each item centred across its row, moved in by the margins.
    for (Item& it : items) {
      if (!it.takesPart || it.pushed) continue;
      if (vertical) {
        it.rcRow.top = 0;
        it.rcRow.bottom = size.cy;
        const int off = (it.rcRow.Width() - it.rc.Width()) / 2;
        it.rc.OffsetRect(it.rcRow.left + off - it.rc.left, 0);
      } else {
        it.rcRow.left = 0;
        it.rcRow.right = size.cx;
        const int off = (it.rcRow.Height() - it.rc.Height()) / 2;
        it.rc.OffsetRect(0, it.rcRow.top + off - it.rc.top);
      }
      it.rc.OffsetRect(rcBorder.left, rcBorder.top);
      it.rcRow.OffsetRect(rcBorder.left, rcBorder.top);
    }
    // Far-end controls of the last row, last first.
    const int farEnd = vertical ? rcBorder.top + size.cy : rcBorder.left + size.cx;
    const int nearEnd = vertical ? rcBorder.top : rcBorder.left;
    int edge = farEnd;
    for (int i = (int)items.size() - 1; i >= 0; --i) {
      Item& it = items[(size_t)i];
      if (!it.takesPart || it.pushed) continue;
      if (!(it.control->GetFlags() & cbFlagRightAlign)) break;
      const int len = vertical ? it.rc.Height() : it.rc.Width();
      if (edge - len < nearEnd) break;
      if (vertical)
        it.rc.OffsetRect(0, edge - len - it.rc.top);
      else
        it.rc.OffsetRect(edge - len - it.rc.left, 0);
      edge -= len;
      if (it.wrap) break;
    }
    // Stretched controls share the room left in their row.
    size_t r0 = 0;
    while (r0 < items.size()) {
      size_t r1 = r0 + 1;
      while (r1 < items.size() && !(items[r1].takesPart && !items[r1].pushed && items[r1].wrap)) ++r1;
      std::vector<size_t> stretched;
      int used = 0;
      for (size_t k = r0; k < r1; ++k)
        if (items[k].takesPart && !items[k].pushed) {
          used = std::max<int>(used, (vertical ? items[k].rc.bottom : items[k].rc.right) - nearEnd);
          if (items[k].control->GetFlags() & cbFlagControlStretched) stretched.push_back(k);
        }
      int room = (farEnd - nearEnd) - used;
      for (size_t s = 0; s < stretched.size() && room > 0; ++s) {
        const int give = room / (int)(stretched.size() - s);
        room -= give;
        Item& it = items[stretched[s]];
        if (vertical)
          it.rc.bottom += give;
        else
          it.rc.right += give;
        for (size_t k = stretched[s] + 1; k < r1; ++k)
          if (items[k].takesPart && !items[k].pushed) {
            if (vertical)
              items[k].rc.OffsetRect(0, give);
            else
              items[k].rc.OffsetRect(give, 0);
          }
      }
      r0 = r1;
    }
    for (Item& it : items) {
      if (!it.takesPart) continue;
      it.control->SetHideFlag(cbHideWrap, it.pushed);
      it.control->SetRowRect(it.rcRow);
      if (!it.pushed) it.control->SetRect(it.rc);
      it.control->SetWrap(it.wrap);
    }
  }
  return CSize(size.cx + rcBorder.left + rcBorder.right, size.cy + rcBorder.top + rcBorder.bottom);
}
