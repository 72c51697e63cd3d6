#pragma once

#include <memory>

#include "link/discovery/bridge_list.h"

namespace zentrik {

// The bridges as the vendor's library CP210xManufacturing.dll lists them, their ports from the
// registry. Without the library (not installed) or with an entry missing, it lists none.
std::unique_ptr<BridgeList> MakeVendorBridgeList();

}  // namespace zentrik
