#pragma once
// The installer services of the running installation, through msi.dll's
// single-byte functions.
#include "customaction/installer_services.h"

namespace cvl::customaction {

class MsiServices final : public InstallerServices {
 public:
  MsiHandle activeDatabase(MsiHandle install) override;
  MsiStatus openView(MsiHandle database, const char* query, MsiHandle& view) override;
  MsiStatus executeView(MsiHandle view) override;
  MsiStatus columnNames(MsiHandle view, MsiHandle& record) override;
  unsigned fieldCount(MsiHandle record) override;
  MsiStatus getString(MsiHandle record, unsigned field, char* buffer,
                      unsigned long& length) override;
  int getInteger(MsiHandle record, unsigned field) override;
  MsiStatus setInteger(MsiHandle record, unsigned field, int value) override;
  MsiStatus fetch(MsiHandle view, MsiHandle& record) override;
  MsiStatus updateRow(MsiHandle view, MsiHandle record) override;
  ConditionResult evaluateCondition(MsiHandle install, const char* condition) override;
  MsiStatus setComponentState(MsiHandle install, const char* component, int state) override;
  MsiStatus closeView(MsiHandle view) override;
  MsiStatus closeHandle(MsiHandle handle) override;
};

}  // namespace cvl::customaction
