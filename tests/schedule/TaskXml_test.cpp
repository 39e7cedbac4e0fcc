// The 2.0 task document: what it asks of the scheduler (trigger, run level,
// program), and reading back documents in the scheduler's own layout.

#include <gtest/gtest.h>

#include "app/schedule/TaskXml.h"

using namespace RegCheck;

namespace {

SYSTEMTIME Day(WORD year, WORD month, WORD day) {
  SYSTEMTIME t{};
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  return t;
}

ScheduleChoice Choice(int frequency, int day, WORD hour = 0, WORD minute = 0) {
  ScheduleChoice c;
  c.frequency = frequency;
  c.dayIndex = day;
  c.hour = hour;
  c.minute = minute;
  return c;
}

TEST(TaskXml, AsksForTheHighestRunLevelOnTheUsersOwnToken) {
  const std::wstring xml = TaskXml("C:\\Tools & Co\\Varnholt.exe", "C:\\Tools & Co",
                                   Choice(kWeekly, 4, 14, 30), Day(2026, 3, 5));
  EXPECT_NE(std::wstring::npos, xml.find(L"<RunLevel>HighestAvailable</RunLevel>"));
  EXPECT_NE(std::wstring::npos, xml.find(L"<LogonType>InteractiveToken</LogonType>"));
  EXPECT_NE(std::wstring::npos, xml.find(L"<StartBoundary>2026-03-05T14:30:00</StartBoundary>"));
  EXPECT_NE(std::wstring::npos, xml.find(L"<Command>C:\\Tools &amp; Co\\Varnholt.exe</Command>"));
  EXPECT_NE(std::wstring::npos, xml.find(L"<Arguments>/scan</Arguments>"));
  EXPECT_NE(std::wstring::npos, xml.find(L"<WorkingDirectory>C:\\Tools &amp; Co</WorkingDirectory>"));
  const TaskXmlFacts facts = ReadTaskXml(xml);
  EXPECT_TRUE(facts.highestRunLevel);
  EXPECT_EQ(L"C:\\Tools & Co\\Varnholt.exe", facts.command);
}

TEST(TaskXml, EveryWeekdayAndMonthDayReadsBackAsWritten) {
  for (int day = 0; day < 7; ++day) {
    const TaskXmlFacts facts =
        ReadTaskXml(TaskXml("C:\\V\\Varnholt.exe", "C:\\V", Choice(kWeekly, day), Day(2026, 1, 1)));
    ASSERT_TRUE(facts.hasTrigger) << day;
    EXPECT_EQ(kWeekly, facts.choice.frequency) << day;
    EXPECT_EQ(day, facts.choice.dayIndex);
  }
  for (int day = 0; day < 31; ++day) {
    const std::wstring xml =
        TaskXml("C:\\V\\Varnholt.exe", "C:\\V", Choice(kMonthly, day), Day(2026, 1, 1));
    const TaskXmlFacts facts = ReadTaskXml(xml);
    ASSERT_TRUE(facts.hasTrigger) << day;
    EXPECT_EQ(kMonthly, facts.choice.frequency) << day;
    EXPECT_EQ(day, facts.choice.dayIndex);
    EXPECT_NE(std::wstring::npos, xml.find(L"<December />")) << "every month";
  }
}

// A task an older version made through 1.0, as Windows lists it through
// 2.0: its own element layout, days of several kinds, no run level.
TEST(TaskXml, ReadsTheSchedulersOwnLayout) {
  const std::wstring weekly =
      L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Task version=\"1.1\" "
      L"xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
      L"  <Triggers>\r\n    <CalendarTrigger>\r\n      <StartBoundary>2009-06-02T10:00:00"
      L"</StartBoundary>\r\n      <ScheduleByWeek>\r\n        <WeeksInterval>1</WeeksInterval>\r\n"
      L"        <DaysOfWeek>\r\n          <Tuesday />\r\n        </DaysOfWeek>\r\n"
      L"      </ScheduleByWeek>\r\n    </CalendarTrigger>\r\n  </Triggers>\r\n"
      L"  <Principals>\r\n    <Principal id=\"Author\">\r\n      <LogonType>InteractiveToken"
      L"</LogonType>\r\n    </Principal>\r\n  </Principals>\r\n"
      L"  <Actions Context=\"Author\">\r\n    <Exec>\r\n      <Command>C:\\Old\\Varnholt.exe"
      L"</Command>\r\n    </Exec>\r\n  </Actions>\r\n</Task>";
  TaskXmlFacts facts = ReadTaskXml(weekly);
  ASSERT_TRUE(facts.hasTrigger);
  EXPECT_EQ(kWeekly, facts.choice.frequency);
  EXPECT_EQ(2, facts.choice.dayIndex);
  EXPECT_FALSE(facts.highestRunLevel);
  EXPECT_EQ(L"C:\\Old\\Varnholt.exe", facts.command);

  // Several days map as the 1.0 masks do: weekly to Saturday, monthly to the
  // lowest day.
  std::wstring twoDays = weekly;
  twoDays.replace(twoDays.find(L"<Tuesday />"), 11, L"<Monday/><Friday/>");
  EXPECT_EQ(6, ReadTaskXml(twoDays).choice.dayIndex);
  const TaskXmlFacts monthly = ReadTaskXml(
      L"<Task><Triggers><CalendarTrigger><ScheduleByMonth><DaysOfMonth><Day>28</Day>"
      L"<Day>9</Day></DaysOfMonth><Months><May /></Months></ScheduleByMonth></CalendarTrigger>"
      L"</Triggers></Task>");
  ASSERT_TRUE(monthly.hasTrigger);
  EXPECT_EQ(kMonthly, monthly.choice.frequency);
  EXPECT_EQ(8, monthly.choice.dayIndex);
}

TEST(TaskXml, ADocumentWithoutCalendarTriggerHasNone) {
  // What Wine 8 keeps of our document: settings and description only.
  const TaskXmlFacts facts = ReadTaskXml(
      L"<Task version=\"1.2\"><RegistrationInfo><Description>d</Description></RegistrationInfo>"
      L"<Triggers/><Principals><Principal></Principal></Principals><Actions><Exec/></Actions></Task>");
  EXPECT_FALSE(facts.hasTrigger);
  EXPECT_FALSE(facts.highestRunLevel);
  EXPECT_EQ(L"", facts.command);
  // A time trigger is not a schedule the dialog can show.
  EXPECT_FALSE(ReadTaskXml(L"<Task><Triggers><TimeTrigger><StartBoundary>2026-01-01T00:00:00"
                           L"</StartBoundary></TimeTrigger></Triggers></Task>")
                   .hasTrigger);
}

}  // namespace
