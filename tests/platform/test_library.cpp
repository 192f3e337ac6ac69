// A tiny library for the loading tests: one exported function with C linkage.
#if defined(_WIN32)
#define TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TEST_EXPORT int PlatformTestAnswer() {
    return 42;
}
