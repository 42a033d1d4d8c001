// The paths of a drop of files, read from the block that Windows hands a
// window with WM_DROPFILES (DROPFILES): a header, which gives where the
// paths start and whether they are UTF-16 or in the system's code page, then
// each path ending in a NUL, and an empty one after the last. The block
// comes from whichever program the files were dragged from, so nothing in
// it is believed: the paths are read no further than the block's size,
// whatever the header says. No system header here, so that the fuzz build
// on Linux reads drops with this very code.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace tarnwick::win32 {

// Turns a path's bytes in the system's code page into text.
using CodePageDecoder = std::function<Text(std::string_view bytes)>;

// The paths of `block` (the drop's memory, as long as the system says it
// is), in their order. A path that the block ends before its NUL is cut off
// and left out; a header that the block cannot hold, or that puts the paths
// inside the header or past the block's end, gives none.
std::vector<Text> ReadDropFiles(std::span<const std::byte> block,
                                const CodePageDecoder& from_code_page);

}  // namespace tarnwick::win32
