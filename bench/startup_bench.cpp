// Start-up of the uninstaller, from loading the configuration to a shown
// selection dialog, on a large installation; the baseline reads the store
// and the log into memory in the same run.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "tests/ui/fixture/installation.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/startup/app/startup_sequence.h"
#include "uninstaller/startup/config_store.h"
#include "uninstaller/ui/running_modules.h"
#include "uninstaller/ui/uninstall_dlg.h"

namespace {

constexpr int kComponents = 1000;
constexpr size_t kLogBytes = 20u * 1024 * 1024;
constexpr int kRounds = 5;

double seconds(const std::function<void()>& work) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  work();
  QueryPerformanceCounter(&end);
  return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

size_t readWhole(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  std::vector<char> data(GetFileSize(file, nullptr));
  DWORD done = 0;
  ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &done, nullptr);
  CloseHandle(file);
  return done;
}

bool collect(uint32_t, uint16_t, const std::string& path, void* modules) {
  static_cast<std::vector<std::string>*>(modules)->push_back(path);
  return true;
}

// Everything start-up builds; destroyed after the clock stops, since tearing
// down is not part of reaching the dialog.
struct Started {
  cvl::CConfigStore store;
  cvl::Catalogue catalogue;
  cvl::StartupState state;
  std::unique_ptr<cvl::CUninstallDlg> dialog;
  ~Started() {
    dialog.reset();
    catalogue.release();
  }
};

std::unique_ptr<cvl::CUninstallDlg> showDialog(const cvl::Catalogue& catalogue) {
  cvl::CUninstallDlg::Options options;
  options.commandLine = "CVLUNST2.EXE";
  auto dialog = std::make_unique<cvl::CUninstallDlg>(
      nullptr, options, catalogue, [](const cvl::SelectionTree&, cvl::ProgressWindow&) { return false; });
  UpdateWindow(dialog->createModeless());
  return dialog;
}

bool startToShownDialog(cvl::platform::Platform& platform, Started& s) {
  if (cvl::runStartup(platform, s.store, s.catalogue, s.state) != cvl::StartupError::None) return false;
  cvl::enumRunningModules(&collect, &s.state.runningModules, s.state.processLibraryPath);
  s.state.runningSuitePrograms = cvl::matchRunningSuitePrograms(s.state.runningModules, s.state.suitePrograms);
  s.dialog = showDialog(s.catalogue);
  return s.dialog->handle() != nullptr;
}

// Each step of start-up on its own, one after the other, so a ratio over the
// goal shows where the time goes; and the same dialog over an empty
// catalogue, the part no work on the files can shorten.
void printPhases(cvl::platform::Win32Platform& platform) {
  std::vector<double> config, log, rest, dialog, emptyDialog;
  for (int round = 0; round < kRounds; ++round) {
    auto s = std::make_unique<Started>();
    config.push_back(seconds([&] { cvl::loadConfiguration(platform, s->store, s->catalogue); }));
    cvl::locateUninstallFiles(s->store, s->state);
    log.push_back(seconds([&] { cvl::loadInstallLog(platform.files(), s->state); }));
    rest.push_back(seconds([&] {
      cvl::loadPathMacros(platform.registry(), s->state.pathMacros);
      cvl::addProgramFolders(platform.system(), s->state.pathMacros);
      s->state.suitePrograms = cvl::findSuitePrograms(s->catalogue, s->state.log);
      cvl::enumRunningModules(&collect, &s->state.runningModules, s->state.processLibraryPath);
    }));
    dialog.push_back(seconds([&] { s->dialog = showDialog(s->catalogue); }));
    cvl::Catalogue none;
    std::unique_ptr<cvl::CUninstallDlg> empty;
    emptyDialog.push_back(seconds([&] { empty = showDialog(none); }));
  }
  std::printf("  steps one by one: configuration %.3f s, install log %.3f s, macros and programs %.3f s, dialog %.3f s\n",
              median(config), median(log), median(rest), median(dialog));
  std::printf("  the dialog over an empty catalogue %.3f s\n", median(emptyDialog));
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  cvl::platform::Win32Platform platform;
  cvl::fixture::Installation suite = cvl::fixture::largeSuite("C:\\cvl-bench", kComponents, kLogBytes);
  cvl::fixture::writeStore(platform, suite);
  cvl::fixture::writeLog(platform, suite);
  cvl::fixture::registerInstallation(platform, suite);
  const std::string store = suite.uninstallDir + "cvlinst.dat", log = suite.uninstallDir + "cvlinst.log";

  size_t bytes = 0;
  std::vector<double> baseline, startup;
  bool ok = true;
  for (int round = 0; round < kRounds; ++round) {
    baseline.push_back(seconds([&] { bytes = readWhole(store) + readWhole(log); }));
    auto started = std::make_unique<Started>();
    startup.push_back(seconds([&] { ok = startToShownDialog(platform, *started) && ok; }));
  }
  if (!ok) {
    std::printf("startup_bench: start-up failed\n");
    return 1;
  }
  double base = median(baseline), own = median(startup);
  std::printf("startup_bench: %d components, %.1f MB read\n", kComponents, bytes / 1048576.0);
  std::printf("  reading both files   %8.3f s\n", base);
  std::printf("  start-up to dialog   %8.3f s\n", own);
  printPhases(platform);
  std::printf("  ratio                %8.2f (goal <= 3)\n", own / base);
  return 0;
}
