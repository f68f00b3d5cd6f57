#include "dispatch_object.h"

#include "suite_files.h"

namespace {

LONG liveObjects = 0;
constexpr DISPID kFirstProperty = 1001;

std::string Narrow(const wchar_t* text, size_t length) {
  if (!length) return std::string();
  const int size =
      WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, "?", nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), result.data(), size, "?", nullptr);
  return result;
}

BSTR Wide(const std::string& text) {
  const int size =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(size));
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result, size);
  return result;
}

bool SameName(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
         CSTR_EQUAL;
}

}  // namespace

std::string TArgument::TypeName() const {
  std::string name;
  switch (variant_->vt & VT_TYPEMASK) {
    case VT_BSTR:
      name = "BSTR";
      break;
    case VT_I4:
      name = "I4";
      break;
    case VT_I2:
      name = "I2";
      break;
    case VT_BOOL:
      name = "BOOL";
      break;
    case VT_EMPTY:
      name = "EMPTY";
      break;
    default:
      name = "VT" + std::to_string(variant_->vt & VT_TYPEMASK);
  }
  return IsReference() ? name + "*" : name;
}

VARIANT TArgument::Converted(VARTYPE type) const {
  VARIANT plain;
  VARIANT converted;
  VariantInit(&plain);
  VariantInit(&converted);
  HRESULT copied = VariantCopyInd(&plain, variant_);
  HRESULT changed = SUCCEEDED(copied) ? VariantChangeType(&converted, &plain, 0, type) : copied;
  VariantClear(&plain);
  if (FAILED(changed))
    throw TServerError("Type mismatch: " + TypeName() + " where " +
                       (type == VT_BSTR ? "a string"
                        : type == VT_I4 ? "an integer"
                                        : "a boolean") +
                       " was expected");
  return converted;
}

std::string TArgument::Text() const {
  VARIANT converted = Converted(VT_BSTR);
  std::string text = Narrow(converted.bstrVal, SysStringLen(converted.bstrVal));
  VariantClear(&converted);
  return text;
}

int32_t TArgument::Integer() const {
  VARIANT converted = Converted(VT_I4);
  return converted.lVal;
}

bool TArgument::Boolean() const {
  VARIANT converted = Converted(VT_BOOL);
  return converted.boolVal != VARIANT_FALSE;
}

void TArgument::SetText(const std::string& text) {
  if (variant_->vt != (VT_BSTR | VT_BYREF) || !variant_->pbstrVal) return;
  SysFreeString(*variant_->pbstrVal);
  *variant_->pbstrVal = Wide(text);
}

std::string TArgument::Shown() const {
  switch (variant_->vt & VT_TYPEMASK) {
    case VT_BSTR:
      return "\"" + Text() + "\"";
    case VT_BOOL:
      return Boolean() ? "true" : "false";
    case VT_EMPTY:
      return "";
    default:
      return std::to_string(Integer());
  }
}

TDispatchObject::TDispatchObject(std::string progId) : progId_(std::move(progId)) {
  InterlockedIncrement(&liveObjects);
}

TDispatchObject::~TDispatchObject() {
  InterlockedDecrement(&liveObjects);
}

long TDispatchObject::LiveObjects() {
  return liveObjects;
}

HRESULT TDispatchObject::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG TDispatchObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG TDispatchObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT TDispatchObject::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

HRESULT TDispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo**) {
  return E_NOTIMPL;
}

HRESULT TDispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  const std::string name = Narrow(names[0], wcslen(names[0]));
  for (UINT i = 1; i < count; ++i)
    ids[i] = DISPID_UNKNOWN;
  for (size_t i = 0; i < members_.size(); ++i)
    if (SameName(members_[i].Name, name)) {
      ids[0] = static_cast<DISPID>(i + 1);
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  if (IsProperty(name)) {
    for (size_t i = 0; i < properties_.size(); ++i)
      if (SameName(properties_[i], name)) {
        ids[0] = static_cast<DISPID>(kFirstProperty + i);
        return S_OK;
      }
    properties_.push_back(name);
    ids[0] = static_cast<DISPID>(kFirstProperty + properties_.size() - 1);
    return S_OK;
  }
  ids[0] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT TDispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!parameters) return E_INVALIDARG;
  // The arguments arrive last to first.
  std::vector<TArgument> arguments;
  for (UINT i = parameters->cArgs; i > 0; --i)
    arguments.emplace_back(&parameters->rgvarg[i - 1]);

  std::string name;
  TMember call;
  size_t expected = 0;
  if (id >= 1 && static_cast<size_t>(id) <= members_.size()) {
    const TEntry& entry = members_[static_cast<size_t>(id - 1)];
    if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    name = entry.Name;
    call = entry.Call;
    expected = entry.ArgumentCount;
  } else if (id >= kFirstProperty &&
             static_cast<size_t>(id - kFirstProperty) < properties_.size()) {
    name = properties_[static_cast<size_t>(id - kFirstProperty)];
    if (flags & DISPATCH_PROPERTYPUT) {
      // A property put is a SetProperty of that name.
      if (parameters->cNamedArgs != 1 || parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTOPTIONAL;
      expected = 1;
      for (const TEntry& entry : members_)
        if (entry.Name == "SetProperty") {
          TMember setProperty = entry.Call;
          const std::string property = name;
          call = [setProperty, property](std::vector<TArgument>& given) {
            VARIANT propertyName;
            VariantInit(&propertyName);
            propertyName.vt = VT_BSTR;
            propertyName.bstrVal = Wide(property);
            std::vector<TArgument> both{TArgument(&propertyName), given[0]};
            VARIANT value = setProperty(both);
            VariantClear(&propertyName);
            return value;
          };
        }
    } else if (flags & DISPATCH_PROPERTYGET) {
      call = [this, name](std::vector<TArgument>&) { return GetProperty(name); };
    }
    if (!call) return DISP_E_MEMBERNOTFOUND;
  } else {
    return DISP_E_MEMBERNOTFOUND;
  }

  std::string line = progId_ + "." + name + (flags & DISPATCH_PROPERTYPUT ? "=(" : "(");
  for (size_t i = 0; i < arguments.size(); ++i)
    line += (i ? ", " : "") + arguments[i].TypeName() + " " + arguments[i].Shown();
  line += ")";
  if (arguments.size() != expected) {
    WriteStandInLog(line + " -> wrong number of arguments");
    return DISP_E_BADPARAMCOUNT;
  }
  try {
    VARIANT value = call(arguments);
    std::string shown;
    if (value.vt != VT_EMPTY) {
      TArgument answer(&value);
      shown = " -> " + answer.TypeName() + " " + answer.Shown();
    }
    WriteStandInLog(line + shown);
    if (result)
      *result = value;
    else
      VariantClear(&value);
    return S_OK;
  } catch (const std::exception& error) {
    WriteStandInLog(line + " -> exception: " + error.what());
    if (argumentError) *argumentError = 0;
    if (exception) {
      *exception = EXCEPINFO{};
      exception->bstrSource = Wide(progId_);
      exception->bstrDescription = Wide(error.what());
      exception->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
  }
}

void TDispatchObject::Member(const std::string& name, size_t argumentCount, TMember member) {
  members_.push_back({name, argumentCount, std::move(member)});
}

VARIANT BoolResult(bool value) {
  VARIANT result;
  VariantInit(&result);
  result.vt = VT_BOOL;
  result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

VARIANT IntegerResult(int32_t value) {
  VARIANT result;
  VariantInit(&result);
  result.vt = VT_I4;
  result.lVal = value;
  return result;
}

VARIANT TextResult(const std::string& text) {
  VARIANT result;
  VariantInit(&result);
  result.vt = VT_BSTR;
  result.bstrVal = Wide(text);
  return result;
}

VARIANT NoResult() {
  VARIANT result;
  VariantInit(&result);
  return result;
}
