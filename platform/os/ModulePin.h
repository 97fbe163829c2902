#pragma once
// Keeps every shared library loaded so far in memory until the program ends.
//
// Only sanitizer builds do anything: the GL driver that SDL loads is unloaded
// again at exit, before the leak checker runs, and what it allocated would be
// reported from frames without a module name. Pinned, its frames keep their
// module's name and the sanitizer run's suppression file can name the driver.
void PinLoadedModules();
