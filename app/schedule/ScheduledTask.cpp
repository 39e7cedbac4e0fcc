#include "app/schedule/ScheduledTask.h"

#include <initguid.h>
#include <mstask.h>
#include <oleauto.h>
#include <taskschd.h>

#include "app/schedule/TaskXml.h"

#include <cstdio>
#include <vector>

namespace RegCheck {

namespace {

const char* const kWeekDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};

std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(static_cast<size_t>(n));
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
  return std::wstring(wide.data());
}

template <typename T>
void ReleaseInterface(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// A BSTR for the 2.0 calls, freed when it goes.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
  Bstr() = default;
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR Get() const { return text_; }
  BSTR* Out() { return &text_; }

 private:
  BSTR text_ = nullptr;
};

// A VARIANT argument left empty: the 2.0 calls' "not given".
VARIANT Empty() {
  VARIANT v;
  VariantInit(&v);
  return v;
}

}  // namespace

const wchar_t CScheduledTask::kTaskName[] = L"Varnholt";

std::string DayText(int frequency, int index) {
  if (frequency == kWeekly) return index >= 0 && index < 7 ? kWeekDays[index] : "";
  if (index < 0 || index > 30) return "";
  static const char* const kFirst[3] = {"1st", "2nd", "3rd"};
  if (index < 3) return kFirst[index];
  char text[16];
  snprintf(text, sizeof(text), "%dth", index + 1);
  return text;
}

int DayCount(int frequency) { return frequency == kWeekly ? 7 : 31; }

DWORD DayBit(int frequency, int index) {
  if (frequency == kWeekly) return index >= 0 && index < 7 ? 1u << index : 0;
  return index >= 0 && index < 31 ? 1u << index : 0;
}

int WeeklyIndexFromDays(WORD daysOfWeek) {
  for (int i = 0; i < 6; ++i)
    if (daysOfWeek == (1u << i)) return i;
  return 6;
}

int MonthlyIndexFromDays(DWORD days) {
  // A logarithm of the mask would be undefined for 0 and would pick the
  // highest of several days; the lowest set bit is always a list index.
  for (int i = 0; i < 31; ++i)
    if (days & (1u << i)) return i;
  return 0;
}

std::string TaskAccountName() {
  char computer[128] = "";
  DWORD computerSize = sizeof(computer);
  GetComputerNameA(computer, &computerSize);
  CharUpperA(computer);
  char user[128] = "";
  DWORD userSize = sizeof(user);
  GetUserNameA(user, &userSize);
  return std::string(computer) + "\\" + user;
}

CScheduledTask::CScheduledTask() {
  if (FAILED(CoInitialize(nullptr))) return;
  comInitialized_ = true;
  if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                              IID_ITaskScheduler, reinterpret_cast<void**>(&scheduler_)))) {
    scheduler_ = nullptr;
  }
  // Only Vista and later have the 2.0 service.
  if (FAILED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                              reinterpret_cast<void**>(&service_)))) {
    service_ = nullptr;
    return;
  }
  Bstr root(L"\\");
  if (FAILED(service_->Connect(Empty(), Empty(), Empty(), Empty())) ||
      FAILED(service_->GetFolder(root.Get(), &rootFolder_)) || !rootFolder_) {
    rootFolder_ = nullptr;
    ReleaseInterface(service_);
  }
}

CScheduledTask::~CScheduledTask() {
  ReleaseInterface(rootFolder_);
  ReleaseInterface(service_);
  ReleaseInterface(scheduler_);
  if (comInitialized_) CoUninitialize();
}

bool CScheduledTask::ReadTaskDocument(std::wstring& xml) {
  if (!rootFolder_) return false;
  Bstr name(kTaskName);
  IRegisteredTask* task = nullptr;
  if (FAILED(rootFolder_->GetTask(name.Get(), &task)) || !task) return false;
  Bstr text;
  const bool read = SUCCEEDED(task->get_Xml(text.Out())) && text.Get();
  ReleaseInterface(task);
  xml = read ? std::wstring(text.Get()) : std::wstring();
  // A task whose document cannot be read still exists.
  return true;
}

bool CScheduledTask::Load(ScheduleChoice& choice) {
  // On Vista and later the 2.0 folder also lists tasks made through 1.0.
  std::wstring xml;
  if (ReadTaskDocument(xml)) {
    const TaskXmlFacts facts = ReadTaskXml(xml);
    choice.frequency = facts.hasTrigger ? facts.choice.frequency : kMonthly;
    choice.dayIndex = facts.hasTrigger ? facts.choice.dayIndex : 0;
    return true;
  }
  if (!scheduler_) return false;
  ITask* task = nullptr;
  if (FAILED(scheduler_->Activate(kTaskName, IID_ITask, reinterpret_cast<IUnknown**>(&task))) || !task)
    return false;
  ITaskTrigger* trigger = nullptr;
  TASK_TRIGGER data{};
  data.cbTriggerSize = sizeof(data);
  bool haveTrigger = SUCCEEDED(task->GetTrigger(0, &trigger)) && trigger &&
                     SUCCEEDED(trigger->GetTrigger(&data));
  ReleaseInterface(trigger);
  ReleaseInterface(task);
  if (!haveTrigger) {
    // A task with no readable trigger still exists; show it monthly, 1st.
    choice.frequency = kMonthly;
    choice.dayIndex = 0;
    return true;
  }
  if (data.TriggerType == TASK_TIME_TRIGGER_WEEKLY) {
    choice.frequency = kWeekly;
    choice.dayIndex = WeeklyIndexFromDays(data.Type.Weekly.rgfDaysOfTheWeek);
  } else {
    choice.frequency = kMonthly;
    choice.dayIndex = MonthlyIndexFromDays(data.Type.MonthlyDate.rgfDays);
  }
  return true;
}

bool CScheduledTask::RunsAtHighestLevel() {
  std::wstring xml;
  return ReadTaskDocument(xml) && ReadTaskXml(xml).highestRunLevel;
}

void CScheduledTask::Delete() {
  if (rootFolder_) {
    Bstr name(kTaskName);
    rootFolder_->DeleteTask(name.Get(), 0);
  }
  if (scheduler_) scheduler_->Delete(kTaskName);
}

bool CScheduledTask::Save(const std::string& program, const std::string& folder,
                          const ScheduleChoice& choice) {
  Delete();
  if (SaveThroughTaskService(program, folder, choice)) return true;
  return SaveThroughTaskScheduler(program, folder, choice);
}

bool CScheduledTask::SaveThroughTaskService(const std::string& program, const std::string& folder,
                                            const ScheduleChoice& choice) {
  if (!rootFolder_) return false;
  SYSTEMTIME today;
  GetLocalTime(&today);
  Bstr name(kTaskName);
  Bstr xml(TaskXml(program, folder, choice, today).c_str());
  IRegisteredTask* registered = nullptr;
  // The interactive user's own token: no password is stored, and the task
  // runs while that user is logged on, as the 1.0 task does.
  if (FAILED(rootFolder_->RegisterTask(name.Get(), xml.Get(), TASK_CREATE_OR_UPDATE, Empty(), Empty(),
                                       TASK_LOGON_INTERACTIVE_TOKEN, Empty(), &registered)))
    return false;
  ReleaseInterface(registered);
  // A scheduler may accept the document and keep only part of it; such a
  // task would never run, or run without rights.
  std::wstring stored;
  const TaskXmlFacts facts = ReadTaskDocument(stored) ? ReadTaskXml(stored) : TaskXmlFacts();
  if (facts.hasTrigger && facts.choice.frequency == choice.frequency &&
      facts.choice.dayIndex == choice.dayIndex && facts.highestRunLevel &&
      lstrcmpiW(facts.command.c_str(), Widen(program).c_str()) == 0)
    return true;
  rootFolder_->DeleteTask(name.Get(), 0);
  return false;
}

bool CScheduledTask::SaveThroughTaskScheduler(const std::string& program, const std::string& folder,
                                              const ScheduleChoice& choice) {
  if (!scheduler_) return false;
  ITask* task = nullptr;
  if (FAILED(scheduler_->NewWorkItem(kTaskName, CLSID_CTask, IID_ITask,
                                     reinterpret_cast<IUnknown**>(&task))) ||
      !task)
    return false;
  task->SetApplicationName(Widen(program).c_str());
  task->SetParameters(L"/scan");
  task->SetWorkingDirectory(Widen(folder).c_str());
  task->SetFlags(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON);
  task->SetAccountInformation(Widen(TaskAccountName()).c_str(), nullptr);

  bool saved = false;
  WORD triggerIndex = 0;
  ITaskTrigger* trigger = nullptr;
  if (SUCCEEDED(task->CreateTrigger(&triggerIndex, &trigger)) && trigger) {
    SYSTEMTIME today;
    GetLocalTime(&today);
    TASK_TRIGGER data{};
    data.cbTriggerSize = sizeof(data);
    data.wBeginYear = today.wYear;
    data.wBeginMonth = today.wMonth;
    data.wBeginDay = today.wDay;
    data.wStartHour = choice.hour;
    data.wStartMinute = choice.minute;
    if (choice.frequency == kWeekly) {
      data.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
      data.Type.Weekly.WeeksInterval = 1;
      data.Type.Weekly.rgfDaysOfTheWeek = static_cast<WORD>(DayBit(kWeekly, choice.dayIndex));
    } else {
      data.TriggerType = TASK_TIME_TRIGGER_MONTHLYDATE;
      data.Type.MonthlyDate.rgfDays = DayBit(kMonthly, choice.dayIndex);
      data.Type.MonthlyDate.rgfMonths = 0xFFF;
    }
    if (SUCCEEDED(trigger->SetTrigger(&data))) {
      IPersistFile* file = nullptr;
      if (SUCCEEDED(task->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) && file) {
        saved = SUCCEEDED(file->Save(nullptr, TRUE));
        ReleaseInterface(file);
      }
    }
    ReleaseInterface(trigger);
  }
  ReleaseInterface(task);
  return saved;
}

}  // namespace RegCheck
