#pragma once
// The console form of the ignore list: "ignore add CATEGORY LOCATION",
// "ignore list" and "ignore remove N|CATEGORY LOCATION".

#include <ostream>
#include <string>
#include <vector>

#include "app/cli/ReportFormat.h"

namespace RegCheck {

// `args` starts with "ignore". Only the list prints as JSON. Returns an exit
// code.
int RunIgnoreCommand(const std::vector<std::string>& args, ReportFormat format, std::ostream& out,
                     std::ostream& err);

}  // namespace RegCheck
