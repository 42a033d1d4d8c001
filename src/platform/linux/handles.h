// The Linux handles that the program frees, each freeing itself.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>

#include "base/scoped_handle.h"

namespace tarnwick::on_linux {

struct FolderStreamTraits {
  using Handle = DIR*;
  static Handle None() { return nullptr; }
  static void Free(Handle folder) { ::closedir(folder); }
};
using FolderStream = ScopedHandle<FolderStreamTraits>;

struct DescriptorTraits {
  using Handle = int;
  static Handle None() { return -1; }
  static void Free(Handle descriptor) { ::close(descriptor); }
};
using Descriptor = ScopedHandle<DescriptorTraits>;

// Text that a C library call allocated, such as the result of realpath.
struct AllocatedTextTraits {
  using Handle = char*;
  static Handle None() { return nullptr; }
  static void Free(Handle text) { std::free(text); }
};
using AllocatedText = ScopedHandle<AllocatedTextTraits>;

}  // namespace tarnwick::on_linux
