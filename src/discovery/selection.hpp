#ifndef GLOWRIG_DISCOVERY_SELECTION_HPP_
#define GLOWRIG_DISCOVERY_SELECTION_HPP_

#include <pplx/pplxtasks.h>

namespace web {
class web_proxy;
}

namespace discovery {

// The bridges command: finds every bridge and prints the table of them.
pplx::task<void> list_bridges(const web::web_proxy& proxy);

}  // namespace discovery

#endif  // GLOWRIG_DISCOVERY_SELECTION_HPP_
