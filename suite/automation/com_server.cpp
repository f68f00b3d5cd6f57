#include "com_server.h"

#include <string>

#include "suite_files.h"

namespace {

LONG serverLocks = 0;
constexpr HRESULT kSelfRegClassError = static_cast<HRESULT>(0x80040201);  // SELFREG_E_CLASS

class TClassFactory final : public IClassFactory {
 public:
  explicit TClassFactory(const TServedClass& served) : served_(served) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    TDispatchObject* created = nullptr;
    try {
      created = served_.Create();
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    WriteStandInLog("Create " + std::string(served_.ProgId));
    const HRESULT result = created->QueryInterface(riid, object);
    created->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock)
      InterlockedIncrement(&serverLocks);
    else
      InterlockedDecrement(&serverLocks);
    return S_OK;
  }

 private:
  const TServedClass& served_;
  LONG references_ = 1;
};

std::string GuidText(const CLSID& clsid) {
  wchar_t wide[64] = {};
  StringFromGUID2(clsid, wide, 64);
  std::string text;
  for (const wchar_t* c = wide; *c; ++c)
    text += static_cast<char>(*c);
  return text;
}

bool SetKey(const std::string& key, const char* name, const std::string& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result =
      RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
  return result == ERROR_SUCCESS;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    SetStandInModule(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (size_t i = 0; i < kServedClassCount; ++i)
    if (IsEqualCLSID(clsid, kServedClasses[i].Clsid)) {
      auto* factory = new TClassFactory(kServedClasses[i]);
      const HRESULT result = factory->QueryInterface(riid, object);
      factory->Release();
      return result;
    }
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return TDispatchObject::LiveObjects() == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  const std::string path = StandInModulePath();
  bool ok = true;
  for (size_t i = 0; i < kServedClassCount; ++i) {
    const TServedClass& served = kServedClasses[i];
    const std::string clsid = GuidText(served.Clsid);
    const std::string key = "CLSID\\" + clsid;
    ok = SetKey(key, nullptr, served.ProgId) && ok;
    ok = SetKey(key + "\\InprocServer32", nullptr, path) && ok;
    ok = SetKey(key + "\\InprocServer32", "ThreadingModel", "Apartment") && ok;
    ok = SetKey(key + "\\ProgID", nullptr, served.ProgId) && ok;
    ok = SetKey(served.ProgId, nullptr, served.ProgId) && ok;
    ok = SetKey(std::string(served.ProgId) + "\\CLSID", nullptr, clsid) && ok;
  }
  WriteStandInLog(std::string("DllRegisterServer ") + (ok ? "ok" : "failed"));
  return ok ? S_OK : kSelfRegClassError;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  for (size_t i = 0; i < kServedClassCount; ++i) {
    const TServedClass& served = kServedClasses[i];
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ("CLSID\\" + GuidText(served.Clsid)).c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, served.ProgId);
  }
  WriteStandInLog("DllUnregisterServer");
  return S_OK;
}
