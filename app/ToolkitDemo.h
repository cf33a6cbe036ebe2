#pragma once

namespace s::app {

// `netvigil --toolkit-demo [--seconds N] [--skin NAME] [--idle] [--list ROWS]`: a window showing
// the window toolkit at work (boxes, labels in several scripts, glyph buttons, a status bar with
// a live traffic graph and a skin switcher) on the X server of $DISPLAY. Runs until the window
// is closed, or N seconds; --skin starts with that skin of the "ThinWindow" family; --idle
// leaves the graph (and the list) still; --list shows a connection list of ROWS rows in place of
// the scripts and glyphs, in an 840 x 600 window, its byte counts changing every second.
// `argv[0]` is "--toolkit-demo". Gives the exit status.
int runToolkitDemo(int argc, char** argv);

}  // namespace s::app
