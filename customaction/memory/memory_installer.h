#pragma once
// An in-memory running installation for tests of the component fix-up. It
// answers exactly the three queries the fix-up sends, keeps the planned-state
// columns with their values, evaluates conditions from a table the test
// gives, records component-state requests, counts open handles, and can make
// any call fail.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "customaction/installer_services.h"

namespace cvl::customaction {

class MemoryInstaller final : public InstallerServices {
 public:
  using Field = std::variant<std::monostate, int, std::string>;

  enum class Call {
    ActiveDatabase, OpenView, ExecuteView, ColumnNames, GetString, GetInteger, SetInteger,
    Fetch, UpdateRow, EvaluateCondition, SetComponentState, CloseView, CloseHandle
  };

  struct Component {
    std::string name;
    std::string condition;
    int attributes = 0;
    std::optional<int> action;
    std::optional<int> actionRequest;
    std::optional<int> runtimeFlags;
  };

  MemoryInstaller();

  MsiHandle install() const { return kInstallHandle; }

  // Set-up.
  void addFeature(const std::string& name, std::optional<int> action);
  void addComponent(const Component& component);
  void addToFeature(const std::string& feature, const std::string& component);
  void setConditionResult(const std::string& condition, ConditionResult result);
  // Replaces the column layout of "Feature" or "Component"; values of
  // columns left out are kept but no longer visible.
  void setColumns(const std::string& table, std::vector<std::string> columns);
  // Every later call of that kind whose detail contains `detail` fails. The
  // detail is the query for view calls, "<column> of <component>" for field
  // calls on rows, the condition or component name for the installation calls.
  void failCalls(Call call, std::string detail = {});

  // Inspection.
  std::optional<int> componentInteger(const std::string& component, const std::string& column) const;
  const std::vector<std::pair<std::string, int>>& componentStateRequests() const {
    return stateRequests_;
  }
  const std::vector<std::string>& evaluatedConditions() const { return evaluated_; }
  std::size_t openHandles() const { return objects_.size(); }
  // Views released while still executed, and releases of unknown handles.
  std::size_t handleMisuses() const { return misuses_; }

  // InstallerServices.
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

 private:
  static constexpr MsiHandle kInstallHandle = 1;
  using Row = std::map<std::string, Field>;

  struct Table {
    std::vector<std::string> columns;
    std::vector<Row> rows;
  };
  enum class Query { FeatureJoin, Components, FeaturesOfComponent };
  struct Database {};
  struct Record {
    std::vector<Field> fields;
    std::vector<std::string> columns;  // names of the fields, empty for a column-name record
    MsiHandle view = 0;
    std::optional<std::size_t> componentRow;
    std::string component;  // whose row this is
  };
  struct View {
    Query query;
    std::string text;
    std::string component;  // of FeaturesOfComponent
    bool executed = false;
    std::vector<Record> results;  // taken when the view executes
    std::size_t next = 0;
  };
  using Object = std::variant<Database, View, Record>;

  bool fails(Call call, const std::string& detail) const;
  MsiHandle store(Object object);
  template <typename T> T* find(MsiHandle handle);
  std::optional<Query> parse(const std::string& query, std::string& component) const;
  std::vector<std::string> viewColumns(Query query) const;
  std::vector<Record> results(MsiHandle viewHandle, const View& view) const;
  const Field* field(MsiHandle record, unsigned field, std::string& detail);
  std::size_t componentIndex(const std::string& name) const;

  Table features_;
  Table links_;
  Table components_;
  std::map<std::string, ConditionResult> conditions_;
  std::vector<std::pair<Call, std::string>> failures_;
  std::map<MsiHandle, Object> objects_;
  MsiHandle nextHandle_ = 100;
  std::vector<std::pair<std::string, int>> stateRequests_;
  std::vector<std::string> evaluated_;
  std::size_t misuses_ = 0;
};

}  // namespace cvl::customaction
