// Collections in the framework's manner: CArray, CList and CMap templates with POSITION
// iteration, and the named arrays, lists and maps built on them.
// Index checks ASSERT in debug builds; an index out of range throws CInvalidArgException* in
// every build rather than touching memory outside the collection.
#pragma once

#include "platform/core/AfxExceptions.h"
#include "platform/core/AfxObject.h"
#include "platform/core/AfxString.h"

#include <algorithm>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

struct __AFX_POSITION {};
typedef __AFX_POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

// ---------------------------------------------------------------------------------------------
// CArray<TYPE, ARG_TYPE>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
 public:
  CArray() = default;
  CArray(const CArray& src) : CObject(), m_data(src.m_data), m_nGrowBy(src.m_nGrowBy) {}
  CArray& operator=(const CArray& src) {
    m_data = src.m_data;
    return *this;
  }
  ~CArray() override = default;

  INT_PTR GetSize() const { return (INT_PTR)m_data.size(); }
  INT_PTR GetCount() const { return (INT_PTR)m_data.size(); }
  BOOL IsEmpty() const { return m_data.empty(); }
  INT_PTR GetUpperBound() const { return (INT_PTR)m_data.size() - 1; }
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
    if (nNewSize < 0) AfxThrowInvalidArgException();
    if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
    m_data.resize((size_t)nNewSize);
  }
  void FreeExtra() { m_data.shrink_to_fit(); }
  void RemoveAll() { m_data.clear(); }

  const TYPE& GetAt(INT_PTR nIndex) const { return m_data[Check(nIndex)]; }
  TYPE& GetAt(INT_PTR nIndex) { return m_data[Check(nIndex)]; }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_data[Check(nIndex)] = newElement; }
  const TYPE& ElementAt(INT_PTR nIndex) const { return m_data[Check(nIndex)]; }
  TYPE& ElementAt(INT_PTR nIndex) { return m_data[Check(nIndex)]; }
  const TYPE& operator[](INT_PTR nIndex) const { return m_data[Check(nIndex)]; }
  TYPE& operator[](INT_PTR nIndex) { return m_data[Check(nIndex)]; }
  const TYPE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
  TYPE* GetData() { return m_data.empty() ? nullptr : m_data.data(); }

  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
    if (nIndex < 0) AfxThrowInvalidArgException();
    if ((size_t)nIndex >= m_data.size()) {
      TYPE copy(newElement);  // the argument may live in this array
      m_data.resize((size_t)nIndex + 1);
      m_data[(size_t)nIndex] = std::move(copy);
      return;
    }
    m_data[(size_t)nIndex] = newElement;
  }
  INT_PTR Add(ARG_TYPE newElement) {
    m_data.push_back(newElement);
    return (INT_PTR)m_data.size() - 1;
  }
  INT_PTR Append(const CArray& src) {
    INT_PTR nOld = GetSize();
    m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
    return nOld;
  }
  void Copy(const CArray& src) {
    if (this != &src) m_data = src.m_data;
  }
  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
    if (nIndex < 0 || nCount < 0) AfxThrowInvalidArgException();
    if ((size_t)nIndex > m_data.size()) m_data.resize((size_t)nIndex);
    TYPE copy(newElement);
    m_data.insert(m_data.begin() + nIndex, (size_t)nCount, copy);
  }
  void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray) {
    if (nStartIndex < 0 || pNewArray == nullptr) AfxThrowInvalidArgException();
    std::vector<TYPE> copy(pNewArray->m_data);
    if ((size_t)nStartIndex > m_data.size()) m_data.resize((size_t)nStartIndex);
    m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
  }
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
    if (nIndex < 0 || nCount < 0 || (size_t)(nIndex + nCount) > m_data.size()) {
      ASSERT(FALSE);
      AfxThrowInvalidArgException();
    }
    m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
  }

  // Range-for support.
  typename std::vector<TYPE>::iterator begin() { return m_data.begin(); }
  typename std::vector<TYPE>::iterator end() { return m_data.end(); }
  typename std::vector<TYPE>::const_iterator begin() const { return m_data.begin(); }
  typename std::vector<TYPE>::const_iterator end() const { return m_data.end(); }

 private:
  size_t Check(INT_PTR nIndex) const {
    ASSERT(nIndex >= 0 && (size_t)nIndex < m_data.size());
    if (nIndex < 0 || (size_t)nIndex >= m_data.size()) AfxThrowInvalidArgException();
    return (size_t)nIndex;
  }

  std::vector<TYPE> m_data;
  INT_PTR m_nGrowBy = 0;
};

typedef CArray<BYTE, BYTE> CByteArray;
typedef CArray<WORD, WORD> CWordArray;
typedef CArray<DWORD, DWORD> CDWordArray;
typedef CArray<UINT, UINT> CUIntArray;
typedef CArray<void*, void*> CPtrArray;
typedef CArray<CObject*, CObject*> CObArray;
typedef CArray<CString, const CString&> CStringArray;

// Pointer array typed for a class; the elements are not owned.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
 public:
  TYPE GetAt(INT_PTR nIndex) const { return (TYPE)BASE_CLASS::GetAt(nIndex); }
  TYPE& ElementAt(INT_PTR nIndex) { return (TYPE&)BASE_CLASS::ElementAt(nIndex); }
  void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
  void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
  INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
  void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1) {
    BASE_CLASS::InsertAt(nIndex, newElement, nCount);
  }
  TYPE operator[](INT_PTR nIndex) const { return (TYPE)BASE_CLASS::operator[](nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return (TYPE&)BASE_CLASS::operator[](nIndex); }
};

// ---------------------------------------------------------------------------------------------
// CList<TYPE, ARG_TYPE>: a doubly linked list; a POSITION is a node and stays valid until that
// node is removed.

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
  struct CNode : __AFX_POSITION {
    CNode* pNext;
    CNode* pPrev;
    TYPE data;
    template <class A>
    CNode(CNode* next, CNode* prev, A&& value) : pNext(next), pPrev(prev), data(std::forward<A>(value)) {}
  };

 public:
  explicit CList(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
  ~CList() override { RemoveAll(); }
  CList(const CList&) = delete;
  CList& operator=(const CList&) = delete;

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  TYPE& GetHead() { return Node(m_pHead)->data; }
  const TYPE& GetHead() const { return Node(m_pHead)->data; }
  TYPE& GetTail() { return Node(m_pTail)->data; }
  const TYPE& GetTail() const { return Node(m_pTail)->data; }

  TYPE RemoveHead() {
    CNode* p = Node(m_pHead);
    TYPE ret(std::move(p->data));
    Unlink(p);
    return ret;
  }
  TYPE RemoveTail() {
    CNode* p = Node(m_pTail);
    TYPE ret(std::move(p->data));
    Unlink(p);
    return ret;
  }

  POSITION AddHead(ARG_TYPE newElement) { return InsertNode(m_pHead, nullptr, newElement); }
  POSITION AddTail(ARG_TYPE newElement) { return InsertNode(nullptr, m_pTail, newElement); }
  void AddHead(CList* pNewList) {
    for (POSITION pos = pNewList->GetTailPosition(); pos;) AddHead(pNewList->GetPrev(pos));
  }
  void AddTail(CList* pNewList) {
    for (POSITION pos = pNewList->GetHeadPosition(); pos;) AddTail(pNewList->GetNext(pos));
  }
  void RemoveAll() {
    CNode* p = m_pHead;
    while (p) {
      CNode* next = p->pNext;
      delete p;
      p = next;
    }
    m_pHead = m_pTail = nullptr;
    m_nCount = 0;
  }

  POSITION GetHeadPosition() const { return m_pHead; }
  POSITION GetTailPosition() const { return m_pTail; }
  TYPE& GetNext(POSITION& rPosition) {
    CNode* p = Node(rPosition);
    rPosition = p->pNext;
    return p->data;
  }
  const TYPE& GetNext(POSITION& rPosition) const {
    CNode* p = Node(rPosition);
    rPosition = p->pNext;
    return p->data;
  }
  TYPE& GetPrev(POSITION& rPosition) {
    CNode* p = Node(rPosition);
    rPosition = p->pPrev;
    return p->data;
  }
  const TYPE& GetPrev(POSITION& rPosition) const {
    CNode* p = Node(rPosition);
    rPosition = p->pPrev;
    return p->data;
  }
  TYPE& GetAt(POSITION position) { return Node(position)->data; }
  const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
  void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
  void RemoveAt(POSITION position) { Unlink(Node(position)); }

  POSITION InsertBefore(POSITION position, ARG_TYPE newElement) {
    if (position == nullptr) return AddHead(newElement);
    CNode* p = Node(position);
    return InsertNode(p, p->pPrev, newElement);
  }
  POSITION InsertAfter(POSITION position, ARG_TYPE newElement) {
    if (position == nullptr) return AddTail(newElement);
    CNode* p = Node(position);
    return InsertNode(p->pNext, p, newElement);
  }

  POSITION FindIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) return nullptr;
    CNode* p = m_pHead;
    while (nIndex-- > 0) p = p->pNext;
    return p;
  }
  POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const {
    CNode* p = startAfter ? Node(startAfter)->pNext : m_pHead;
    for (; p; p = p->pNext)
      if (p->data == searchValue) return p;
    return nullptr;
  }

 private:
  static CNode* Node(POSITION pos) {
    ASSERT(pos != nullptr);
    if (pos == nullptr) AfxThrowInvalidArgException();
    return static_cast<CNode*>(pos);
  }
  POSITION InsertNode(CNode* next, CNode* prev, ARG_TYPE value) {
    CNode* p = new CNode(next, prev, value);
    if (prev)
      prev->pNext = p;
    else
      m_pHead = p;
    if (next)
      next->pPrev = p;
    else
      m_pTail = p;
    ++m_nCount;
    return p;
  }
  void Unlink(CNode* p) {
    if (p->pPrev)
      p->pPrev->pNext = p->pNext;
    else
      m_pHead = p->pNext;
    if (p->pNext)
      p->pNext->pPrev = p->pPrev;
    else
      m_pTail = p->pPrev;
    --m_nCount;
    delete p;
  }

  CNode* m_pHead = nullptr;
  CNode* m_pTail = nullptr;
  INT_PTR m_nCount = 0;
};

typedef CList<void*, void*> CPtrList;
typedef CList<CObject*, CObject*> CObList;
typedef CList<CString, const CString&> CStringList;

template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
 public:
  explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
  TYPE& GetHead() { return (TYPE&)BASE_CLASS::GetHead(); }
  TYPE GetHead() const { return (TYPE)BASE_CLASS::GetHead(); }
  TYPE& GetTail() { return (TYPE&)BASE_CLASS::GetTail(); }
  TYPE GetTail() const { return (TYPE)BASE_CLASS::GetTail(); }
  TYPE RemoveHead() { return (TYPE)BASE_CLASS::RemoveHead(); }
  TYPE RemoveTail() { return (TYPE)BASE_CLASS::RemoveTail(); }
  TYPE& GetNext(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetNext(rPosition); }
  TYPE GetNext(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetNext(rPosition); }
  TYPE& GetPrev(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetPrev(rPosition); }
  TYPE GetPrev(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetPrev(rPosition); }
  TYPE& GetAt(POSITION position) { return (TYPE&)BASE_CLASS::GetAt(position); }
  TYPE GetAt(POSITION position) const { return (TYPE)BASE_CLASS::GetAt(position); }
  void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
  POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
  POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
  POSITION InsertBefore(POSITION position, TYPE newElement) { return BASE_CLASS::InsertBefore(position, newElement); }
  POSITION InsertAfter(POSITION position, TYPE newElement) { return BASE_CLASS::InsertAfter(position, newElement); }
};

// ---------------------------------------------------------------------------------------------
// CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>: a chained hash table. Iteration with GetStartPosition
// and GetNextAssoc visits every pair once, in no particular order.

template <class ARG_KEY>
inline UINT HashKey(const ARG_KEY& key) {
  if constexpr (std::is_pointer_v<std::decay_t<ARG_KEY>>)
    return (UINT)(((UINT_PTR)key) >> 4);
  else if constexpr (std::is_integral_v<std::decay_t<ARG_KEY>> || std::is_enum_v<std::decay_t<ARG_KEY>>)
    return (UINT)(((ULONGLONG)key) >> 4) ^ (UINT)(ULONGLONG)key;
  else
    return (UINT)std::hash<std::decay_t<ARG_KEY>>()(key);
}
inline UINT HashKey(const CString& key) { return (UINT)std::hash<CString>()(key); }
inline UINT HashKey(LPCTSTR key) { return (UINT)std::hash<std::string_view>()(key ? key : ""); }

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
 public:
  class CPair {
   public:
    const KEY key;
    VALUE value;

   protected:
    explicit CPair(ARG_KEY keyval) : key(keyval), value() {}
  };

 private:
  class CAssoc : public CPair, public __AFX_POSITION {
   public:
    CAssoc* pNext = nullptr;
    UINT nHashValue = 0;
    explicit CAssoc(ARG_KEY k) : CPair(k) {}
  };

 public:
  typedef KEY key_type;
  typedef VALUE value_type;

  explicit CMap(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
  ~CMap() override { RemoveAll(); }
  CMap(const CMap&) = delete;
  CMap& operator=(const CMap&) = delete;

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  BOOL Lookup(ARG_KEY key, VALUE& rValue) const {
    CAssoc* p = Find(key);
    if (p == nullptr) return FALSE;
    rValue = p->value;
    return TRUE;
  }
  const CPair* PLookup(ARG_KEY key) const { return Find(key); }
  CPair* PLookup(ARG_KEY key) { return Find(key); }

  VALUE& operator[](ARG_KEY key) {
    CAssoc* p = Find(key);
    if (p) return p->value;
    if (m_buckets.empty())
      InitHashTable(17);
    else if ((size_t)m_nCount >= m_buckets.size() * 2)
      Rehash(m_buckets.size() * 2 + 1);
    UINT h = HashKey(key);
    p = new CAssoc(key);
    p->nHashValue = h;
    size_t b = h % m_buckets.size();
    p->pNext = m_buckets[b];
    m_buckets[b] = p;
    ++m_nCount;
    return p->value;
  }
  void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }

  BOOL RemoveKey(ARG_KEY key) {
    if (m_buckets.empty()) return FALSE;
    UINT h = HashKey(key);
    CAssoc** pp = &m_buckets[h % m_buckets.size()];
    for (CAssoc* p = *pp; p; pp = &p->pNext, p = p->pNext) {
      if (p->nHashValue == h && p->key == key) {
        *pp = p->pNext;
        delete p;
        --m_nCount;
        return TRUE;
      }
    }
    return FALSE;
  }
  void RemoveAll() {
    for (CAssoc*& head : m_buckets) {
      for (CAssoc* p = head; p;) {
        CAssoc* next = p->pNext;
        delete p;
        p = next;
      }
      head = nullptr;
    }
    m_nCount = 0;
  }

  POSITION GetStartPosition() const {
    if (m_nCount == 0) return nullptr;
    for (CAssoc* p : m_buckets)
      if (p) return p;
    return nullptr;
  }
  void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const {
    CAssoc* p = Assoc(rNextPosition);
    rKey = p->key;
    rValue = p->value;
    rNextPosition = Next(p);
  }
  const CPair* PGetFirstAssoc() const { return static_cast<CAssoc*>(GetStartPosition()); }
  const CPair* PGetNextAssoc(const CPair* pAssoc) const {
    return static_cast<CAssoc*>(Next(static_cast<CAssoc*>(const_cast<CPair*>(pAssoc))));
  }

  UINT GetHashTableSize() const { return (UINT)m_buckets.size(); }
  void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE) {
    (void)bAllocNow;
    if (hashSize == 0) hashSize = 17;
    if (m_nCount == 0)
      m_buckets.assign(hashSize, nullptr);
    else
      Rehash(hashSize);
  }

 private:
  CAssoc* Find(ARG_KEY key) const {
    if (m_buckets.empty()) return nullptr;
    UINT h = HashKey(key);
    for (CAssoc* p = m_buckets[h % m_buckets.size()]; p; p = p->pNext)
      if (p->nHashValue == h && p->key == key) return p;
    return nullptr;
  }
  POSITION Next(CAssoc* p) const {
    if (p->pNext) return p->pNext;
    for (size_t b = p->nHashValue % m_buckets.size() + 1; b < m_buckets.size(); ++b)
      if (m_buckets[b]) return m_buckets[b];
    return nullptr;
  }
  static CAssoc* Assoc(POSITION pos) {
    ASSERT(pos != nullptr && pos != BEFORE_START_POSITION);
    if (pos == nullptr || pos == BEFORE_START_POSITION) AfxThrowInvalidArgException();
    return static_cast<CAssoc*>(pos);
  }
  void Rehash(size_t nNewSize) {
    std::vector<CAssoc*> old(nNewSize, nullptr);
    old.swap(m_buckets);
    for (CAssoc* head : old) {
      for (CAssoc* p = head; p;) {
        CAssoc* next = p->pNext;
        size_t b = p->nHashValue % m_buckets.size();
        p->pNext = m_buckets[b];
        m_buckets[b] = p;
        p = next;
      }
    }
  }

  std::vector<CAssoc*> m_buckets;
  INT_PTR m_nCount = 0;
};

typedef CMap<WORD, WORD, void*, void*> CMapWordToPtr;
typedef CMap<WORD, WORD, CObject*, CObject*> CMapWordToOb;
typedef CMap<void*, void*, void*, void*> CMapPtrToPtr;
typedef CMap<void*, void*, WORD, WORD> CMapPtrToWord;
typedef CMap<UINT, UINT, UINT, UINT> CMapUIntToUInt;
typedef CMap<CString, LPCTSTR, void*, void*> CMapStringToPtr;
typedef CMap<CString, LPCTSTR, CObject*, CObject*> CMapStringToOb;
typedef CMap<CString, LPCTSTR, CString, LPCTSTR> CMapStringToString;

template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS {
 public:
  explicit CTypedPtrMap(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
  BOOL Lookup(KEY key, VALUE& rValue) const {
    typename BASE_CLASS::value_type p = nullptr;
    BOOL b = BASE_CLASS::Lookup(key, p);
    rValue = (VALUE)p;
    return b;
  }
  void SetAt(KEY key, VALUE newValue) { BASE_CLASS::SetAt(key, newValue); }
  void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const {
    typename BASE_CLASS::value_type p = nullptr;
    BASE_CLASS::GetNextAssoc(rPosition, rKey, p);
    rValue = (VALUE)p;
  }
};
