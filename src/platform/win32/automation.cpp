#include <windows.h>
// After windows.h, which it needs.
#include <ole2.h>

#include "platform/error_text.h"
#include "platform/native.h"

namespace platform {
namespace {

std::string SystemText(HRESULT error) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length && buffer ? TrimErrorText(std::string(buffer, length)) : std::string();
  if (buffer) LocalFree(buffer);
  // Some systems have no text for COM's own codes; these are the ones an
  // administrator meets when the automation server is missing.
  if (text.empty()) {
    switch (static_cast<uint32_t>(error)) {
      case 0x800401F3:  // CO_E_CLASSSTRING
        return "Invalid class string";
      case 0x80040154:  // REGDB_E_CLASSNOTREG
        return "Class not registered";
      case 0x80040111:  // CLASS_E_CLASSNOTAVAILABLE
        return "ClassFactory cannot supply requested class";
      case 0x80020006:  // DISP_E_UNKNOWNNAME
        return "Unknown name";
      case 0x8002000E:  // DISP_E_BADPARAMCOUNT
        return "Invalid number of parameters";
      case 0x80020005:  // DISP_E_TYPEMISMATCH
        return "Type mismatch";
    }
  }
  if (text.empty()) {
    char code[32];
    wsprintfA(code, "OLE error %08X", static_cast<unsigned>(error));
    text = code;
  }
  return text;
}

std::string FromBstr(BSTR text) {
  const int characters = text ? static_cast<int>(SysStringLen(text)) : 0;
  if (characters == 0) return std::string();
  const int length = WideCharToMultiByte(CP_ACP, 0, text, characters, nullptr, 0, "?", nullptr);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, characters, result.data(), length, "?", nullptr);
  return result;
}

BSTR ToBstr(const std::u16string& text) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                           static_cast<UINT>(text.size()));
}

IDispatch* AsDispatch(AutomationObject object) {
  return reinterpret_cast<IDispatch*>(object);
}

AutomationValue FromVariant(VARIANT& value) {
  AutomationValue result;
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return result;
    case VT_BOOL:
      result.Kind = AutomationKind::Boolean;
      result.Boolean = value.boolVal != VARIANT_FALSE;
      return result;
    case VT_BSTR:
      result.Kind = AutomationKind::String;
      if (value.bstrVal)
        result.Text.assign(reinterpret_cast<const char16_t*>(value.bstrVal),
                           SysStringLen(value.bstrVal));
      return result;
    default: {
      VARIANT number;
      VariantInit(&number);
      if (SUCCEEDED(VariantChangeType(&number, &value, 0, VT_I4))) {
        result.Kind = AutomationKind::Integer;
        result.Integer = number.lVal;
      }
      VariantClear(&number);
      return result;
    }
  }
}

class WindowsAutomation final : public Automation {
 public:
  int32_t Initialize() override { return CoInitialize(nullptr); }

  AutomationCreation Create(const std::string& progId) override {
    AutomationCreation creation;
    const int length = MultiByteToWideChar(CP_ACP, 0, progId.c_str(), -1, nullptr, 0);
    std::wstring name(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, progId.c_str(), -1, name.data(), length);
    CLSID clsid;
    HRESULT result = CLSIDFromProgID(name.c_str(), &clsid);
    if (SUCCEEDED(result)) {
      IDispatch* dispatch = nullptr;
      result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, reinterpret_cast<void**>(&dispatch));
      if (SUCCEEDED(result)) creation.Object = reinterpret_cast<AutomationObject>(dispatch);
    }
    creation.Error = result;
    if (FAILED(result)) creation.Message = SystemText(result);
    return creation;
  }

  AutomationCall Invoke(AutomationObject object, const std::string& member, InvokeKind kind,
                        std::vector<AutomationValue>& arguments) override {
    AutomationCall call;
    IDispatch* dispatch = AsDispatch(object);
    if (!dispatch) {
      call.Error = E_POINTER;
      call.Message = SystemText(E_POINTER);
      return call;
    }
    const int length = MultiByteToWideChar(CP_ACP, 0, member.c_str(), -1, nullptr, 0);
    std::wstring name(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, member.c_str(), -1, name.data(), length);
    LPOLESTR names[1] = {name.data()};
    DISPID id = 0;
    HRESULT result = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) {
      call.Error = result;
      call.Message = SystemText(result) + " (" + member + ")";
      return call;
    }

    // IDispatch takes the arguments last to first.
    const size_t count = arguments.size();
    std::vector<VARIANTARG> passed(count);
    std::vector<BSTR> references(count, nullptr);
    for (size_t i = 0; i < count; ++i) {
      const AutomationValue& argument = arguments[i];
      VARIANTARG& variant = passed[count - 1 - i];
      VariantInit(&variant);
      switch (argument.Kind) {
        case AutomationKind::Empty:
          break;
        case AutomationKind::String:
        case AutomationKind::WideString:
          variant.vt = VT_BSTR;
          variant.bstrVal = ToBstr(argument.Text);
          break;
        case AutomationKind::StringRef:
          references[i] = ToBstr(argument.Text);
          variant.vt = VT_BSTR | VT_BYREF;
          variant.pbstrVal = &references[i];
          break;
        case AutomationKind::Integer:
          variant.vt = VT_I4;
          variant.lVal = argument.Integer;
          break;
        case AutomationKind::Boolean:
          variant.vt = VT_BOOL;
          variant.boolVal = argument.Boolean ? VARIANT_TRUE : VARIANT_FALSE;
          break;
      }
    }
    DISPPARAMS parameters{passed.data(), nullptr, static_cast<UINT>(count), 0};
    DISPID namedPut = DISPID_PROPERTYPUT;
    WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    if (kind == InvokeKind::PropertyGet) flags = DISPATCH_PROPERTYGET;
    if (kind == InvokeKind::PropertyPut) {
      flags = DISPATCH_PROPERTYPUT;
      parameters.rgdispidNamedArgs = &namedPut;
      parameters.cNamedArgs = 1;
    }
    VARIANT value;
    VariantInit(&value);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    result = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                              kind == InvokeKind::PropertyPut ? nullptr : &value, &exception,
                              &argumentError);
    call.Error = result;
    if (result == DISP_E_EXCEPTION) {
      if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
      call.Message = FromBstr(exception.bstrDescription);
      if (exception.scode) call.Error = exception.scode;
      if (call.Message.empty()) call.Message = SystemText(call.Error);
    } else if (FAILED(result)) {
      call.Message = SystemText(result) + " (" + member + ")";
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);

    for (size_t i = 0; i < count; ++i) {
      if (arguments[i].Kind == AutomationKind::StringRef) {
        BSTR left = references[i];
        arguments[i].Text.assign(left ? reinterpret_cast<const char16_t*>(left) : u"",
                                 left ? SysStringLen(left) : 0);
        SysFreeString(left);
      } else {
        VariantClear(&passed[count - 1 - i]);
      }
    }
    if (SUCCEEDED(result)) call.Result = FromVariant(value);
    VariantClear(&value);
    return call;
  }

  void Release(AutomationObject object) override {
    if (IDispatch* dispatch = AsDispatch(object)) dispatch->Release();
  }
};

}  // namespace

Automation& NativeAutomation() {
  static WindowsAutomation automation;
  return automation;
}

}  // namespace platform
