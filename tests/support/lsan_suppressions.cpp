// Leaks of system libraries that the widget tests load (font configuration
// caches kept until exit), not of ours: the leak checker ignores them.

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libdbus-1\n";
}

namespace rxt::test {
// Referenced by the widget tests so that this file is linked in.
int lsanSuppressionsLinked = 1;
}  // namespace rxt::test
