// The framework archive as the program's own files use it: strings, counts, numbers and
// objects of the model's serialisable classes (made by class name), read from the input in an
// order taken from the input's last bytes.
#include <set>
#include <vector>

#include "model/AngleFactorDB.h"
#include "model/DiamondDB.h"
#include "model/PortDB.h"
#include "model/QsDateTime.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CMemFile file(static_cast<const BYTE*>(data), static_cast<UINT>(size));
  neapwise_fuzz::Derived d(data, size);
  std::vector<CObject*> objects;  // the same object may come back by reference
  {
    CArchive ar(&file, CArchive::load, d.range(0, 3) == 0 ? 128 : 4096);
    try {
      for (int step = 0; step < 24; ++step) {
        switch (d.range(0, 11)) {
          case 0: {
            CString s;
            ar >> s;
            s.GetLength();
            break;
          }
          case 1: ar.ReadCount(); break;
          case 2:
          case 3: objects.push_back(ar.ReadObject(nullptr)); break;
          case 4: objects.push_back(ar.ReadObject(RUNTIME_CLASS(CAngleFactorData))); break;
          case 5: objects.push_back(ar.ReadObject(RUNTIME_CLASS(CDiamondData))); break;
          case 6: {
            int i;
            double x;
            WORD w;
            BYTE b;
            ar >> i >> x >> w >> b;
            break;
          }
          case 7: {
            BYTE buf[300];
            ar.Read(buf, static_cast<UINT>(d.range(0, 300)));
            break;
          }
          case 8: {
            UINT schema = 0;
            DWORD tag = 0;
            ar.ReadClass(nullptr, &schema, &tag);
            ar.GetObjectSchema();
            break;
          }
          case 9: {
            CQsDateTime t;
            t.Serialize(ar);
            t.IsValid();
            break;
          }
          case 10: {
            CPortData p;
            p.Serialize(ar);
            break;
          }
          default: ar.ReadStringLength(); break;
        }
      }
      ar.Close();
    } catch (CException* e) {
      e->Delete();
      ar.Abort();
    }
  }
  std::set<CObject*> owned(objects.begin(), objects.end());
  for (CObject* o : owned) delete o;
  return 0;
}
