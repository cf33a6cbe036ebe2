// Fontconfig keeps its configuration and font caches for the life of the process (pango never
// calls FcFini), which the leak checker of the sanitized build would report at exit.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
