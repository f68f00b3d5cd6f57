// A late-bound automation object of the stand-in: members called by name
// through IDispatch, each call written to the stand-in's log with the types
// of its arguments, and failures raised as server exceptions with a text.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <ole2.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// Raised by a member: becomes DISP_E_EXCEPTION with this description.
class TServerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One argument as the member sees it: by-reference strings may be written.
class TArgument {
 public:
  explicit TArgument(VARIANTARG* variant) : variant_(variant) {}
  // "BSTR", "BSTR*", "I4", "BOOL", ...
  std::string TypeName() const;
  std::string Text() const;  // in the ANSI code page
  int32_t Integer() const;
  bool Boolean() const;
  bool IsReference() const { return (variant_->vt & VT_BYREF) != 0; }
  void SetText(const std::string& text);  // only by reference
  // Text() for strings, the number otherwise: how the log shows it.
  std::string Shown() const;

 private:
  VARIANT Converted(VARTYPE type) const;
  VARIANTARG* variant_;
};

class TDispatchObject : public IDispatch {
 public:
  using TMember = std::function<VARIANT(std::vector<TArgument>& arguments)>;

  explicit TDispatchObject(std::string progId);
  virtual ~TDispatchObject();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  static long LiveObjects();

 protected:
  // A method; "SetProperty" with two arguments also serves property puts of
  // the names that the object's properties accept.
  void Member(const std::string& name, size_t argumentCount, TMember member);
  // Whether a property of this name may be set or read as a property.
  virtual bool IsProperty(const std::string& name) const = 0;
  virtual VARIANT GetProperty(const std::string& name) = 0;

 private:
  struct TEntry {
    std::string Name;
    size_t ArgumentCount;
    TMember Call;
  };
  std::string progId_;
  LONG references_ = 1;
  std::vector<TEntry> members_;          // DISPID = index + 1
  std::vector<std::string> properties_;  // DISPID = index + 1001
};

VARIANT BoolResult(bool value);
VARIANT IntegerResult(int32_t value);
VARIANT TextResult(const std::string& text);
VARIANT NoResult();
