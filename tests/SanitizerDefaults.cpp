// Default options for the sanitizer runtimes, linked into every test program
// of a sanitised build so that each one stops at the first error however it
// is started (by CTest, by hand, or as a child process of another test).

extern "C" {

const char* __asan_default_options() {
#ifdef VENTRIX_SLOW_UNWIND
    // Full stacks on every allocation let leaks made inside system plugins
    // match the suppressions below.
    return "halt_on_error=1:detect_leaks=1:fast_unwind_on_malloc=0";
#else
    return "halt_on_error=1:detect_leaks=1";
#endif
}

const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}

// Allocations that system libraries keep for the life of the process: the
// offscreen platform plugin never frees its screen, fontconfig and glib keep
// their caches.
const char* __lsan_default_suppressions() {
    return "leak:libqoffscreen\n"
           "leak:libfontconfig\n"
           "leak:libglib-2.0\n"
           "leak:libgobject-2.0\n";
}
}
