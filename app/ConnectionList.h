#pragma once

namespace s::app {

// `netvigil --list [--resolve] [--tsv]`: prints both connection tables once, one line per
// connection sorted by protocol then pid: protocol, state, pid, process name, local address,
// local port, remote address, remote port, process path. --resolve shows host names in place
// of addresses; --tsv separates the fields by tabs. Gives the exit status.
int runConnectionList(int argc, char** argv);

}  // namespace s::app
