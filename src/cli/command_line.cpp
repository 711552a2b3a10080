#include "cli/command_line.hpp"

#include <boost/program_options/parsers.hpp>
#include <boost/program_options/positional_options.hpp>

namespace Cli {

namespace po = boost::program_options;

std::vector<std::string> parse_command_line(const std::vector<std::string>& args,
                                            const po::options_description& desc,
                                            po::variables_map& values) {
    po::positional_options_description positional;
    positional.add("command", -1);
    const int style =
        po::command_line_style::unix_style | po::command_line_style::allow_long_disguise;
    const po::parsed_options parsed = po::command_line_parser(args)
                                          .options(desc)
                                          .positional(positional)
                                          .allow_unregistered()
                                          .style(style)
                                          .run();
    po::store(parsed, values);
    po::notify(values);
    return po::collect_unrecognized(parsed.options, po::exclude_positional);
}

}  // namespace Cli
