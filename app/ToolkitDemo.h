#pragma once

namespace s::app {

// `netvigil --toolkit-demo [--seconds N] [--skin NAME] [--idle]`: a window showing the window
// toolkit at work (boxes, labels in several scripts, glyph buttons, a status bar with a live
// traffic graph and a skin switcher) on the X server of $DISPLAY. Runs until the window is
// closed, or N seconds; --skin starts with that skin of the "ThinWindow" family; --idle leaves
// the graph still. `argv[0]` is "--toolkit-demo". Gives the exit status.
int runToolkitDemo(int argc, char** argv);

}  // namespace s::app
