// Leak reports the sanitizer build of the tests must not fail on: fontconfig keeps parts of its
// configuration, once loaded, in allocations it never frees. Read by LeakSanitizer at start-up;
// an unused function in the other builds.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
