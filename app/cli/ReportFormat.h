#pragma once
// How the console program prints its reports: tab-separated lines for
// people and quick scripts (the default), or one JSON document.

#include <string>
#include <vector>

#include "app/cli/JsonWriter.h"

namespace RegCheck {

enum class ReportFormat { kTsv, kJson };

// Removes "--format tsv|json" (or "--format=...") from `args`. False, with
// the reason in `error`, for a missing or unknown format; `format` is then
// untouched.
bool TakeFormatOption(std::vector<std::string>& args, ReportFormat& format, std::string& error);

// Version of the JSON reports' layout, written as "schema" in each. It
// grows only when a field changes meaning or goes; new fields may appear.
constexpr int kJsonSchemaVersion = 1;

// Opens a report's object with its "schema" and "command" fields.
void BeginJsonReport(CJsonWriter& json, const char* command);

}  // namespace RegCheck
