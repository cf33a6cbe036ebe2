#include <cstdio>

int main() {
  std::printf("Netvigil %s\n", NETVIGIL_VERSION);
  return 0;
}
