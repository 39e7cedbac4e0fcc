#include <windows.h>

#include "app/RegistryCleanerApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  CRegistryCleanerApp app;
  return app.Main(instance, showCommand);
}
