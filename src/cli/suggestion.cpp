#include "cli/suggestion.hpp"

#include <algorithm>
#include <locale>
#include <utility>

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/algorithm/string/predicate.hpp>

namespace Cli {
namespace {

// Further than this many edits, a name is near only when the typed word
// begins with it.
constexpr std::size_t kMostEdits = 2;

}  // namespace

std::size_t edit_distance(const std::string& a, const std::string& b) {
    // Three rows of the table of distances between the prefixes of `a` and
    // `b`: two rows back for a swap, the last one and the one being filled.
    std::vector<std::size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) last[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                row[j] = std::min(row[j], before[j - 2] + 1);
            }
        }
        before.swap(last);
        last.swap(row);
    }
    return last[b.size()];
}

std::optional<std::string> suggestion(const std::string& typed,
                                      const std::vector<std::string>& names) {
    const std::locale& classic = std::locale::classic();
    const std::string word = boost::algorithm::to_lower_copy(typed, classic);
    // Fewer edits first; of equal edits, a name the word begins with first.
    using Rank = std::pair<std::size_t, bool>;
    std::optional<Rank> best;
    std::optional<std::string> chosen;
    bool tied = false;
    for (const std::string& name : names) {
        const std::string lower = boost::algorithm::to_lower_copy(name, classic);
        const std::size_t edits = edit_distance(word, lower);
        const bool spelt_out = boost::algorithm::starts_with(word, lower);
        if (!spelt_out && (edits > kMostEdits || edits >= word.size())) continue;
        const Rank rank{edits, !spelt_out};
        if (!best || rank < *best) {
            best = rank;
            chosen = name;
            tied = false;
        } else if (rank == *best) {
            tied = true;
        }
    }
    if (tied) return std::nullopt;
    return chosen;
}

}  // namespace Cli
