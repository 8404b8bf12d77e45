// Runs the module's static destructors when a host unloads it. GCC's start files do that for a
// shared object (crtbeginS.o hands the module's handle to __cxa_finalize); others (Zig's) leave
// it out, and the destructors would then run at the host's exit, after the module's code is gone.
// A second call is harmless: each destructor runs once.
#if defined(__linux__)

extern "C" {
extern void* __dso_handle __attribute__((visibility("hidden")));
void __cxa_finalize(void* dso);
}

namespace {

__attribute__((destructor)) void FinalizeOnUnload() { __cxa_finalize(&__dso_handle); }

}  // namespace

#endif
