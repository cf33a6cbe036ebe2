#include <cstdio>
#include <cstring>

#include "app/ConnectionList.h"
#include "app/ToolkitDemo.h"

// Until the window and the live console view exist, the program's view is the connection
// list printed once.
int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("Netvigil %s\n", NETVIGIL_VERSION);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--toolkit-demo") == 0) {
    return s::app::runToolkitDemo(argc - 1, argv + 1);
  }
  return s::app::runConnectionList(argc, argv);
}
