// The names of the benchmarks' folders: those people keep (camera names,
// long Japanese names, names that share long starts, names that already
// are 8.3), one of each kind in turn.
#pragma once

#include <cstdio>
#include <string>

namespace tarnwick::bench {

// The name of file i, in UTF-8.
inline std::string NameFor(int i) {
  char name[256];
  switch (i % 8) {
    case 0:
      std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
      break;
    case 1:
      std::snprintf(name, sizeof name, "DSC%05d.JPG", i);
      break;
    case 2:
      std::snprintf(name, sizeof name, "PXL_20240512_%09d.jpg", i * 7919);
      break;
    case 3:
      std::snprintf(name, sizeof name, "2024年度_営業報告書_第%d版.docx", i);
      break;
    case 4:
      std::snprintf(name, sizeof name, "旅行の写真（北海道）%d.jpg", i);
      break;
    case 5:
      std::snprintf(name, sizeof name,
                    "Project Alpha - Quarterly Financial Report - Draft %05d.xlsx", i);
      break;
    case 6:
      std::snprintf(name, sizeof name, "D%07d.TXT", i);
      break;
    default:
      std::snprintf(name, sizeof name, "議事録 %d月定例会議 まとめ.txt", i);
      break;
  }
  return name;
}

}  // namespace tarnwick::bench
