#include <cstdio>
#include <cstring>

#include "app/ConnectionList.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--list") == 0) {
    return s::app::runConnectionList(argc, argv);
  }
  std::printf("Netvigil %s\n", NETVIGIL_VERSION);
  return 0;
}
