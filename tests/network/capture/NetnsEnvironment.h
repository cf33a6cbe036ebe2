#pragma once

#include <string>

namespace s::system::network {

// The namespaces of the whole test program: its main thread lives in namespace A from the start,
// so every worker thread the pools make captures there too. Empty names without root.
const std::string& namespaceA();
const std::string& namespaceB();
bool haveNamespaces();

}  // namespace s::system::network
