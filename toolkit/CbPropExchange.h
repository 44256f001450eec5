// Typed, named-value exchange: the bars, controls and options save and load themselves in one
// routine for both directions. Each value has a name and a default; a schema number lets newer
// values be skipped when older data is read. Over a binary archive the names are not written
// and the values follow each other in call order.
#pragma once

#include "platform/core/AfxArchive.h"
#include "platform/ui/AfxWin.h"

#include <map>
#include <memory>
#include <vector>

class CCbCommandBars;
class CCbPropExchangeEnumerator;

// The schema of data written now.
constexpr int kCbPropSchema = 8;
// The largest blob read back: pictures of icons are far smaller.
constexpr DWORD kCbPropMaxBlob = 16u << 20;

// Value types (the VARIANT codes), plus the toolkit's rectangle and size.
enum CbPropType {
  cbPropShort = 2,
  cbPropLong = 3,
  cbPropFloat = 4,
  cbPropDouble = 5,
  cbPropCurrency = 6,
  cbPropString = 8,
  cbPropBool = 11,
  cbPropByte = 17,
  cbPropLPStr = 30,
  cbPropRect = 100,
  cbPropSize = 101,
};

class CCbPropExchange : public CCmdTarget {
  DECLARE_DYNAMIC(CCbPropExchange)
 public:
  CCbPropExchange() = default;
  // Releases nothing: an archive stays its caller's.
  ~CCbPropExchange() override = default;

  BOOL IsLoading() const { return m_bLoading; }
  int GetSchema() const { return m_nSchema; }
  void SetSchema(int nSchema) { m_nSchema = nSchema; }
  CCbCommandBars* m_pCommandBars = nullptr;

  // pValue and pDefault point at the type's own value: short, long, float, double, LONGLONG
  // (currency), CString, BOOL, BYTE, CRect, CSize. FALSE when the value could not be had.
  virtual BOOL ExchangeValue(LPCTSTR pszName, int nType, void* pValue, const void* pDefault) = 0;
  virtual BOOL ExchangeBytes(LPCTSTR pszName, std::vector<BYTE>& data, DWORD nMaxLength = kCbPropMaxBlob);
  virtual BOOL ExchangeClass(LPCTSTR pszName, CRuntimeClass*& pClass, CRuntimeClass* pDefault) = 0;
  // Loading makes the object, which must be of the expected class.
  virtual BOOL ExchangeObject(CObject*& pObject, CRuntimeClass* pExpected) = 0;
  // A binary archive for a value that serialises itself; nullptr when there is none.
  virtual CArchive* OpenValueArchive(LPCTSTR pszName) = 0;
  virtual void CloseValueArchive(LPCTSTR pszName, CArchive* pArchive) = 0;
  // A child exchange for a named sub-section; the caller owns it.
  virtual CCbPropExchange* OpenSection(LPCTSTR pszName) = 0;
  void SetDefaultsHandled(BOOL bHandled = TRUE) { m_bDefaultsHandled = bHandled; }
  virtual void WriteCount(DWORD nCount) = 0;
  // nMinItemBytes: the least each counted item takes in the data, so a count the data can't
  // hold is refused before anything is made for it.
  virtual DWORD ReadCount(DWORD nMinItemBytes = 1) = 0;
  virtual BOOL WriteBytes(LPCTSTR pszName, const BYTE* pData, DWORD nLength) = 0;
  virtual BOOL ReadBytes(LPCTSTR pszName, std::vector<BYTE>& data, DWORD nMaxLength) = 0;
  virtual BOOL AllowsOmittedDefaults() const { return TRUE; }
  virtual BOOL AllowsBinaryValues() const { return FALSE; }
  virtual BOOL BeginExchange() {
    m_bExchangeStarted = TRUE;
    return TRUE;
  }
  // Sections named pszName0, pszName1 and so on; the caller owns the enumerator.
  virtual CCbPropExchangeEnumerator* EnumerateSections(LPCTSTR pszName);

  // The named stores' blob form: two letters a byte, the low half-byte first ('A' + value).
  static CString EncodeBlob(const BYTE* pData, DWORD nLength);
  // FALSE for an odd length, a letter out of range or more than nMaxLength bytes.
  static BOOL DecodeBlob(const CString& strText, std::vector<BYTE>& data, DWORD nMaxLength);

 protected:
  // A section takes its parent's command bars, schema and settings.
  void InitSection(const CCbPropExchange* pParent);

  BOOL m_bLoading = FALSE;
  int m_nSchema = kCbPropSchema;
  BOOL m_bChildSection = FALSE;
  BOOL m_bDefaultsHandled = FALSE;
  BOOL m_bExchangeStarted = FALSE;
};

// Over the framework's archive, which stays the caller's.
class CCbPropExchangeArchive : public CCbPropExchange {
  DECLARE_DYNAMIC(CCbPropExchangeArchive)
 public:
  explicit CCbPropExchangeArchive(CArchive& ar);

  BOOL ExchangeValue(LPCTSTR pszName, int nType, void* pValue, const void* pDefault) override;
  BOOL ExchangeClass(LPCTSTR pszName, CRuntimeClass*& pClass, CRuntimeClass* pDefault) override;
  BOOL ExchangeObject(CObject*& pObject, CRuntimeClass* pExpected) override;
  CArchive* OpenValueArchive(LPCTSTR) override { return &m_ar; }
  void CloseValueArchive(LPCTSTR, CArchive*) override {}
  CCbPropExchange* OpenSection(LPCTSTR pszName) override;
  void WriteCount(DWORD nCount) override;
  DWORD ReadCount(DWORD nMinItemBytes = 1) override;
  BOOL WriteBytes(LPCTSTR pszName, const BYTE* pData, DWORD nLength) override;
  BOOL ReadBytes(LPCTSTR pszName, std::vector<BYTE>& data, DWORD nMaxLength) override;
  BOOL AllowsOmittedDefaults() const override { return FALSE; }
  BOOL AllowsBinaryValues() const override { return TRUE; }

 private:
  CArchive& m_ar;
};

// Walks numbered sub-sections: Start exchanges their count, Next gives each in turn.
class CCbPropExchangeEnumerator {
 public:
  CCbPropExchangeEnumerator(CCbPropExchange* pContainer, LPCTSTR pszSection);
  virtual ~CCbPropExchangeEnumerator() = default;
  // Writes the count, or reads it (nCount is then ignored); returns it.
  virtual DWORD Start(DWORD nCount, DWORD nMinItemBytes = 1);
  // The next section (the caller's), nullptr after the last.
  virtual CCbPropExchange* Next();

 protected:
  CCbPropExchange* m_pContainer;
  CString m_strSection;
  DWORD m_nCount = 0;
  DWORD m_nIndex = 0;
};

// The typed shorthands.
BOOL PX_Int(CCbPropExchange* pPX, LPCTSTR pszName, int& nValue, int nDefault);
BOOL PX_UInt(CCbPropExchange* pPX, LPCTSTR pszName, UINT& nValue, UINT nDefault);
BOOL PX_DWord(CCbPropExchange* pPX, LPCTSTR pszName, DWORD& nValue, DWORD nDefault);
BOOL PX_Bool(CCbPropExchange* pPX, LPCTSTR pszName, BOOL& bValue, BOOL bDefault);
BOOL PX_String(CCbPropExchange* pPX, LPCTSTR pszName, CString& strValue, LPCTSTR pszDefault = "");
BOOL PX_Size(CCbPropExchange* pPX, LPCTSTR pszName, CSize& szValue, CSize szDefault);
BOOL PX_Rect(CCbPropExchange* pPX, LPCTSTR pszName, CRect& rcValue, CRect rcDefault);
// A set of command ids: through an archive the map's own form (count, then id and value).
BOOL PX_CommandIds(CCbPropExchange* pPX, LPCTSTR pszName, std::map<UINT, BOOL>& map);
