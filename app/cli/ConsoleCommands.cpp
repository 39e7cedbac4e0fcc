#include "app/cli/ConsoleCommands.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/cli/CategoryList.h"
#include "app/cli/IgnoreCommands.h"
#include "app/cli/JsonWriter.h"
#include "app/cli/ReportFormat.h"
#include "app/cli/ToolCommands.h"
#include "backup/BackupManager.h"
#include "backup/BackupSession.h"
#include "backup/RegFileExport.h"
#include "backup/RegistryOperation.h"
#include "engine/FixRun.h"
#include "engine/SystemInfo.h"
#include "engine/RegistryAction.h"
#include "engine/RegView.h"
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
    "  fix [--categories LIST]    scan, then fix every error found. Each removal is\n"
    "                             backed up first and logged; the backup is written\n"
    "                             to the Backup folder beside the program at exit.\n"
    "                             Exit code 0 when every fix succeeded, 1 otherwise.\n"
    "  backups                    list the backup sessions (file, time, number of\n"
    "                             operations) and their numbered operations.\n"
    "  restore FILE [N...]        write back the operations numbered N of the backup\n"
    "                             file FILE (all of them when no number is given).\n"
    "                             Restored operations leave the file, which is\n"
    "                             rewritten, or deleted once empty.\n"
    "  export FILE [OUT.reg]      write the operations of backup file FILE as a\n"
    "                             .reg file that regedit imports (default: the\n"
    "                             file's name with .reg, in the current folder).\n"
    "  ignore add CATEGORY LOCATION\n"
    "                             never report the error at LOCATION (as scan\n"
    "                             prints it) of CATEGORY again.\n"
    "  ignore list                list the ignored errors, numbered.\n"
    "  ignore remove N|CATEGORY LOCATION\n"
    "                             report that error again.\n"
    "  startup [remove N]         list the programs Windows starts at log-on, or\n"
    "                             remove the one on line N (backed up first).\n"
    "  software [remove N]        list the installed software, or remove the\n"
    "                             uninstall entry on line N (backed up first).\n"
    "  plugins [remove N]         list the Internet Explorer plug-ins, or remove the\n"
    "                             registration on line N (backed up first).\n"
    "  --help                     show this text.\n"
    "\n"
    "scan, fix, backups, ignore list, startup, software and plugins print one\n"
    "JSON document instead of tab-separated lines with --format json.\n"
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

// What a report says about one found error; taken before a fix releases it.
struct Finding {
  int category = 0;
  std::string description;
  std::string location;
  int outcome = -1;  // fix: 1 fixed, 0 failed; -1 not attempted
};

Finding FindingOf(CRegistryAction& action) {
  const IgnoreEntry entry = IgnoreEntryOf(action);
  Finding finding;
  finding.category = entry.category;
  finding.description = entry.description;
  finding.location = entry.location;
  return finding;
}

std::vector<Finding> FindingsOf(const CActionList& results) {
  std::vector<Finding> findings;
  for (CRegistryAction* action : results) findings.push_back(FindingOf(*action));
  return findings;
}

void PrintFindings(const std::vector<Finding>& findings, int mask, std::ostream& out) {
  for (const Finding& finding : findings)
    out << DisplayLabel(FindScanCategory(finding.category)->label) << '\t' << finding.description
        << '\t' << finding.location << '\n';
  for (const ScanCategory& category : kScanCategories) {
    if (!(mask & category.bit)) continue;
    out << DisplayLabel(category.label) << ": "
        << std::count_if(findings.begin(), findings.end(),
                         [&](const Finding& f) { return f.category == category.bit; })
        << '\n';
  }
  out << "Total: " << findings.size() << '\n';
}

// The categories scanned with their counts, then every finding.
void WriteJsonFindings(CJsonWriter& json, const std::vector<Finding>& findings, int mask) {
  json.Key("categories");
  json.BeginArray();
  for (const ScanCategory& category : kScanCategories) {
    if (!(mask & category.bit)) continue;
    json.BeginObject();
    json.Field("name", CategoryShortName(category.bit));
    json.Field("bit", category.bit);
    json.Field("label", DisplayLabel(category.label));
    json.Field("count", static_cast<int64_t>(std::count_if(
                            findings.begin(), findings.end(),
                            [&](const Finding& f) { return f.category == category.bit; })));
    json.EndObject();
  }
  json.EndArray();
  json.Key("findings");
  json.BeginArray();
  for (const Finding& finding : findings) {
    json.BeginObject();
    json.Field("category", CategoryShortName(finding.category));
    json.Field("bit", finding.category);
    json.Field("description", finding.description);
    json.Field("location", finding.location);
    json.Field("view", ViewNameOfLocation(finding.location));
    if (finding.outcome >= 0) json.Field("outcome", finding.outcome ? "fixed" : "failed");
    json.EndObject();
  }
  json.EndArray();
  json.Field("total", static_cast<int64_t>(findings.size()));
}

int CommandScan(const std::vector<std::string>& args, ReportFormat format, std::ostream& out,
                std::ostream& err) {
  int mask = 0;
  std::string error;
  if (!ParseScanOptions(args, mask, error)) return Usage(err, error);
  CActionList results;
  RunScan(mask, results);
  const std::vector<Finding> findings = FindingsOf(results);
  if (format == ReportFormat::kJson) {
    CJsonWriter json(out);
    BeginJsonReport(json, "scan");
    WriteJsonFindings(json, findings, mask);
    json.EndObject();
  } else {
    PrintFindings(findings, mask, out);
  }
  return results.Count() == 0 ? kExitOk : kExitFindings;
}

// Records each fix's answer for the report; the console shows no progress.
class CFixRecorder : public IFixProgress {
 public:
  void SetTotal(int) override {}
  void Step() override {}
  void OnFixed(CRegistryAction& action, int fixed) override {
    findings.push_back(FindingOf(action));
    findings.back().outcome = fixed ? 1 : 0;
  }
  std::vector<Finding> findings;
};

int CommandFix(const std::vector<std::string>& args, ReportFormat format, std::ostream& out,
               std::ostream& err) {
  int mask = 0;
  std::string error;
  if (!ParseScanOptions(args, mask, error)) return Usage(err, error);
  CActionList results;
  RunScan(mask, results);
  if (format == ReportFormat::kTsv) PrintFindings(FindingsOf(results), mask, out);
  CFixRecorder recorder;
  FixOutcome outcome = RunFixSelected(results, kVersionString, &recorder);
  if (format == ReportFormat::kJson) {
    CJsonWriter json(out);
    BeginJsonReport(json, "fix");
    WriteJsonFindings(json, recorder.findings, mask);
    json.Field("attempted", outcome.selected);
    json.Field("fixed", outcome.fixed);
    // Written when the program ends, under the name of its journal.
    const std::string backup = GetBackupManager().GetCurrentSessionFile();
    json.Key("backup");
    if (backup.empty())
      json.Null();
    else
      json.String(backup);
    json.EndObject();
  } else {
    char line[128];
    snprintf(line, sizeof(line), "%d of %d errors were fixed succesfully.", outcome.fixed,
             outcome.selected);
    out << line << '\n';
  }
  return outcome.fixed == outcome.selected ? kExitOk : kExitFindings;
}

std::string FormatTime(int64_t time) {
  time_t t = static_cast<time_t>(time);
  struct tm* local = localtime(&t);
  char text[128] = "";
  if (!local || strftime(text, sizeof(text), "%d %b %Y, %H:%M", local) == 0) return std::string();
  return text;
}

void PrintSession(const CBackupSession& session, const std::string& name, std::ostream& out) {
  out << name << '\t' << FormatTime(session.GetTime()) << '\t' << session.Count() << '\n';
  int number = 1;
  for (IRegistryOperation* operation : session) {
    out << "  " << number++ << '\t' << operation->GetDescription() << '\n';
  }
}

void WriteJsonSession(CJsonWriter& json, const CBackupSession& session, bool current) {
  json.BeginObject();
  json.Key("file");
  if (current)
    json.Null();
  else
    json.String(session.GetFilePath());
  json.Key("current");
  json.Bool(current);
  json.Field("time", session.GetTime());
  json.Field("time_text", FormatTime(session.GetTime()));
  json.Key("operations");
  json.BeginArray();
  int number = 1;
  for (IRegistryOperation* operation : session) {
    json.BeginObject();
    json.Field("number", number++);
    json.Field("kind", operation->GetType() == static_cast<int>(kKeyDeleteType) ? "key" : "value");
    json.Field("description", operation->GetDescription());
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

int CommandBackups(const std::vector<std::string>& args, ReportFormat format, std::ostream& out,
                   std::ostream& err) {
  if (args.size() > 1) return Usage(err, "backups takes no arguments");
  CBackupManager& manager = GetBackupManager();
  const bool withCurrent = manager.GetCurrentSession().Count() > 0;
  if (format == ReportFormat::kJson) {
    CJsonWriter json(out);
    BeginJsonReport(json, "backups");
    json.Key("sessions");
    json.BeginArray();
    if (withCurrent) WriteJsonSession(json, manager.GetCurrentSession(), true);
    for (CBackupSession* session : manager.GetSessions()) WriteJsonSession(json, *session, false);
    json.EndArray();
    json.EndObject();
    return kExitOk;
  }
  if (withCurrent) PrintSession(manager.GetCurrentSession(), "(current session)", out);
  for (CBackupSession* session : manager.GetSessions()) PrintSession(*session, session->GetFilePath(), out);
  return kExitOk;
}

// The loaded session stored in `file`, named by full path or by file name.
CBackupSession* FindSession(const std::string& file) {
  for (CBackupSession* session : GetBackupManager().GetSessions()) {
    const std::string& path = session->GetFilePath();
    size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (strcasecmp(path.c_str(), file.c_str()) == 0 || strcasecmp(name.c_str(), file.c_str()) == 0)
      return session;
  }
  return nullptr;
}

int CommandRestore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 2) return Usage(err, "restore needs the backup file to restore from");
  CBackupSession* session = FindSession(args[1]);
  if (!session) {
    err << "varnholt-cli: no readable backup file \"" << args[1]
        << "\" in the Backup folder (see 'varnholt-cli backups')\n";
    return kExitUsage;
  }
  std::vector<IRegistryOperation*> chosen;
  for (size_t i = 2; i < args.size(); ++i) {
    char* end = nullptr;
    long number = strtol(args[i].c_str(), &end, 10);
    if (args[i].empty() || *end != '\0' || number < 1 || number > session->Count())
      return Usage(err, "\"" + args[i] + "\" is no operation number of that file (1 to " +
                            std::to_string(session->Count()) + ")");
    IRegistryOperation* operation = session->At(static_cast<int>(number - 1));
    if (std::find(chosen.begin(), chosen.end(), operation) == chosen.end()) chosen.push_back(operation);
  }
  if (args.size() == 2) chosen.assign(session->begin(), session->end());

  int restored = 0;
  for (IRegistryOperation* operation : chosen) {
    std::string description = operation->GetDescription();
    if (operation->Restore()) {
      out << "restored\t" << description << '\n';
      // Once written back the record leaves its session; the file is
      // rewritten (or deleted when empty) at exit.
      delete operation;
      ++restored;
    } else {
      // Kept, so the backup of what could not be written back is not lost.
      out << "FAILED\t" << description << '\n';
    }
  }
  out << restored << " of " << chosen.size() << " operations restored.\n";
  return restored == static_cast<int>(chosen.size()) ? kExitOk : kExitFindings;
}

// "FILE.rbk" -> "FILE.reg" in the current folder.
std::string DefaultRegFileName(const std::string& backupFile) {
  const size_t slash = backupFile.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? backupFile : backupFile.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name + ".reg";
}

int CommandExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 2 || args.size() > 3)
    return Usage(err, "export needs a backup file and at most one .reg file to write");
  // A file of the Backup folder by name, or any backup file by its path.
  CBackupSession other;
  CBackupSession* session = FindSession(args[1]);
  if (!session && other.Load(args[1])) session = &other;
  if (!session) {
    err << "varnholt-cli: \"" << args[1]
        << "\" is no readable backup file (see 'varnholt-cli backups')\n";
    return kExitUsage;
  }
  const std::string target = args.size() == 3 ? args[2] : DefaultRegFileName(args[1]);
  std::string error;
  if (!ExportRegFile(*session, target, error)) {
    err << "varnholt-cli: " << error << '\n';
    return kExitFindings;
  }
  out << "exported\t" << session->Count() << " operations\t" << target << '\n';
  return kExitOk;
}

}  // namespace

int RunConsoleCommand(const std::vector<std::string>& commandLine, std::ostream& out,
                      std::ostream& err) {
  std::vector<std::string> args = commandLine;
  ReportFormat format = ReportFormat::kTsv;
  std::string error;
  if (!TakeFormatOption(args, format, error)) return Usage(err, error);
  if (args.empty()) return Usage(err, "no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "/?" || command == "help") {
    out << kUsage;
    return kExitOk;
  }
  if (command == "scan") return CommandScan(args, format, out, err);
  if (command == "fix") return CommandFix(args, format, out, err);
  if (command == "backups") return CommandBackups(args, format, out, err);
  if (command == "ignore") return RunIgnoreCommand(args, format, out, err);
  if (command == "startup" || command == "software" || command == "plugins")
    return RunToolCommand(args, format, out, err);
  if (format == ReportFormat::kJson)
    return Usage(err, "--format json is not available for " + command);
  if (command == "restore") return CommandRestore(args, out, err);
  if (command == "export") return CommandExport(args, out, err);
  return Usage(err, "unknown command \"" + command + "\"");
}

}  // namespace RegCheck
