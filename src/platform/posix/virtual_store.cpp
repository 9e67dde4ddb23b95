#include "platform/virtual_store.h"

namespace trilo {

// Wine virtualises nothing, and a game under it has no such copies.
std::string VirtualStorePath(const std::string&) { return std::string(); }
std::string VirtualStoreFolder() { return std::string(); }
void UseVirtualStore(const std::string&) {}

}  // namespace trilo
