#include "uninstaller/engine/phases/run_once.h"

#include <optional>

#include "uninstaller/removal/command_program.h"
#include "uninstaller/suite/suite_layout.h"
#include "uninstaller/removal/run_and_wait.h"

namespace cvl {
namespace {

using namespace platform;

std::optional<std::string> commandAt(System& system, const RegKey& key, uint32_t index, std::string& name) {
  RegValue value;
  if (key.enumValue(index, name, &value, names::kPathBuffer, names::kPathBuffer) != kSuccess) return std::nullopt;
  if (value.type != RegType::Sz && value.type != RegType::ExpandSz) return std::nullopt;
  std::string command = value.asString();
  if (value.type == RegType::ExpandSz) command = system.expandEnvironment(command);
  if (command.empty()) return std::nullopt;
  return command;
}

}  // namespace

void runComponentRunOnce(Platform& platform, const std::string& componentName, RemovalJournal* journal,
                         const RunOnceGate& mayStart) {
  RegKeyPtr key;
  const std::string path = std::string(names::kComponentsKey) + componentName + "\\RunOnce";
  if (platform.registry().openKey(RegRoot::LocalMachine, path, access::kRead, key) != kSuccess) return;
  RegKeyInfo info;
  if (key->info(info) != kSuccess) return;
  for (uint32_t index = info.valueCount; index-- > 0;) {
    std::string name;
    const auto command = commandAt(platform.system(), *key, index, name);
    const auto program = command ? programOfCommand(platform, *command) : std::nullopt;
    if (program && mayStart && !mayStart(name, *command)) continue;
    // A command that fails or does not start is the component's own affair:
    // the removal goes on without it.
    if (program) (void)runAndWait(platform.system(), program->application, program->commandLine);
    if (command && !program && journal) journal->kept("command", *command, "no program file it names");
  }
}

}  // namespace cvl
