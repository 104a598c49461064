// HostWinReset: back to a fresh machine.
#include "internal.h"

void HostWinReset(void)
{
    // Printers first: their driver modules are unloaded before the registry
    // that a driver might still look at goes away.
    hostwin::SpoolerReset();
    hostwin::DriverUnloadAll();
    hostwin::RegistryReset();
    hostwin::FaultsReset();
    hostwin::DebugOutputReset();
}
