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
#else
void PinLoadedModules() {}
#endif
