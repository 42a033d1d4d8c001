// A program that does not guard where its DLLs come from: it loads the DLL
// named on its command line by that name alone, as a program does that has
// not restricted the search. Beside a planted DLL of that name, the planted
// one runs; the planting test shows with it that its DLL and its check work.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  return ::LoadLibraryW(argv[1]) != nullptr ? 0 : 1;
}
