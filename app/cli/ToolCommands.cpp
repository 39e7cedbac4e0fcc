#include "app/cli/ToolCommands.h"

#include <cstdlib>

#include "app/cli/ConsoleCommands.h"
#include "engine/RegRoots.h"
#include "engine/RegView.h"
#include "tools/IEPluginManager.h"
#include "tools/StartupManager.h"
#include "tools/UninstallManager.h"

namespace RegCheck {

namespace {

// One listed line of a tool: what the user sees, where it lives, and how to
// remove it.
struct ToolLine {
  std::string text;
  std::string location;
  const void* entry;
};

template <typename Entry>
int RemoveAt(const std::vector<ToolLine>& lines, size_t number, std::ostream& out) {
  const Entry* entry = static_cast<const Entry*>(lines[number - 1].entry);
  if (!entry->Remove()) {
    out << "FAILED\t" << lines[number - 1].text << '\n';
    return kExitFindings;
  }
  out << "removed\t" << lines[number - 1].text << " (backed up)\n";
  return kExitOk;
}

std::string PluginLocation(const PluginEntry& entry) {
  switch (entry.Kind()) {
    case kPluginBHO:
      return KeyPathText(HKEY_LOCAL_MACHINE, std::string(kBHOKeyPath) + "\\" + entry.RegistryName());
    case kPluginToolbar:
      return KeyPathText(HKEY_LOCAL_MACHINE, kToolbarKeyPath) + " (VALUE:" + entry.RegistryName() + ")";
    case kPluginExtension:
      return KeyPathText(HKEY_LOCAL_MACHINE,
                         std::string(kExtensionsKeyPath) + "\\" + entry.RegistryName());
  }
  return std::string();
}

}  // namespace

int RunToolCommand(const std::vector<std::string>& args, ReportFormat format, std::ostream& out,
                   std::ostream& err) {
  const std::string& tool = args[0];
  size_t removeNumber = 0;
  if (args.size() == 3 && args[1] == "remove") {
    char* end = nullptr;
    long number = strtol(args[2].c_str(), &end, 10);
    if (args[2].empty() || *end != '\0' || number < 1) {
      err << "varnholt-cli: \"" << args[2] << "\" is no line number\n";
      return kExitUsage;
    }
    removeNumber = static_cast<size_t>(number);
  } else if (args.size() != 1) {
    err << "varnholt-cli: usage: " << tool << " [remove N]\n";
    return kExitUsage;
  }
  if (removeNumber != 0 && format == ReportFormat::kJson) {
    err << "varnholt-cli: --format json is not available for " << tool << " remove\n";
    return kExitUsage;
  }

  // The managers own the entries the lines point at; they live until the
  // command is done.
  CStartupManager startup;
  CUninstallManager software;
  CIEPluginManager plugins;
  std::vector<ToolLine> lines;
  if (tool == "startup") {
    startup.Refresh();
    for (const StartupEntry& entry : startup.GetEntries()) {
      if (!entry.IsShown()) continue;
      lines.push_back({entry.DisplayText(),
                       KeyPathText(entry.Root(), kStartupRunKeyPath) + " (VALUE:" + entry.Name() + ")",
                       &entry});
    }
  } else if (tool == "software") {
    software.Refresh();
    for (const UninstallEntry& entry : software.GetEntries())
      lines.push_back({entry.DisplayText(),
                       KeyPathText(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyPath) + "\\" +
                                                           entry.KeyName()),
                       &entry});
  } else {
    plugins.Refresh();
    for (const PluginEntry& entry : plugins.GetEntries())
      lines.push_back({entry.DisplayText(), PluginLocation(entry), &entry});
  }

  if (removeNumber == 0 && format == ReportFormat::kJson) {
    CJsonWriter json(out);
    BeginJsonReport(json, tool.c_str());
    json.Key("entries");
    json.BeginArray();
    for (size_t i = 0; i < lines.size(); ++i) {
      json.BeginObject();
      json.Field("number", static_cast<int64_t>(i + 1));
      json.Field("text", lines[i].text);
      json.Field("location", lines[i].location);
      json.Field("view", ViewNameOfLocation(lines[i].location));
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return kExitOk;
  }
  if (removeNumber == 0) {
    for (size_t i = 0; i < lines.size(); ++i)
      out << i + 1 << '\t' << lines[i].text << '\t' << lines[i].location << '\n';
    return kExitOk;
  }
  if (removeNumber > lines.size()) {
    err << "varnholt-cli: there is no line " << removeNumber << " (" << lines.size()
        << " listed; run '" << tool << "' to see them)\n";
    return kExitUsage;
  }
  if (tool == "startup") return RemoveAt<StartupEntry>(lines, removeNumber, out);
  if (tool == "software") return RemoveAt<UninstallEntry>(lines, removeNumber, out);
  return RemoveAt<PluginEntry>(lines, removeNumber, out);
}

}  // namespace RegCheck
