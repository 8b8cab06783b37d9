#include "customaction/win32/msi_services.h"

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

namespace cvl::customaction {

static_assert(sizeof(MsiHandle) == sizeof(MSIHANDLE));

MsiHandle MsiServices::activeDatabase(MsiHandle install) { return MsiGetActiveDatabase(install); }

MsiStatus MsiServices::openView(MsiHandle database, const char* query, MsiHandle& view) {
  MSIHANDLE opened = 0;
  MsiStatus status = MsiDatabaseOpenViewA(database, query, &opened);
  view = opened;
  return status;
}

MsiStatus MsiServices::executeView(MsiHandle view) { return MsiViewExecute(view, 0); }

MsiStatus MsiServices::columnNames(MsiHandle view, MsiHandle& record) {
  MSIHANDLE names = 0;
  MsiStatus status = MsiViewGetColumnInfo(view, MSICOLINFO_NAMES, &names);
  record = names;
  return status;
}

unsigned MsiServices::fieldCount(MsiHandle record) { return MsiRecordGetFieldCount(record); }

MsiStatus MsiServices::getString(MsiHandle record, unsigned field, char* buffer,
                                 unsigned long& length) {
  DWORD size = length;
  MsiStatus status = MsiRecordGetStringA(record, field, buffer, &size);
  length = size;
  return status;
}

int MsiServices::getInteger(MsiHandle record, unsigned field) {
  return MsiRecordGetInteger(record, field);
}

MsiStatus MsiServices::setInteger(MsiHandle record, unsigned field, int value) {
  return MsiRecordSetInteger(record, field, value);
}

MsiStatus MsiServices::fetch(MsiHandle view, MsiHandle& record) {
  MSIHANDLE row = 0;
  MsiStatus status = MsiViewFetch(view, &row);
  record = row;
  return status;
}

MsiStatus MsiServices::updateRow(MsiHandle view, MsiHandle record) {
  return MsiViewModify(view, MSIMODIFY_UPDATE, record);
}

ConditionResult MsiServices::evaluateCondition(MsiHandle install, const char* condition) {
  return static_cast<ConditionResult>(MsiEvaluateConditionA(install, condition));
}

MsiStatus MsiServices::setComponentState(MsiHandle install, const char* component, int state) {
  return MsiSetComponentStateA(install, component, static_cast<INSTALLSTATE>(state));
}

MsiStatus MsiServices::closeView(MsiHandle view) { return MsiViewClose(view); }

MsiStatus MsiServices::closeHandle(MsiHandle handle) { return MsiCloseHandle(handle); }

}  // namespace cvl::customaction
