#ifndef GLOWRIG_CLI_CONSOLE_HPP_
#define GLOWRIG_CLI_CONSOLE_HPP_

namespace cli {

// Routes std::wcout into std::cout's buffer, encoding every character as
// UTF-8, so narrow and wide writes land on stdout in program order. A flush of
// std::wcout (std::endl) flushes stdout too. Call once, before any output.
// Returns false when the console cannot be set up.
bool setup_console();

}  // namespace cli

#endif  // GLOWRIG_CLI_CONSOLE_HPP_
