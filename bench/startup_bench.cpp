// Start-up of the uninstaller, from loading the configuration to a shown
// selection dialog, on a large installation. Two baselines measured in the
// same run: reading the store and the log into memory, and a floor that
// also makes the platform calls start-up cannot avoid and shows the same
// dialog with the same texts put into its tree one plain call each.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "bench_clock.h"
#include "build_name.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/installation/installation.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/resources/resource_ids.h"
#include "uninstaller/startup/startup_sequence.h"
#include "uninstaller/store/config_store.h"
#include "uninstaller/app/running_modules.h"
#include "uninstaller/ui/uninstall_dlg.h"

namespace {

using cvl::bench::median;

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
  const cvl::StartupError error = cvl::runStartup(platform, s.store, s.catalogue, s.state);
  if (error != cvl::StartupError::None) {
    std::printf("startup_bench: start-up stopped with error %d\n", static_cast<int>(error));
    return false;
  }
  cvl::enumRunningModules(&collect, &s.state.runningModules, s.state.processLibraryPath);
  s.state.runningSuitePrograms = cvl::matchRunningSuitePrograms(s.state.runningModules, s.state.suitePrograms);
  s.dialog = showDialog(s.catalogue);
  return s.dialog->handle() != nullptr;
}

INT_PTR CALLBACK plainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The floor: the files read whole, the process list and both Programs
// folders, then the selection dialog's template with a tree of the given
// texts, shown. Returns the dialog, to be destroyed after the clock stops.
HWND floorToShownDialog(cvl::platform::Platform& platform, const std::string& store, const std::string& log,
                        const std::string& processLibrary, const std::vector<std::string>& texts) {
  readWhole(store);
  readWhole(log);
  std::vector<std::string> modules;
  cvl::enumRunningModules(&collect, &modules, processLibrary);
  platform.system().specialFolder(cvl::platform::csidl::kPrograms);
  platform.system().specialFolder(cvl::platform::csidl::kCommonPrograms);

  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SELECTION), nullptr,
                                   &plainDialogProc, 0);
  RECT place;
  GetWindowRect(GetDlgItem(dialog, IDC_TREE_PLACE), &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | TVS_HASBUTTONS | TVS_HASLINES,
                              place.left, place.top, place.right - place.left, place.bottom - place.top, dialog,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  for (const std::string& text : texts) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
  }
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  return dialog;
}

std::vector<std::string> topTexts(const cvl::Catalogue& catalogue) {
  std::vector<std::string> texts;
  for (const std::string& name : catalogue.topComponents) {
    if (const cvl::CComponent* component = catalogue.componentMap.find(name)) {
      texts.push_back(catalogue.displayTextOf(*component));
    }
  }
  std::sort(texts.begin(), texts.end());
  return texts;
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
  cvl::bench::printBuild();
  cvl::platform::Win32Platform platform;
  cvl::fixture::Installation suite = cvl::fixture::largeSuite("C:\\cvl-bench", kComponents, kLogBytes);
  cvl::fixture::writeStore(platform, suite);
  cvl::fixture::writeLog(platform, suite);
  cvl::fixture::registerInstallation(platform, suite);
  const std::string store = suite.uninstallDir + "cvlinst.dat", log = suite.uninstallDir + "cvlinst.log";

  size_t bytes = 0;
  std::vector<double> baseline, floor, startup;
  std::vector<std::string> texts;
  bool ok = true;
  for (int round = 0; round < kRounds; ++round) {
    baseline.push_back(seconds([&] { bytes = readWhole(store) + readWhole(log); }));
    auto started = std::make_unique<Started>();
    startup.push_back(seconds([&] { ok = startToShownDialog(platform, *started) && ok; }));
    if (texts.empty()) texts = topTexts(started->catalogue);
    const std::string processLibrary = started->state.processLibraryPath;
    started.reset();
    HWND plain = nullptr;
    floor.push_back(seconds([&] { plain = floorToShownDialog(platform, store, log, processLibrary, texts); }));
    DestroyWindow(plain);
  }
  if (!ok || texts.size() != suite.topComponents.size()) {
    std::printf("startup_bench: start-up failed\n");
    return 1;
  }
  double base = median(baseline), plainFloor = median(floor), own = median(startup);
  std::printf("startup_bench: %d components, %.1f MB read\n", kComponents, bytes / 1048576.0);
  std::printf("  reading both files   %8.3f s\n", base);
  std::printf("  floor                %8.3f s (files, process list, Programs folders, the dialog with plain items)\n",
              plainFloor);
  std::printf("  start-up to dialog   %8.3f s\n", own);
  printPhases(platform);
  std::printf("  ratio to the files   %8.2f\n", own / base);
  std::printf("  ratio to the floor   %8.2f (goal <= 1.5)\n", own / plainFloor);
  return 0;
}
