// Under LeakSanitizer: the font configuration that Qt and our text layer load stays allocated
// inside libfontconfig until the process exits. That is the library's cache, not a leak of ours.
extern "C" __attribute__((used, visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
