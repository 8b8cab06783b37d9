// The whole removal on Wine's real registry and file system, with the
// system's own regsvr32, a stand-in VBA installer and RunOnce commands run
// through cmd.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/doubles/driver_doubles.h"
#include "tests/engine/wine_installation.h"
#include "uninstaller/engine/uninstall_driver.h"

namespace cvl::test {
namespace {

using platform::RegRoot;
using Events = std::vector<std::string>;

class WineRemoval : public testing::Test {
 protected:
  void checkAll() {
    context = &w.load();
    for (const std::string& name : w.catalogue.topComponents) {
      tree.add(CheckState::Checked, w.catalogue.componentMap.find(name));
    }
    context->silent = true;
  }
  // What is true when a step begins, as "step N: ..." lines.
  void watchSteps() {
    progress.onStep = [this](int step) {
      if (step == 2) {
        seen.push_back(std::string("server key ") + (w.hasKey(RegRoot::CurrentUser, WineInstallation::kServerKey) ? "kept" : "gone"));
        seen.push_back(std::string("server dll ") + (w.exists(w.target("cvlselfreg.dll")) ? "kept" : "gone"));
        seen.push_back("vba calls " + WineInstallation::contentOf(w.vbaCalls()));
      }
      if (step == 3) seen.push_back(std::string("server dll ") + (w.exists(w.target("cvlselfreg.dll")) ? "kept" : "gone"));
    };
  }

  WineInstallation w;
  PlainTree tree;
  ProgressRecorder progress;
  Events seen;
  RemovalContext* context = nullptr;
};

TEST_F(WineRemoval, WholeSuiteGoesPhaseByPhase) {
  ASSERT_TRUE(w.hasKey(RegRoot::CurrentUser, WineInstallation::kServerKey)) << "regsvr32 did not register the test server";
  checkAll();
  watchSteps();

  ASSERT_TRUE(runUninstall(*context, tree, progress));
  EXPECT_FALSE(context->hadErrors);

  EXPECT_EQ(progress.events, (Events{"create", "visible", "step 1", "range 0..8", "tick*2", "step 2", "tick*2", "step 3",
                                     "tick*2", "step 4", "step 5", "tick*2", "step 6", "tick*1", "finish silent"}));
  // Unregistered through regsvr32 in phase 1 with its file still there; the VBA installer after it.
  EXPECT_EQ(seen, (Events{"server key gone", "server dll kept",
                          "vba calls Init C:\\PKGS\\SERVERS.MSI 1 0\nUnInstall\nInit C:\\PKGS\\KEEP-DOCS.MSI 1 0\n",
                          "server dll gone"}));
  EXPECT_EQ(WineInstallation::contentOf(w.runOnceMarks()), "c\r\nb\r\na\r\n");

  EXPECT_FALSE(w.exists(w.target("cvlshared1.dll")));
  EXPECT_FALSE(w.sharedCount("cvlshared1.dll"));
  EXPECT_TRUE(w.exists(w.target("cvlshared3.dll")));
  EXPECT_EQ(w.sharedCount("cvlshared3.dll"), 2u);
  for (const char* gone : {"readme.txt", "locked.txt", "readonly.txt", "HELP"}) EXPECT_FALSE(w.exists(w.target(gone))) << gone;
  EXPECT_TRUE(w.exists(w.target("mine.txt")));
  EXPECT_FALSE(w.exists(w.userFolder()));
  EXPECT_FALSE(w.exists(w.commonFolder()));
  EXPECT_FALSE(w.hasKey(RegRoot::LocalMachine, WineInstallation::kSuiteKey));
  EXPECT_TRUE(w.hasKey(RegRoot::CurrentUser, "Software\\CvlEngineShared"));  // a shared key keeps what is not ours

  // The uninstaller's own traces, since the whole suite was checked.
  for (const char* gone : {"cvlinst.dat", "cvlinst.log", "cvlpsapi.dll", "DEIS_ENGINETEST.ISU"}) {
    EXPECT_FALSE(w.exists(WineInstallation::kUninstallDir + std::string(gone))) << gone;
  }
  EXPECT_FALSE(w.exists(w.sharedProgram()));
  EXPECT_FALSE(w.hasKey(RegRoot::LocalMachine, "software\\corvel"));
  EXPECT_FALSE(w.hasKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System"));
  EXPECT_TRUE(w.hasKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(WineRemoval, FileHeldOpenGoesAtTheRestartAndNothingElseIsLost) {
  checkAll();
  HANDLE held = CreateFileA(w.target("locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  const bool ran = runUninstall(*context, tree, progress);
  CloseHandle(held);

  ASSERT_TRUE(ran);
  EXPECT_EQ(Events(progress.events.end() - 3, progress.events.end()), (Events{"step 8", "tick*1", "finish silent"}));
  EXPECT_EQ(WineInstallation::contentOf(w.target("locked.txt")), "x") << "kept until the restart";
  EXPECT_TRUE(w.exists(w.target("mine.txt")));
  EXPECT_TRUE(w.exists(w.target("cvlshared3.dll")));
  for (const char* gone : {"readme.txt", "readonly.txt", "cvlshared1.dll", "cvlselfreg.dll", "HELP"}) {
    EXPECT_FALSE(w.exists(w.target(gone))) << gone;
  }
  EXPECT_FALSE(w.exists(w.userLink()));
  EXPECT_FALSE(w.exists(w.commonLink()));
  EXPECT_FALSE(w.hasKey(RegRoot::LocalMachine, WineInstallation::kSuiteKey));
  EXPECT_EQ(WineInstallation::contentOf(w.runOnceMarks()), "c\r\nb\r\na\r\n");
}

}  // namespace
}  // namespace cvl::test
