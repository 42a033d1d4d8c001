// The names of the benchmarks' folders: those people keep (camera names,
// long Japanese names, names that share long starts, names that already
// are 8.3), one of each kind in turn.
#pragma once

#include <cstdio>
#include <string>

namespace tarnwick::bench {

struct NameKind {
  const char* format;  // of the number
  int factor;          // the number is the file's times this
};

inline constexpr NameKind kNameKinds[] = {
    {"IMG_%04d.JPG", 1},
    {"DSC%05d.JPG", 1},
    {"PXL_20240512_%09d.jpg", 7919},
    {"2024年度_営業報告書_第%d版.docx", 1},
    {"旅行の写真（北海道）%d.jpg", 1},
    {"Project Alpha - Quarterly Financial Report - Draft %05d.xlsx", 1},
    {"D%07d.TXT", 1},
    {"議事録 %d月定例会議 まとめ.txt", 1},
};

// The name of file i, in UTF-8.
inline std::string NameFor(int i) {
  const NameKind& kind = kNameKinds[i % 8];
  char name[256];
  std::snprintf(name, sizeof name, kind.format, i * kind.factor);
  return name;
}

}  // namespace tarnwick::bench
