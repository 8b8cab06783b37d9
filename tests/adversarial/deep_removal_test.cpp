// Start-up and a whole silent removal of every top component, for each
// shape of installation, run on a stack as small as the program's: nothing
// may crash, and the run must have done its work: every file gone, every
// component written back as no longer selected, and the deepest logged key
// swept from the bottom up.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "tests/support/doubles/driver_doubles.h"
#include "tests/support/program_stack.h"
#include "tests/support/installation/shapes.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/uninstall_driver.h"
#include "uninstaller/startup/loaded_installation.h"

namespace cvl::test {
namespace {

using fixture::Shape;

struct Case {
  Shape shape;
  int sections;
  int loggedLevels = 1;  // of the logged key and shortcut folder
};
// Deep enough that walking them one stack frame per link overflows 2 MB.
constexpr Case kCases[] = {{Shape::MemberChain, 30000}, {Shape::RequiredChain, 50000}, {Shape::Lattice, 10000},
                           {Shape::WideGroup, 10000},   {Shape::CaseDuplicates, 10000}, {Shape::Flat, 10, 12000}};

const char* nameOf(Shape shape) {
  for (const auto& named : fixture::kShapes) {
    if (named.shape == shape) return named.name;
  }
  return "?";
}

// One top component the user leaves unchecked, so the store is written back
// rather than deleted with the rest of the uninstaller's traces.
fixture::Installation withKeeper(fixture::Installation suite) {
  suite.components.push_back({.name = "KEEPER", .displayText = "Keeper"});
  suite.topComponents.push_back("KEEPER");
  return suite;
}

struct Outcome {
  bool started = false;
  size_t components = 0;
  std::vector<std::string> filesLeft;
  std::vector<std::string> stillSelected;
  bool deepKeySwept = false;
};

Outcome removeEverythingButTheKeeper(const fixture::Installation& suite, int loggedLevels) {
  Outcome outcome;
  platform::MemoryPlatform machine;
  machine.system().setSpecialFolder(platform::csidl::kPrograms, suite.programsFolder);
  fixture::Installation logged = suite;
  fixture::addDeepLoggedPaths(logged, loggedLevels);
  fixture::writeStore(machine, logged);
  fixture::writeLog(machine, logged);
  fixture::registerInstallation(machine, suite);  // the deep key is logged, never created
  fixture::createInstalledFiles(machine, suite);
  machine.registry().seedKey(platform::RegRoot::LocalMachine, "SOFTWARE\\CORVEL\\K");

  LoadedInstallation installed;
  outcome.started = installed.load(machine) == StartupError::None;
  if (!outcome.started) return outcome;
  outcome.components = installed.catalogue.componentMap.size();
  PlainTree tree;
  for (const std::string& top : installed.catalogue.topComponents) {
    tree.add(top == "KEEPER" ? CheckState::Unchecked : CheckState::Checked, installed.catalogue.componentMap.find(top));
  }
  RemovalContext context = installed.removalContext(machine);
  context.silent = true;
  ProgressRecorder progress;
  runUninstall(context, tree, progress);

  for (const std::string& file : fixture::installedFiles(suite)) {
    if (machine.files().exists(file)) outcome.filesLeft.push_back(file);
  }
  outcome.deepKeySwept = !machine.registry().hasKey(platform::RegRoot::LocalMachine, "SOFTWARE\\CORVEL\\K");
  CConfigStore written;
  Catalogue reread;
  if (written.load(machine.files(), installed.store.path()) && reread.parseComponents(written)) {
    for (const auto& entry : reread.componentMap) {
      if (entry.component->selected && entry.key != "KEEPER") outcome.stillSelected.push_back(entry.key);
    }
  }
  return outcome;
}

TEST(DeepInstallations, StartUpAndRemovalFinishOnTheProgramsStackAndDoTheirWork) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(nameOf(c.shape));
    const fixture::Installation suite = withKeeper(fixture::shapedSuite("C:\\Deep", c.shape, c.sections));
    Outcome outcome;
    ASSERT_TRUE(runOnProgramStack([&] { outcome = removeEverythingButTheKeeper(suite, c.loggedLevels); }));
    ASSERT_TRUE(outcome.started);
    EXPECT_GE(outcome.components, size_t(c.sections / 2));
    EXPECT_EQ(outcome.filesLeft, std::vector<std::string>{});
    EXPECT_EQ(outcome.stillSelected, std::vector<std::string>{});
    EXPECT_TRUE(outcome.deepKeySwept) << "every level below it counted as gone";
  }
}

}  // namespace
}  // namespace cvl::test
