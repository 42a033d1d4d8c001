// The real system, for tests that change or watch one or two of its
// services: every call goes to it unless a test's class overrides it.
#pragma once

#include "platform/system_services.h"

namespace tarnwick::testing {

class ForwardingSystem : public SystemServices {
 public:
  explicit ForwardingSystem(SystemServices& real) : real_(real) {}

  Text FirstEntry(const Text& pattern, std::int32_t attributes) override {
    return real_.FirstEntry(pattern, attributes);
  }
  Text NextEntry() override { return real_.NextEntry(); }
  void EndEnumeration() noexcept override { real_.EndEnumeration(); }
  std::uint32_t GetShortPathNameA(const std::string& path, std::span<char> buffer) override {
    return real_.GetShortPathNameA(path, buffer);
  }
  std::uint32_t GetShortPathNameW(const Text& path, std::span<char16_t> buffer) override {
    return real_.GetShortPathNameW(path, buffer);
  }
  std::optional<std::string> ToSystemCodePage(TextView text) const override {
    return real_.ToSystemCodePage(text);
  }
  Text FromSystemCodePage(std::string_view bytes) const override {
    return real_.FromSystemCodePage(bytes);
  }
  bool ToSystemCodePageInto(TextView text, std::string& bytes) const override {
    return real_.ToSystemCodePageInto(text, bytes);
  }
  void FromSystemCodePageInto(std::string_view bytes, Text& text) const override {
    real_.FromSystemCodePageInto(bytes, text);
  }
  char16_t Separator() const override { return real_.Separator(); }
  TextView LineBreak() const override { return real_.LineBreak(); }
  Text ToLowerCase(Text text) const override { return real_.ToLowerCase(std::move(text)); }
  std::vector<Text> Subfolders(const Text& folder) override { return real_.Subfolders(folder); }
  std::vector<Drive> Drives() override { return real_.Drives(); }
  Text CurrentFolder() override { return real_.CurrentFolder(); }
  Text HomeFolder() override { return real_.HomeFolder(); }
  PathKind KindOfPath(const Text& path) override { return real_.KindOfPath(path); }
  ShortNameOrigin ShortNameOriginOf(const Text& folder_path, TextView long_name,
                                    TextView short_name) override {
    return real_.ShortNameOriginOf(folder_path, long_name, short_name);
  }

 private:
  SystemServices& real_;
};

}  // namespace tarnwick::testing
