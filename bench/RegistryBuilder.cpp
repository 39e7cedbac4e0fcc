#include "bench/RegistryBuilder.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace bench {

namespace {

constexpr int kDllCount = 400;
constexpr int kMissingEvery = 25;  // every 25th DLL, program or file is never created
constexpr int kPathFolders = 12;

class Writer {
 public:
  explicit Writer(BuildFigures& figures) : figures_(figures) {}
  HKEY Key(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
      return nullptr;
    if (disposition == REG_CREATED_NEW_KEY) ++figures_.keys;
    return key;
  }
  void String(HKEY key, const char* name, const std::string& text, DWORD type = REG_SZ) {
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    ++figures_.values;
  }
  void Dword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    ++figures_.values;
  }
  void Binary(HKEY key, const char* name, const std::vector<unsigned char>& data) {
    RegSetValueExA(key, name, 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
    ++figures_.values;
  }
  // A key with a default string value, closed at once.
  void KeyWithDefault(HKEY root, const std::string& path, const std::string& text) {
    HKEY key = Key(root, path);
    if (!key) return;
    String(key, "", text);
    RegCloseKey(key);
  }

 private:
  BuildFigures& figures_;
};

std::string Guid(const char* kind, long index) {
  char text[64];
  snprintf(text, sizeof(text), "{%08lX-%s-4000-8000-%012lX}", static_cast<unsigned long>(index), kind,
           static_cast<unsigned long>(index * 7919L));
  return text;
}

std::string Hex32(long a, long b) {
  char text[40];
  snprintf(text, sizeof(text), "%016lX%016lX", static_cast<unsigned long>(a),
           static_cast<unsigned long>(b));
  return text;
}

void MakeFile(const std::string& path) {
  for (size_t i = 3; i < path.size(); ++i)
    if (path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

std::string DllPath(const std::string& root, int index) {
  char text[96];
  snprintf(text, sizeof(text), "\\Vendor%02d\\Shared\\lib%03d.dll", index % 37, index);
  return root + text;
}

bool Missing(long index) { return index % kMissingEvery == kMissingEvery - 1; }

std::string ToolName(long index) {
  char name[32];
  snprintf(name, sizeof(name), "tool%02ld.exe", index);
  return name;
}

}  // namespace

std::string BenchPath(const std::string& fileRoot) {
  std::string path;
  for (int i = 0; i < kPathFolders; ++i) {
    char folder[64];
    snprintf(folder, sizeof(folder), "\\PathDir%02d%s;", i, i % 4 == 0 ? "\\" : "");
    path += fileRoot + folder;
  }
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  return path + system;
}

BuildFigures BuildRegistry(long targetKeys, const std::string& fileRoot) {
  BuildFigures figures;
  Writer w(figures);

  for (int i = 0; i < kDllCount; ++i)
    if (!Missing(i)) MakeFile(DllPath(fileRoot, i));
  for (int i = 0; i < kPathFolders; ++i) {
    char name[64];
    snprintf(name, sizeof(name), "\\PathDir%02d\\tool%02d.exe", i, i);
    MakeFile(fileRoot + name);
  }

  // Shares of the key budget: COM classes 40%, ProgIDs 12%, type libraries
  // 12%, installer components 30%, the small areas the rest.
  const long clsids = targetKeys * 40 / 100 / 3;
  const long progids = targetKeys * 12 / 100 / 2;
  const long typelibs = targetKeys * 12 / 100 / 4;
  const long components = targetKeys * 30 / 100;
  const long small = targetKeys / 200 > 50 ? targetKeys / 200 : 50;

  HKEY clsidRoot = w.Key(HKEY_CLASSES_ROOT, "CLSID");
  for (long i = 0; i < clsids; ++i) {
    std::string guid = Guid("0C15", i);
    HKEY key = w.Key(clsidRoot, guid);
    if (!key) continue;
    w.String(key, "", "Benchmark class " + std::to_string(i));
    int dll = static_cast<int>((i * 31) % kDllCount);
    if (Missing(dll)) ++figures.planted_missing;
    w.KeyWithDefault(key, i % 10 == 0 ? "LocalServer32" : "InprocServer32",
                     DllPath(fileRoot, dll));
    if (i < progids) w.KeyWithDefault(key, "ProgID", "VhBench.Class" + std::to_string(i));
    RegCloseKey(key);
  }
  RegCloseKey(clsidRoot);

  for (long i = 0; i < progids; ++i) {
    // A share of ProgIDs names classes that were never registered.
    long target = i % 50 == 49 ? clsids + i : i;
    if (target >= clsids) ++figures.planted_missing;
    w.KeyWithDefault(HKEY_CLASSES_ROOT, "VhBench.Class" + std::to_string(i) + "\\CLSID",
                     Guid("0C15", target));
  }

  for (long i = 0; i < typelibs; ++i) {
    int dll = static_cast<int>((i * 17) % kDllCount);
    if (Missing(dll)) ++figures.planted_missing;
    w.KeyWithDefault(HKEY_CLASSES_ROOT, "TypeLib\\" + Guid("7171", i) + "\\1.0\\0\\win32",
                     DllPath(fileRoot, dll) + (i % 3 == 0 ? "\\2" : ""));
  }

  const std::string userData = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";
  HKEY componentsKey = w.Key(HKEY_LOCAL_MACHINE, userData + "\\S-1-5-18\\Components");
  for (long i = 0; i < components; ++i) {
    HKEY key = w.Key(componentsKey, Hex32(i, i * 13));
    if (!key) continue;
    int dll = static_cast<int>((i * 7) % kDllCount);
    if (Missing(dll)) ++figures.planted_missing;
    w.String(key, Hex32(i * 3, 77).c_str(), DllPath(fileRoot, dll));
    RegCloseKey(key);
  }
  RegCloseKey(componentsKey);

  const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  for (long i = 0; i < small; ++i) {
    HKEY key = w.Key(HKEY_LOCAL_MACHINE, uninstall + "VhBenchApp" + std::to_string(i));
    if (!key) continue;
    std::string program = fileRoot + "\\Apps\\App" + std::to_string(i) + "\\uninst.exe";
    if (Missing(i)) {
      ++figures.planted_missing;
    } else {
      MakeFile(program);
    }
    w.String(key, "DisplayName", "Benchmark Application " + std::to_string(i));
    w.String(key, "UninstallString", "\"" + program + "\" /uninstall /quiet");
    RegCloseKey(key);
  }

  const std::string services = "SYSTEM\\CurrentControlSet\\Services\\";
  for (long i = 0; i < small; ++i) {
    HKEY key = w.Key(HKEY_LOCAL_MACHINE, services + "VhBenchSvc" + std::to_string(i));
    if (!key) continue;
    w.String(key, "ImagePath", "\\SystemRoot\\System32\\drivers\\vhbench" + std::to_string(i) + ".sys",
             REG_EXPAND_SZ);
    w.Dword(key, "Start", 3);
    w.Dword(key, "Type", 1);
    RegCloseKey(key);
  }

  HKEY fonts = w.Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
  HKEY help = w.Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help");
  HKEY shared = w.Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls");
  HKEY run = w.Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  HKEY mru = w.Key(HKEY_CURRENT_USER,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\txt");
  for (long i = 0; i < small; ++i) {
    std::string n = std::to_string(i);
    if (Missing(i)) ++figures.planted_missing;
    std::string fontFile = fileRoot + "\\Fonts\\bench" + n + ".ttf";
    if (!Missing(i)) MakeFile(fontFile);
    if (fonts) w.String(fonts, ("Benchmark Sans " + n + " (TrueType)").c_str(), fontFile);
    std::string helpDir = fileRoot + "\\Help" + std::to_string(i % 20);
    if (!Missing(i)) MakeFile(helpDir + "\\bench" + n + ".hlp");
    if (help) w.String(help, ("bench" + n + ".hlp").c_str(), helpDir + "\\");
    if (shared) w.Dword(shared, DllPath(fileRoot, static_cast<int>(i % kDllCount)).c_str(), 1);
    if (run && i < 40) w.String(run, ("VhBenchRun" + n).c_str(), ToolName(i % 12) + " /background");
    if (mru && i < 100) {
      std::string doc = fileRoot + "\\Docs\\doc" + n + ".txt";
      if (!Missing(i)) MakeFile(doc);
      w.String(mru, std::string(1, static_cast<char>('a' + i % 26)).c_str(), doc);
    }
  }
  for (HKEY key : {fonts, help, shared, run, mru})
    if (key) RegCloseKey(key);
  return figures;
}

}  // namespace bench
