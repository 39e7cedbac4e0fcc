#pragma once
// Service and driver registrations whose image file is gone.

#include <windows.h>

#include <string>

#include "checkers/ResultsHandler.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CServicesChecker {
 public:
  // Walks the subkeys of the machine's Services key. Image paths are looked
  // up in the native file system too (see FileProbe.h), so the 64-bit
  // drivers and services do not look missing to a 32-bit process.
  void Scan(CScanContext& context, CActionList& results);

  // False when the service under the open Services key is an error: its key
  // cannot be opened, its "ImagePath" is no string, or it names a missing
  // program. A few names that Windows itself registers without an image are
  // always valid, as is a service without a readable "ImagePath".
  static bool CheckServiceKey(CScanContext& context, HKEY servicesKey,
                              const std::string& serviceName);

  class CHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;
  };
};

class CServiceAction : public CRegistryAction {
 public:
  explicit CServiceAction(const std::string& serviceName) : serviceName_(serviceName) {}

  int GetCategory() override;
  int Fix() override;
  int GetDescription(std::string& out) override;
  int GetLocation(std::string& out) override;

  const std::string& GetServiceName() const { return serviceName_; }

 private:
  std::string serviceName_;
};

}  // namespace RegCheck
