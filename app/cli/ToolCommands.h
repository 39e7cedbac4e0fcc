#pragma once
// Console forms of the three system tools: list startup programs, installed
// software and Internet Explorer plug-ins with their registry locations, and
// remove one of them through the backup manager.

#include <ostream>
#include <string>
#include <vector>

namespace RegCheck {

// `args` starts with the command word ("startup", "software" or "plugins");
// an optional "remove N" follows. Returns an exit code.
int RunToolCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace RegCheck
