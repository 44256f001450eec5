#include "platform/core/Afx.h"

#include <gtest/gtest.h>

#include <memory>

// Classes at namespace scope, as the program declares its own.
class CShapeT : public CObject {
  DECLARE_SERIAL(CShapeT)
 public:
  CShapeT() = default;
  int m_sides = 0;
};
IMPLEMENT_SERIAL(CShapeT, CObject, VERSIONABLE_SCHEMA | 2)

class CSquareT : public CShapeT {
  DECLARE_SERIAL(CSquareT)
 public:
  CSquareT() { m_sides = 4; }
};
IMPLEMENT_SERIAL(CSquareT, CShapeT, 1)

class CPlainT : public CObject {
  DECLARE_DYNAMIC(CPlainT)
};
IMPLEMENT_DYNAMIC(CPlainT, CObject)

class CMadeT : public CObject {
  DECLARE_DYNCREATE(CMadeT)
};
IMPLEMENT_DYNCREATE(CMadeT, CObject)

namespace {

TEST(Object, DynamicCreationByClassName) {
  std::unique_ptr<CObject> p(CRuntimeClass::CreateObject("CSquareT"));
  ASSERT_NE(nullptr, p);
  EXPECT_STREQ("CSquareT", p->GetRuntimeClass()->m_lpszClassName);
  EXPECT_EQ(4, static_cast<CSquareT*>(p.get())->m_sides);

  std::unique_ptr<CObject> made(RUNTIME_CLASS(CMadeT)->CreateObject());
  EXPECT_NE(nullptr, made);
  EXPECT_EQ(nullptr, CRuntimeClass::CreateObject("CPlainT"));  // not creatable
  EXPECT_EQ(nullptr, CRuntimeClass::CreateObject("CNoSuchClass"));
  EXPECT_EQ(nullptr, CRuntimeClass::CreateObject(nullptr));
  EXPECT_EQ(RUNTIME_CLASS(CShapeT), CRuntimeClass::FromName("CShapeT"));
}

TEST(Object, KindsAndSchemas) {
  CSquareT square;
  CPlainT plain;
  EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CSquareT)));
  EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CShapeT)));
  EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CShapeT)));
  EXPECT_TRUE(square.IsSerializable());
  EXPECT_FALSE(plain.IsSerializable());
  EXPECT_EQ(1u, RUNTIME_CLASS(CSquareT)->m_wSchema);
  EXPECT_EQ(RUNTIME_CLASS(CShapeT), RUNTIME_CLASS(CSquareT)->m_pBaseClass);

  CObject* p = &square;
  EXPECT_EQ(&square, DYNAMIC_DOWNCAST(CShapeT, p));
  CObject* q = &plain;
  EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CShapeT, q));
}

TEST(Object, VersionableClassReadsAnOlderSchema) {
  // Class record of CShapeT written with schema 1; the class is at 2 and versionable.
  const std::string bytes(
      "\xFF\xFF\x01\x00\x07\x00"
      "CShapeT",
      13);
  CMemFile f(reinterpret_cast<const BYTE*>(bytes.data()), (UINT)bytes.size());
  CArchive ar(&f, CArchive::load);
  CShapeT* p = nullptr;
  ar >> p;
  ASSERT_NE(nullptr, p);
  delete p;
}

TEST(Object, ExceptionsAreCaughtByTheirBase) {
  struct Case {
    void (*raise)();
    const CRuntimeClass* kind;
  };
  const Case cases[] = {
      {[] { AfxThrowFileException(CFileException::diskFull); }, RUNTIME_CLASS(CFileException)},
      {[] { AfxThrowArchiveException(CArchiveException::badSchema); }, RUNTIME_CLASS(CArchiveException)},
      {[] { AfxThrowMemoryException(); }, RUNTIME_CLASS(CMemoryException)},
      {[] { AtlThrow(E_INVALIDARG); }, RUNTIME_CLASS(CInvalidArgException)},
      {[] { AtlThrow(E_FAIL); }, RUNTIME_CLASS(COleException)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind->m_lpszClassName);
    bool caught = false;
    try {
      c.raise();
    } catch (CException* e) {
      caught = true;
      EXPECT_TRUE(e->IsKindOf(c.kind));
      EXPECT_FALSE(e->GetErrorMessage().IsEmpty());
      e->Delete();
    }
    EXPECT_TRUE(caught);
  }
}

TEST(Object, FailureCodeTravelsWithTheException) {
  try {
    AtlThrow(E_FAIL);
  } catch (COleException* e) {
    EXPECT_EQ(E_FAIL, e->m_sc);
    e->Delete();
  }
}

TEST(Object, DeleteOnAStackExceptionIsHarmless) {
  CFileException onStack(CFileException::fileNotFound);
  onStack.Delete();  // must not free stack memory
  EXPECT_EQ(CFileException::fileNotFound, onStack.m_cause);

  CFileException* onHeap = new CFileException(CFileException::diskFull);
  *onHeap = onStack;  // assignment keeps it a heap object
  EXPECT_EQ(CFileException::fileNotFound, onHeap->m_cause);
  onHeap->Delete();
}

}  // namespace
