#ifndef GLOWRIG_CLI_COMMAND_LINE_HPP_
#define GLOWRIG_CLI_COMMAND_LINE_HPP_

#include <string>
#include <vector>

#include <boost/program_options/options_description.hpp>
#include <boost/program_options/variables_map.hpp>

namespace Cli {

// Parses `args` (the words after the program's name) against `desc` into
// `values`, as every glowrig command line is read: options with one or two
// dashes, values after "=", every word that is not an option going to
// "command". Returns the options `desc` does not declare, as written
// ("--brightness=200"), in their order; `values` holds the others. Throws the
// options library's error for a line it cannot read.
std::vector<std::string> parse_command_line(const std::vector<std::string>& args,
                                            const boost::program_options::options_description& desc,
                                            boost::program_options::variables_map& values);

}  // namespace Cli

#endif  // GLOWRIG_CLI_COMMAND_LINE_HPP_
