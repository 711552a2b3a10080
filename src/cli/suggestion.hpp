#ifndef GLOWRIG_CLI_SUGGESTION_HPP_
#define GLOWRIG_CLI_SUGGESTION_HPP_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace Cli {

// The number of single-character insertions, deletions, substitutions and
// swaps of two neighbouring characters that turn `a` into `b`, no character
// being edited twice. Compares bytes.
std::size_t edit_distance(const std::string& a, const std::string& b);

// The one name of `names` that `typed` most likely stands for, compared in
// any ASCII letter case, or nothing. A name is near when `typed` begins with
// it (a word spelt out: "brightness" for "bri"), or when at most two edits,
// and fewer than `typed` has characters, turn one into the other. Of the near
// names the one with the fewest edits is chosen, one that `typed` begins with
// before one it does not; nothing when two names tie or none is near.
std::optional<std::string> suggestion(const std::string& typed,
                                      const std::vector<std::string>& names);

}  // namespace Cli

#endif  // GLOWRIG_CLI_SUGGESTION_HPP_
