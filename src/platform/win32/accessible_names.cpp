#include "platform/win32/accessible_names.h"

// clang-format off
#include <windows.h>
#include <objbase.h>  // needs windows.h first
#include <oleacc.h>   // needs windows.h first
// clang-format on

#include <iterator>

namespace tarnwick::win32 {
namespace {

// The identifiers that oleacc's import library would bring, written here so
// that the program takes nothing from it.
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr MSAAPROPID kDescriptionProperty = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};

// The control itself, not one of its parts.
constexpr auto kClientObject = static_cast<DWORD>(OBJID_CLIENT);

class AnnotatedNames final : public AccessibleNames {
 public:
  AnnotatedNames() {
    // S_FALSE (COM was already there on this thread) counts too, once more.
    com_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    void* services = nullptr;
    if (SUCCEEDED(::CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                     kAccPropServicesInterface, &services))) {
      services_ = static_cast<IAccPropServices*>(services);
    }
  }
  ~AnnotatedNames() override {
    if (services_ != nullptr) services_->Release();
    if (com_) ::CoUninitialize();
  }
  AnnotatedNames(const AnnotatedNames&) = delete;
  AnnotatedNames& operator=(const AnnotatedNames&) = delete;

  void SetName(HWND control, const std::wstring& name) override {
    Annotate(control, kNameProperty, name);
  }
  void SetDescription(HWND control, const std::wstring& description) override {
    Annotate(control, kDescriptionProperty, description);
  }
  void Forget(HWND control) override {
    if (services_ == nullptr) return;
    const MSAAPROPID properties[] = {kNameProperty, kDescriptionProperty};
    services_->ClearHwndProps(control, kClientObject, CHILDID_SELF, properties,
                              static_cast<int>(std::size(properties)));
  }

 private:
  // A refusal (Wine answers E_NOTIMPL) leaves the control as it is.
  void Annotate(HWND control, const MSAAPROPID& property, const std::wstring& text) {
    if (services_ != nullptr) {
      services_->SetHwndPropStr(control, kClientObject, CHILDID_SELF, property, text.c_str());
    }
  }

  bool com_ = false;
  IAccPropServices* services_ = nullptr;
};

}  // namespace

std::unique_ptr<AccessibleNames> SystemAccessibleNames() {
  return std::make_unique<AnnotatedNames>();
}

}  // namespace tarnwick::win32
