// The links to a real vehicle, as the link registry takes them in.
#pragma once

#include "LinkRegistry.h"

#include <functional>
#include <string>

namespace TavrinKwp {

void registerRealLinks(const std::function<void(const std::string& key, LinkKind kind)>& add);

}  // namespace TavrinKwp
