// Short (8.3) names for a folder whose file system keeps none, made by the
// rules that a FAT file system applies on a Japanese system (OEM code page
// 932).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::fat {

// Gives every entry of one folder its short name. `names` holds every entry
// of the folder except "." and "..", as the file system's own bytes.
// The result holds, at the same index, the short name as file-name bytes
// (UTF-8 for the characters of code page 932):
// - a name that already is a valid 8.3 name (in any letter case) keeps its
//   own bytes, unless another name of the folder equals it without regard to
//   case; of such a clash the first name in binary order keeps its own;
// - every other name gets a basis name and the lowest numeric tail ("~1",
//   "~2", ...) that is free in the folder, handed out in binary order of the
//   long names, so the result is deterministic and unique in the folder
//   without regard to case.
// An entry for which no free name is left gets the empty string.
std::vector<std::string> MakeShortNames(const std::vector<std::string>& names);

// A folder's names one after another in one buffer, each ending where
// `ends` says.
struct PackedNames {
  std::string_view bytes;
  std::span<const std::uint32_t> ends;

  std::size_t size() const { return ends.size(); }
  std::size_t StartOf(std::size_t i) const { return i == 0 ? 0 : ends[i - 1]; }
  std::string_view operator[](std::size_t i) const {
    return bytes.substr(StartOf(i), ends[i] - StartOf(i));
  }
};

// The same for names held packed, handing each short name to `take` with its
// name's index as it is made, in no particular order, rather than holding
// them all.
void MakeShortNames(const PackedNames& names,
                    const std::function<void(std::size_t, std::string_view)>& take);

// Whether `name` (file-name bytes) is a valid 8.3 name in any letter case: a
// main part of 1 to 8 bytes and an optional extension of 1 to 3 bytes in code
// page 932, of characters that a short name may hold.
bool IsValidShortName(std::string_view name);

}  // namespace tarnwick::fat
