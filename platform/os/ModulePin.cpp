#include "platform/os/ModulePin.h"

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>

namespace
{
int PinModule(dl_phdr_info* info, size_t, void*)
{
    // RTLD_NOLOAD only finds what is already loaded; RTLD_NODELETE keeps it.
    if (info->dlpi_name && info->dlpi_name[0])
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}
}   // namespace

void PinLoadedModules()
{
    dl_iterate_phdr(PinModule, nullptr);
}

// The sanitizer runtime's own defaults, for every program that opens a window
// or a GL device (this file comes in with them), however it is started.
//
// The leak checker takes the thread-local blocks a library loaded later (the
// GL driver and LLVM) allocates on first use as roots of its scan, and with
// GCC 12's runtime it finds their bounds by guessing: a block that starts 16
// bytes past a page boundary is taken to follow the header an old C library
// put there. On this C library those 16 bytes are the sanitizer's own
// allocation header, so the scan is given a range from a stack id to a flag
// word and its stop-the-world thread crashes at exit ("Tracer caught signal
// 11"), failing a test that passed. Where a block lands follows the order of
// the driver threads' allocations, so it came and went with the machine's
// load. Not tracking those blocks leaves them plain heap blocks, reached
// through the thread's block table; only what the driver keeps in them loses
// its root, and the driver's allocations are suppressed by module anyway.
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
#else
void PinLoadedModules() {}
#endif
