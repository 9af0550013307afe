// Leak reports the sanitizer build of the generator must not fail on: cairo keeps one gradient
// in an internal cache that its reset function does not empty, and fontconfig keeps parts of
// its configuration for the life of the process. Read by LeakSanitizer at start-up; an unused
// function in the other builds.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libcairo.so\n";
}

// Keeps the build log quiet about the suppressions above.
extern "C" const char* __lsan_default_options();
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
