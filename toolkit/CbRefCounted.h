// Reference counting of toolkit objects: every holder takes a reference and releases it; the
// last release deletes the object. Made with one reference, the creator's.
#pragma once

#include "platform/ui/AfxWin.h"

class CCbRefCounted {
 public:
  DWORD InternalAddRef() { return ++m_dwRef; }
  DWORD InternalRelease() {
    if (m_dwRef == 0) return 0;
    if (--m_dwRef == 0) {
      OnFinalRelease();
      return 0;
    }
    return m_dwRef;
  }

 protected:
  CCbRefCounted() = default;
  virtual ~CCbRefCounted() = default;
  virtual void OnFinalRelease() { delete this; }
  CCbRefCounted(const CCbRefCounted&) = delete;
  CCbRefCounted& operator=(const CCbRefCounted&) = delete;

 private:
  DWORD m_dwRef = 1;
};

// Holds one reference for a scope, so an object outlives a call that may release it.
template <class T>
class CCbRefHolder {
 public:
  explicit CCbRefHolder(T* p) : m_p(p) {
    if (m_p) m_p->InternalAddRef();
  }
  ~CCbRefHolder() {
    if (m_p) m_p->InternalRelease();
  }
  CCbRefHolder(const CCbRefHolder&) = delete;
  CCbRefHolder& operator=(const CCbRefHolder&) = delete;

 private:
  T* m_p;
};
