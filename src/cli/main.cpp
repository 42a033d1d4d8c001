#include "cli/tarnwick_list.h"

int main(int argc, char** argv) {
  const auto console = tarnwick::OpenConsole(argc, argv);
  const auto system = tarnwick::CreateSystemServices();
  return tarnwick::RunTarnwickList(console->Arguments(), *system, *console);
}
