// A handle that frees itself when it goes, as a unique_ptr does with memory:
// a folder being read, a file descriptor, a font, a search of a folder.
// `Traits` says what the handle is, which value means none, and how one is
// freed:
//   struct Traits {
//     using Handle = ...;
//     static Handle None();
//     static void Free(Handle handle);
//   };
#pragma once

#include <utility>

namespace tarnwick {

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::None(); }

  // Frees the handle held, if any, and holds `handle` instead.
  void reset(Handle handle = Traits::None()) noexcept {
    if (*this) Traits::Free(handle_);
    handle_ = handle;
  }

  // Gives the handle up without freeing it.
  Handle release() noexcept { return std::exchange(handle_, Traits::None()); }

 private:
  Handle handle_ = Traits::None();
};

// The traits of a handle whose default value (null, false, all members
// empty) means none, freed by passing it to `free`, as most handles of a C
// interface are:
//   using Menu = ScopedHandle<DefaultIsNone<HMENU, ::DestroyMenu>>;
template <typename HandleType, auto free>
struct DefaultIsNone {
  using Handle = HandleType;
  static Handle None() { return {}; }
  static void Free(Handle handle) { free(handle); }
};

}  // namespace tarnwick
