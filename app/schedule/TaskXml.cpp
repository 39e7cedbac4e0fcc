#include "app/schedule/TaskXml.h"

#include <cwchar>
#include <vector>

namespace RegCheck {

namespace {

const wchar_t* const kDayElements[7] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                        L"Thursday", L"Friday", L"Saturday"};
const wchar_t* const kMonthElements[12] = {L"January", L"February", L"March",     L"April",
                                           L"May",     L"June",     L"July",      L"August",
                                           L"September", L"October", L"November", L"December"};

std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(static_cast<size_t>(n));
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
  return std::wstring(wide.data());
}

// Paths may hold '&' ("Tools & Co"); the document must stay well formed.
std::wstring Escape(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::wstring Unescape(const std::wstring& text) {
  static const struct {
    const wchar_t* entity;
    wchar_t c;
  } kEntities[] = {{L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}};
  std::wstring out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& e : kEntities) {
      const size_t n = wcslen(e.entity);
      if (text.compare(i, n, e.entity) == 0) {
        out += e.c;
        i += n;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

// Whether `at` starts an element named `name` (not merely a longer name
// that begins with it).
bool StartsElement(const std::wstring& xml, size_t at, const wchar_t* name) {
  const size_t n = wcslen(name);
  if (xml.compare(at, 1, L"<") != 0 || xml.compare(at + 1, n, name) != 0) return false;
  const wchar_t next = at + 1 + n < xml.size() ? xml[at + 1 + n] : L'\0';
  return next == L'>' || next == L'/' || next == L' ' || next == L'\t' || next == L'\r' ||
         next == L'\n';
}

// The content of the first element `name` inside `xml`; empty when absent
// or written empty ("<Name/>"). `found` tells the two apart.
std::wstring Inner(const std::wstring& xml, const wchar_t* name, bool* found = nullptr) {
  if (found) *found = false;
  for (size_t at = xml.find(L'<'); at != std::wstring::npos; at = xml.find(L'<', at + 1)) {
    if (!StartsElement(xml, at, name)) continue;
    if (found) *found = true;
    const size_t open = xml.find(L'>', at);
    if (open == std::wstring::npos || xml[open - 1] == L'/') return std::wstring();
    const std::wstring close = std::wstring(L"</") + name + L">";
    const size_t end = xml.find(close, open);
    if (end == std::wstring::npos) return std::wstring();
    return xml.substr(open + 1, end - open - 1);
  }
  return std::wstring();
}

bool Contains(const std::wstring& xml, const wchar_t* name) {
  bool found = false;
  Inner(xml, name, &found);
  return found;
}

std::wstring Trim(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t\r\n");
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);
}

}  // namespace

std::wstring TaskXml(const std::string& program, const std::string& folder,
                     const ScheduleChoice& choice, const SYSTEMTIME& start) {
  wchar_t boundary[32];
  swprintf(boundary, sizeof boundary / sizeof boundary[0], L"%04u-%02u-%02uT%02u:%02u:00",
           start.wYear, start.wMonth, start.wDay, choice.hour, choice.minute);
  std::wstring schedule;
  if (choice.frequency == kWeekly) {
    const int day = choice.dayIndex >= 0 && choice.dayIndex < 7 ? choice.dayIndex : 0;
    schedule = std::wstring(L"      <ScheduleByWeek>\r\n        <DaysOfWeek><") + kDayElements[day] +
               L" /></DaysOfWeek>\r\n        <WeeksInterval>1</WeeksInterval>\r\n"
               L"      </ScheduleByWeek>\r\n";
  } else {
    const int day = choice.dayIndex >= 0 && choice.dayIndex < 31 ? choice.dayIndex : 0;
    std::wstring months;
    for (const wchar_t* month : kMonthElements) months += std::wstring(L"<") + month + L" />";
    schedule = L"      <ScheduleByMonth>\r\n        <DaysOfMonth><Day>" + std::to_wstring(day + 1) +
               L"</Day></DaysOfMonth>\r\n        <Months>" + months +
               L"</Months>\r\n      </ScheduleByMonth>\r\n";
  }
  return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
         L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
         L"  <RegistrationInfo>\r\n    <Description>Varnholt registry scan</Description>\r\n"
         L"  </RegistrationInfo>\r\n"
         L"  <Triggers>\r\n    <CalendarTrigger>\r\n      <StartBoundary>" +
         std::wstring(boundary) + L"</StartBoundary>\r\n      <Enabled>true</Enabled>\r\n" + schedule +
         L"    </CalendarTrigger>\r\n  </Triggers>\r\n"
         // Varnholt.exe requires administrator rights: a task on the limited
         // token is refused with ERROR_ELEVATION_REQUIRED and never scans.
         L"  <Principals>\r\n    <Principal id=\"Author\">\r\n"
         L"      <LogonType>InteractiveToken</LogonType>\r\n"
         L"      <RunLevel>HighestAvailable</RunLevel>\r\n    </Principal>\r\n  </Principals>\r\n"
         L"  <Settings>\r\n    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\r\n"
         L"    <Enabled>true</Enabled>\r\n  </Settings>\r\n"
         L"  <Actions Context=\"Author\">\r\n    <Exec>\r\n      <Command>" +
         Escape(Widen(program)) + L"</Command>\r\n      <Arguments>/scan</Arguments>\r\n"
         L"      <WorkingDirectory>" + Escape(Widen(folder)) +
         L"</WorkingDirectory>\r\n    </Exec>\r\n  </Actions>\r\n</Task>\r\n";
}

TaskXmlFacts ReadTaskXml(const std::wstring& xml) {
  TaskXmlFacts facts;
  facts.highestRunLevel = Trim(Inner(Inner(xml, L"Principals"), L"RunLevel")) == L"HighestAvailable";
  facts.command = Unescape(Trim(Inner(Inner(xml, L"Exec"), L"Command")));
  const std::wstring trigger = Inner(Inner(xml, L"Triggers"), L"CalendarTrigger");
  bool weekly = false, monthly = false;
  const std::wstring week = Inner(trigger, L"ScheduleByWeek", &weekly);
  const std::wstring month = Inner(trigger, L"ScheduleByMonth", &monthly);
  if (weekly) {
    const std::wstring days = Inner(week, L"DaysOfWeek");
    WORD mask = 0;
    for (int i = 0; i < 7; ++i)
      if (Contains(days, kDayElements[i])) mask |= static_cast<WORD>(1u << i);
    facts.hasTrigger = true;
    facts.choice.frequency = kWeekly;
    facts.choice.dayIndex = WeeklyIndexFromDays(mask);
  } else if (monthly) {
    std::wstring days = Inner(month, L"DaysOfMonth");
    DWORD mask = 0;
    for (size_t at = days.find(L"<Day>"); at != std::wstring::npos; at = days.find(L"<Day>", at + 1)) {
      const int day = _wtoi(days.c_str() + at + 5);
      if (day >= 1 && day <= 31) mask |= 1u << (day - 1);
    }
    facts.hasTrigger = true;
    facts.choice.frequency = kMonthly;
    facts.choice.dayIndex = MonthlyIndexFromDays(mask);
  }
  return facts;
}

}  // namespace RegCheck
