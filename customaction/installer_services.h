#pragma once
// The Windows Installer services the component fix-up uses, one operation per
// installer function. The real binding calls msi.dll; an in-memory database
// stands in for it in tests. Semantics follow the installer functions exactly:
// statuses are Win32 codes, fields are 1-based, strings are single-byte.
#include <climits>

namespace cvl::customaction {

using MsiHandle = unsigned long;  // 0 means "no handle"
using MsiStatus = unsigned;

inline constexpr MsiStatus kMsiSuccess = 0;
inline constexpr MsiStatus kMsiInvalidParameter = 87;
inline constexpr MsiStatus kMsiMoreData = 234;
inline constexpr MsiStatus kMsiNoMoreItems = 259;
inline constexpr MsiStatus kMsiBadQuerySyntax = 1615;
inline constexpr MsiStatus kMsiFunctionFailed = 1627;

inline constexpr int kMsiNullInteger = INT_MIN;  // an empty integer field

// Component states as MsiSetComponentState takes them.
inline constexpr int kInstallStateAbsent = 2;

enum class ConditionResult { False = 0, True = 1, None = 2, Error = 3 };

class InstallerServices {
 public:
  virtual ~InstallerServices() = default;

  virtual MsiHandle activeDatabase(MsiHandle install) = 0;
  virtual MsiStatus openView(MsiHandle database, const char* query, MsiHandle& view) = 0;
  virtual MsiStatus executeView(MsiHandle view) = 0;
  // A record holding the view's column names.
  virtual MsiStatus columnNames(MsiHandle view, MsiHandle& record) = 0;
  virtual unsigned fieldCount(MsiHandle record) = 0;
  // Copies at most length-1 characters; length returns the full text length.
  virtual MsiStatus getString(MsiHandle record, unsigned field, char* buffer,
                              unsigned long& length) = 0;
  virtual int getInteger(MsiHandle record, unsigned field) = 0;
  virtual MsiStatus setInteger(MsiHandle record, unsigned field, int value) = 0;
  virtual MsiStatus fetch(MsiHandle view, MsiHandle& record) = 0;
  // Writes a fetched row back to its table.
  virtual MsiStatus updateRow(MsiHandle view, MsiHandle record) = 0;
  virtual ConditionResult evaluateCondition(MsiHandle install, const char* condition) = 0;
  virtual MsiStatus setComponentState(MsiHandle install, const char* component, int state) = 0;
  virtual MsiStatus closeView(MsiHandle view) = 0;
  virtual MsiStatus closeHandle(MsiHandle handle) = 0;
};

}  // namespace cvl::customaction
