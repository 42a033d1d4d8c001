// The Linux handles that the program frees, each freeing itself.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>

#include "base/scoped_handle.h"

namespace tarnwick::on_linux {

using FolderStream = ScopedHandle<DefaultIsNone<DIR*, ::closedir>>;

struct DescriptorTraits {
  using Handle = int;
  static Handle None() { return -1; }
  static void Free(Handle descriptor) { ::close(descriptor); }
};
using Descriptor = ScopedHandle<DescriptorTraits>;

// Text that a C library call allocated, such as the result of realpath.
// (Freed through a function of its own: the standard library's functions may
// not be taken by address.)
inline void FreeText(char* text) { std::free(text); }
using AllocatedText = ScopedHandle<DefaultIsNone<char*, FreeText>>;

}  // namespace tarnwick::on_linux
