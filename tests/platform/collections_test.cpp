#include "platform/core/Afx.h"

#include <gtest/gtest.h>

#include <set>

namespace {

template <typename Fn>
[[maybe_unused]] bool ThrowsInvalidArg(Fn fn) {
  try {
    fn();
  } catch (CInvalidArgException* e) {
    e->Delete();
    return true;
  }
  return false;
}

TEST(Collections, ArrayOperations) {
  CArray<int, int> a;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(i, a.Add(i * 10));
  a.InsertAt(1, 5, 2);  // 0 5 5 10 20 30 40
  a.RemoveAt(4, 2);     // 0 5 5 10 40
  a.SetAtGrow(7, 70);   // 0 5 5 10 40 0 0 70
  ASSERT_EQ(8, a.GetSize());
  const int want[] = {0, 5, 5, 10, 40, 0, 0, 70};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(want[i], a[i]);
  EXPECT_EQ(7, a.GetUpperBound());

  CStringArray names;
  names.Add("Dover");
  names.Add(CString("Calais"));
  CStringArray copy;
  copy.Copy(names);
  copy.Append(names);
  EXPECT_EQ(4, copy.GetCount());
  EXPECT_EQ(CString("Calais"), copy.GetAt(3));
}

#ifdef NDEBUG
TEST(Collections, BadIndexesThrowInsteadOfTouchingMemory) {
  CArray<int, int> a;
  a.Add(1);
  EXPECT_TRUE(ThrowsInvalidArg([&] { (void)a[1]; }));
  EXPECT_TRUE(ThrowsInvalidArg([&] { (void)a.GetAt(-1); }));
  EXPECT_TRUE(ThrowsInvalidArg([&] { a.RemoveAt(0, 2); }));
  EXPECT_TRUE(ThrowsInvalidArg([&] { a.SetSize(-1); }));
  CList<int, int> l;
  EXPECT_TRUE(ThrowsInvalidArg([&] { l.GetHead(); }));
  EXPECT_TRUE(ThrowsInvalidArg([&] { l.RemoveTail(); }));
}
#endif

TEST(Collections, ListPositions) {
  CList<int, int> l;
  POSITION p2 = l.AddTail(2);
  l.AddHead(1);
  l.InsertAfter(p2, 4);
  POSITION p3 = l.InsertBefore(l.Find(4), 3);
  EXPECT_EQ(4, l.GetCount());
  EXPECT_EQ(p3, l.FindIndex(2));
  EXPECT_EQ(nullptr, l.FindIndex(4));

  std::vector<int> seen;
  for (POSITION pos = l.GetHeadPosition(); pos;) seen.push_back(l.GetNext(pos));
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), seen);

  l.RemoveAt(p2);
  EXPECT_EQ(1, l.RemoveHead());
  EXPECT_EQ(4, l.RemoveTail());
  EXPECT_EQ(3, l.GetHead());
  EXPECT_EQ(l.GetHeadPosition(), l.GetTailPosition());
  l.RemoveAll();
  EXPECT_TRUE(l.IsEmpty());
  EXPECT_EQ(nullptr, l.GetHeadPosition());
}

TEST(Collections, PointerListKeepsOrderBackwards) {
  int a = 1, b = 2;
  CTypedPtrList<CPtrList, int*> l;
  l.AddTail(&a);
  l.AddTail(&b);
  POSITION pos = l.GetTailPosition();
  EXPECT_EQ(&b, l.GetPrev(pos));
  EXPECT_EQ(&a, l.GetPrev(pos));
  EXPECT_EQ(nullptr, pos);
}

TEST(Collections, MapGrowsAndIteratesEveryPair) {
  CMapWordToPtr m;
  int values[2000];
  for (int i = 0; i < 2000; ++i) m[(WORD)(i * 37)] = &values[i];
  EXPECT_EQ(2000, m.GetCount());
  void* p = nullptr;
  ASSERT_TRUE(m.Lookup((WORD)(1999 * 37), p));
  EXPECT_EQ(&values[1999], p);
  EXPECT_FALSE(m.Lookup(1, p));
  EXPECT_TRUE(m.RemoveKey(0));
  EXPECT_FALSE(m.RemoveKey(0));

  std::set<WORD> keys;
  WORD k;
  for (POSITION pos = m.GetStartPosition(); pos;) {
    m.GetNextAssoc(pos, k, p);
    keys.insert(k);
  }
  EXPECT_EQ(1999u, keys.size());
  EXPECT_EQ(0u, keys.count(0));

  m.SetAt(5, nullptr);
  m.SetAt(5, &values[0]);
  EXPECT_EQ(2000, m.GetCount());
  m.RemoveAll();
  EXPECT_EQ(nullptr, m.GetStartPosition());
}

TEST(Collections, StringKeysCompareByContent) {
  CMapStringToPtr m;
  int x = 0;
  m.SetAt("Dover", &x);
  char key[] = "Dover";  // another pointer to the same text
  void* p = nullptr;
  EXPECT_TRUE(m.Lookup(key, p));
  EXPECT_EQ(&x, p);
  EXPECT_FALSE(m.Lookup("dover", p));

  CMapStringToString s;
  s["a"] = "1";
  CString v;
  EXPECT_TRUE(s.Lookup("a", v));
  EXPECT_EQ(CString("1"), v);

  CTypedPtrMap<CMapWordToPtr, WORD, int*> typed;
  typed.SetAt(3, &x);
  int* q = nullptr;
  EXPECT_TRUE(typed.Lookup(3, q));
  EXPECT_EQ(&x, q);
}

}  // namespace
