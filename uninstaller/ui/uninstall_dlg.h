#pragma once
// The selection dialog: the top components as a tri-state tree, the
// description of the selected one, and "Uninstall", which runs the removal.
// A silent run creates it hidden and starts the removal from initialisation.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "uninstaller/engine/driver_ports.h"
#include "uninstaller/ui/component_tree.h"
#include "uninstaller/ui/progress_dlg.h"

namespace cvl {

class Catalogue;
struct RemovalContext;

class CUninstallDlg {
 public:
  // How the dialog ended; what the removal achieved is the removal's to say.
  enum class Outcome { Cancelled, NothingChecked, RemovalRan };
  // Runs the removal for the checked items, reporting to the progress window;
  // false when nothing was checked. The program passes the engine's driver.
  using Removal = std::function<bool(const SelectionTree&, ProgressWindow&)>;

  struct Options {
    bool silent = false;
    bool showErrors = true;
    bool showProgress = true;
    std::string commandLine;  // the arguments: checked for display texts and "UNINSTALLALL"
    // Called when the session ends during a removal, before the process dies.
    std::function<void()> beforeSessionEnds;
  };

  CUninstallDlg(HWND parent, Options options, const Catalogue& catalogue, Removal removal);
  CUninstallDlg(const CUninstallDlg&) = delete;
  CUninstallDlg& operator=(const CUninstallDlg&) = delete;
  ~CUninstallDlg();

  // Modal when interactive; hidden and modeless when silent, in which case
  // the removal has run by the time this returns.
  Outcome run();

  // For tests: create the dialog modeless (visible unless silent) and return at once.
  HWND createModeless();
  HWND handle() const { return window_; }
  CComponentTree& tree() { return tree_; }
  CProgressDlg* progress() const { return progress_.get(); }
  Outcome outcome() const { return outcome_; }

 private:
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onInit();
  void createTree();
  // Inserts the named components that pass `wanted`, in the tree's sorted
  // order, each followed by its members.
  void insertComponents(const std::vector<std::string>& names, HTREEITEM parent, bool (*wanted)(const CComponent&));
  void insertComponent(CComponent& component, const std::string& text, HTREEITEM parent);
  void onSelectionChanged();
  void onUninstall();
  void onCancel();
  INT_PTR onQueryEndSession();
  void onEndSession(bool ending);
  bool onPaintMinimised();
  void close();

  HWND parent_;
  Options options_;
  const Catalogue& catalogue_;
  Removal removal_;
  HWND window_ = nullptr;
  HICON icon_ = nullptr;
  bool modal_ = false;
  CComponentTree tree_;
  std::unique_ptr<CProgressDlg> progress_;
  Outcome outcome_ = Outcome::Cancelled;
  // While the removal runs, nothing it uses may be closed or freed.
  bool removing_ = false;
};

}  // namespace cvl
