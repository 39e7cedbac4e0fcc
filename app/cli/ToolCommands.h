#pragma once
// Console forms of the three system tools: list startup programs, installed
// software and Internet Explorer plug-ins with their registry locations, and
// remove one of them through the backup manager.

#include <ostream>
#include <string>
#include <vector>

#include "app/cli/ReportFormat.h"

namespace RegCheck {

// `args` starts with the command word ("startup", "software" or "plugins");
// an optional "remove N" follows. Lists print as `format`; a removal only
// as text. Returns an exit code.
int RunToolCommand(const std::vector<std::string>& args, ReportFormat format, std::ostream& out,
                   std::ostream& err);

}  // namespace RegCheck
