#ifndef GLOWRIG_COMMANDS_RENDER_HPP_
#define GLOWRIG_COMMANDS_RENDER_HPP_

#include "commands/json_printout.hpp"
#include "commands/output.hpp"
#include "commands/text_printout.hpp"

namespace Commands {

// Writes `printout` to output.out(): its JSON document when output.json(),
// else its text.
template <class Printout>
void render(const Output& output, const Printout& printout) {
    if (output.json()) {
        print_json(output.out(), printout);
    } else {
        print_text(output.out(), printout);
    }
}

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_RENDER_HPP_
