// Fontconfig keeps its configuration and font caches for the life of the process (pango never
// calls FcFini), which the leak checker of the sanitized build would report at exit; cairo keeps
// a screen's state for an Xlib connection it drew on (the tray icon's) past the connection.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libcairo.so\n";
}

// The text and drawing libraries are not built for ThreadSanitizer: it cannot see the atomics
// and futexes by which they guard their shared caches, and reports their accesses inside them.
// What our own code reads and writes is still checked.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libfontconfig.so\n"
         "called_from_lib:libglib-2.0.so\n"
         "race:libfontconfig.so\n"
         "race:libglib-2.0.so\n"
         "race:libgobject-2.0.so\n"
         "race:libpango-1.0.so\n"
         "race:libpangoft2-1.0.so\n"
         "race:libpangocairo-1.0.so\n"
         "race:libharfbuzz.so\n"
         "race:libfreetype.so\n"
         "race:libcairo.so\n"
         "race:libpixman-1.so\n";
}
