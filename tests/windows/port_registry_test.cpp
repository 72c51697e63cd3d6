// The port look-ups against the registry of the wine prefix, with the keys of
// data/port_registry.reg imported: the real RegOpenKeyEx and RegQueryValueEx, whose
// lengths and ERROR_MORE_DATA the look-ups depend on.
#include <gtest/gtest.h>

#include "link/discovery/bridge_identity.h"
#include "link/discovery/port_lookup.h"
#include "link/discovery/registry_reader_win32.h"

namespace zentrik {
namespace {

int Nt(const char* serial) {
    Win32RegistryReader registry;
    return LookUpPortNt(registry, kControllerVendorId, kControllerProductId, serial);
}

TEST(PortRegistry, NtLayout) {
    EXPECT_EQ(Nt("030A000000000001"), 5);   // interface 0 of a composite device
    EXPECT_EQ(Nt("030A000000000002"), 12);  // a plain device
    EXPECT_EQ(Nt("030A 0003 x"), 3);        // blanks spelt as underscores
    EXPECT_EQ(Nt("030A000000000004"), -1);  // composite key without PortName: no plain try
    EXPECT_EQ(Nt("030A000000000005"), -1);  // a value longer than the 100 bytes offered
    EXPECT_EQ(Nt("030A00000000000F"), -1);  // no key at all
}

TEST(PortRegistry, NtLayoutFollowsTheIds) {
    Win32RegistryReader registry;
    EXPECT_EQ(LookUpPortNt(registry, kControllerVendorId, 0xEA61, "030A000000000001"), -1);
}

int Legacy(const char* serial) {
    Win32RegistryReader registry;
    return LookUpPortLegacy(registry, kControllerVendorId, kControllerProductId, serial);
}

TEST(PortRegistry, LegacyLayout) {
    // Keys 0000 to 0003: a short id, then one that is read again with its reported length,
    // an overlong id that is skipped, another id read with the full length again; 0005 lies
    // beyond the gap at 0004.
    EXPECT_EQ(Legacy("030A legacy x"), 4);
    EXPECT_EQ(Legacy("030a other"), 8);
    EXPECT_EQ(Legacy("030A beyond"), -1);
}

}  // namespace
}  // namespace zentrik
