#include "app/cli/ConsoleCommands.h"

#include "app/cli/CategoryList.h"
#include "engine/RegistryAction.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"

namespace RegCheck {

namespace {

const char kUsage[] =
    "Usage: varnholt-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  scan [--categories LIST]   scan the registry and list every error found:\n"
    "                             category, description and location, tab-separated,\n"
    "                             then the number of errors per category.\n"
    "                             Exit code 0 when nothing was found, 1 otherwise.\n"
    "  --help                     show this text.\n"
    "\n"
    "LIST is a comma-separated list of category names or bit values (all when\n"
    "omitted): ComObject (0x40), AppPath (0x1), FileAssociation (0x10),\n"
    "SharedDll (0x2), Service (0x20), Fonts (0x100), HelpFiles (0x4),\n"
    "Startup (0x80), Uninstall (0x8), History (0x200), or all.\n"
    "Exit code 2 means the command line was not understood.\n";

int Usage(std::ostream& err, const std::string& problem) {
  err << "varnholt-cli: " << problem << "\nTry 'varnholt-cli --help'.\n";
  return kExitUsage;
}

// Reads "--categories LIST" (or "--categories=LIST") from `args` after the
// command word; any other argument is an error.
bool ParseScanOptions(const std::vector<std::string>& args, int& mask, std::string& error) {
  mask = kAllCategories;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string list;
    if (arg == "--categories") {
      if (i + 1 >= args.size()) {
        error = "--categories needs a list of categories";
        return false;
      }
      list = args[++i];
    } else if (arg.rfind("--categories=", 0) == 0) {
      list = arg.substr(13);
    } else {
      error = "unexpected argument \"" + arg + "\"";
      return false;
    }
    if (!ParseCategoryList(list, mask, error)) return false;
  }
  return true;
}

void RunScan(int mask, CActionList& results) {
  CScanCoordinator& coordinator = GetScanCoordinator();
  results.Clear();
  coordinator.SetCategories(mask);
  coordinator.SetProgressCallback(nullptr);
  coordinator.Start(&results);
  coordinator.WaitDone();
  coordinator.ClearCancel();
}

void PrintFindings(const CActionList& results, int mask, std::ostream& out) {
  for (CRegistryAction* action : results) {
    std::string description, location;
    action->GetDescription(description);
    action->GetLocation(location);
    out << DisplayLabel(FindScanCategory(action->GetCategory())->label) << '\t' << description
        << '\t' << location << '\n';
  }
  for (const ScanCategory& category : kScanCategories) {
    if (!(mask & category.bit)) continue;
    out << DisplayLabel(category.label) << ": " << results.CountInCategory(category.bit) << '\n';
  }
  out << "Total: " << results.Count() << '\n';
}

int CommandScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  int mask = 0;
  std::string error;
  if (!ParseScanOptions(args, mask, error)) return Usage(err, error);
  CActionList results;
  RunScan(mask, results);
  PrintFindings(results, mask, out);
  return results.Count() == 0 ? kExitOk : kExitFindings;
}

}  // namespace

int RunConsoleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "/?" || command == "help") {
    out << kUsage;
    return kExitOk;
  }
  if (command == "scan") return CommandScan(args, out, err);
  return Usage(err, "unknown command \"" + command + "\"");
}

}  // namespace RegCheck
