// CObject, run-time class information, schemas and dynamic creation.
//
//   class CFoo : public CObject { DECLARE_SERIAL(CFoo) public: CFoo(); void Serialize(CArchive&) override; };
//   IMPLEMENT_SERIAL(CFoo, CObject, 1)          // in one .cpp
//
//   RUNTIME_CLASS(CFoo)->CreateObject(), CRuntimeClass::CreateObject("CFoo"), p->IsKindOf(RUNTIME_CLASS(CFoo))
#pragma once

#include "platform/core/AfxTypes.h"

class CObject;
class CArchive;

// Schema value of classes that are not serialisable.
#define AFX_NO_SCHEMA 0xFFFF
// Added to a schema number: objects of older schemas are read too; the class asks
// CArchive::GetObjectSchema for the schema of the data being read.
#define VERSIONABLE_SCHEMA (0x80000000)

struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;                   // AFX_NO_SCHEMA unless serialisable
  CObject* (*m_pfnCreateObject)();  // null unless dynamically creatable
  CRuntimeClass* m_pBaseClass;
  CRuntimeClass* m_pNextClass;  // registration chain, set at start-up

  CObject* CreateObject() const;  // null when not creatable
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  // Classes register themselves at static construction (IMPLEMENT_* macros).
  static CRuntimeClass* FromName(LPCSTR lpszClassName);
  static CObject* CreateObject(LPCSTR lpszClassName);

  // Archive form of a class reference: WORD schema, WORD name length, name bytes.
  void Store(CArchive& ar) const;
  static CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);  // null for an unknown class
};

struct AFX_CLASSINIT {
  explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

class CObject {
 public:
  virtual CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;

  BOOL IsKindOf(const CRuntimeClass* pClass) const;
  BOOL IsSerializable() const;

  // Stores nothing by default.
  virtual void Serialize(CArchive& ar);
  virtual void AssertValid() const {}

  static CRuntimeClass classCObject;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)       \
 public:                                  \
  static CRuntimeClass class##class_name; \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) \
  DECLARE_DYNCREATE(class_name)    \
  friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                                   \
  CRuntimeClass class_name::class##class_name = {#class_name, (int)sizeof(class_name),        (UINT)(wSchema), \
                                                 pfnNew,      RUNTIME_CLASS(base_class_name), nullptr};        \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }                     \
  static const AFX_CLASSINIT afx_classinit_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, AFX_NO_SCHEMA, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)         \
  CObject* class_name::CreateObject() { return new class_name; } \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, AFX_NO_SCHEMA, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                           \
  CObject* class_name::CreateObject() { return new class_name; }                         \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
  CArchive& operator>>(CArchive& ar, class_name*& pOb) {                                 \
    pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));            \
    return ar;                                                                           \
  }

#define DYNAMIC_DOWNCAST(class_name, object) \
  (((object) != nullptr && (object)->IsKindOf(RUNTIME_CLASS(class_name))) ? static_cast<class_name*>(object) : nullptr)
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))
