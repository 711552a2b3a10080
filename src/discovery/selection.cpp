#include "discovery/selection.hpp"

#include <stdexcept>

namespace discovery {

pplx::task<void> list_bridges(const web::web_proxy&) {
    throw std::runtime_error("Error: the 'bridges' command is not available yet.");
}

}  // namespace discovery
