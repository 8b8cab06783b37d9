#include "fixup_scenario.h"

#include <cstring>

namespace fixup_scenario {
namespace {

bool run(MSIHANDLE database, const char* statement) {
  MSIHANDLE view = 0;
  if (MsiDatabaseOpenViewA(database, statement, &view) != ERROR_SUCCESS) return false;
  bool ran = MsiViewExecute(view, 0) == ERROR_SUCCESS;
  MsiViewClose(view);
  MsiCloseHandle(view);
  return ran;
}

// Wine ignores a temporary column added to a table nobody holds, so each
// column is added with HOLD. Columns first, then their values.
const char* const kStatements[] = {
    "ALTER TABLE `Feature` ADD `Action` SHORT TEMPORARY HOLD",
    "ALTER TABLE `Component` ADD `Action` SHORT TEMPORARY HOLD",
    "ALTER TABLE `Component` ADD `ActionRequest` SHORT TEMPORARY HOLD",
    "ALTER TABLE `Component` ADD `RuntimeFlags` SHORT TEMPORARY HOLD",
    "UPDATE `Feature` SET `Action` = 1 WHERE `Feature` = 'Main'",
    "UPDATE `Feature` SET `Action` = 2 WHERE `Feature` = 'Extras'",
    "UPDATE `Feature` SET `Action` = 0 WHERE `Feature` = 'Left'",
    "UPDATE `Component` SET `Action` = 0, `ActionRequest` = 0, `RuntimeFlags` = 12",
    "UPDATE `Component` SET `Action` = 1, `ActionRequest` = 1 WHERE `Component` = 'Plain'",
    "UPDATE `Component` SET `Action` = 1, `ActionRequest` = 1 WHERE `Component` = 'SwitchOff'",
};

std::string field(MSIHANDLE record, UINT at) {
  if (MsiRecordIsNull(record, at)) return "-";
  return std::to_string(MsiRecordGetInteger(record, at));
}

}  // namespace

bool prepare(MSIHANDLE install, bool withFeatureAction) {
  MSIHANDLE database = MsiGetActiveDatabase(install);
  bool ok = database != 0;
  for (const char* statement : kStatements) {
    const bool onFeatures = std::strstr(statement, "`Feature`") != nullptr;
    if (withFeatureAction || !onFeatures) ok = ok && run(database, statement);
  }
  MsiCloseHandle(database);
  return ok && MsiSetPropertyA(install, "OFFPROP", "") == ERROR_SUCCESS &&
         MsiSetPropertyA(install, "ONPROP", "1") == ERROR_SUCCESS;
}

std::string outcome(MSIHANDLE install) {
  std::string text;
  MSIHANDLE database = MsiGetActiveDatabase(install);
  MSIHANDLE view = 0;
  if (MsiDatabaseOpenViewA(database,
                           "SELECT `Component`, `Action`, `ActionRequest`, `RuntimeFlags` "
                           "FROM `Component`",
                           &view) == ERROR_SUCCESS &&
      MsiViewExecute(view, 0) == ERROR_SUCCESS) {
    MSIHANDLE row = 0;
    while (MsiViewFetch(view, &row) == ERROR_SUCCESS) {
      char name[80];
      DWORD size = sizeof name;
      MsiRecordGetStringA(row, 1, name, &size);
      text += std::string(name) + " " + field(row, 2) + " " + field(row, 3) + " " +
              field(row, 4) + "\n";
      MsiCloseHandle(row);
    }
    MsiViewClose(view);
  }
  MsiCloseHandle(view);
  MsiCloseHandle(database);
  INSTALLSTATE installed = INSTALLSTATE_UNKNOWN, requested = INSTALLSTATE_UNKNOWN;
  MsiGetComponentStateA(install, "SwitchOff", &installed, &requested);
  return text + "SwitchOff requested " + std::to_string(requested) + "\n";
}

}  // namespace fixup_scenario
