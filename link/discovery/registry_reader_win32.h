#pragma once

#include "link/discovery/port_lookup.h"

namespace zentrik {

// RegistryReader over the Win32 registry functions (ANSI names, KEY_READ access).
class Win32RegistryReader final : public RegistryReader {
  public:
    bool OpenKey(Key parent, const std::string& subKey, Key* key) override;
    ReadResult ReadValue(Key key, const char* name, char* buffer, std::uint32_t* length) override;
    void CloseKey(Key key) override;
};

}  // namespace zentrik
