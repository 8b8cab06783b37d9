#include "customaction/memory/memory_installer.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace cvl::customaction {
namespace {

constexpr MsiStatus kInvalidHandle = 6;
constexpr MsiStatus kUnknownComponent = 1607;

constexpr char kFeatureJoinQuery[] =
    "Select * FROM `Feature`,`FeatureComponents` WHERE Feature.Feature = "
    "FeatureComponents.Feature_";
constexpr char kComponentQuery[] = "Select * FROM `Component`";
constexpr char kFeaturesOfComponentPrefix[] =
    "SELECT * FROM `Feature`,`FeatureComponents` WHERE Feature.Feature = "
    "FeatureComponents.Feature_ AND FeatureComponents.Component_ = '";

// Hidden state columns sit after the authored ones, as in a running
// installation; the fix-up must find them by name.
const std::vector<std::string> kFeatureColumns = {
    "Feature", "Feature_Parent", "Title", "Description", "Display", "Level",
    "Directory_", "Attributes", "Installed", "Action", "ActionRequest"};
const std::vector<std::string> kComponentColumns = {
    "Component", "ComponentId", "Directory_", "Attributes", "Condition", "KeyPath",
    "Installed", "Action", "ActionRequest", "RuntimeFlags"};
const std::vector<std::string> kLinkColumns = {"Feature_", "Component_"};

MemoryInstaller::Field optionalInteger(std::optional<int> value) {
  if (!value) return std::monostate{};
  return *value;
}

std::string fieldText(const MemoryInstaller::Field& field) {
  if (const int* number = std::get_if<int>(&field)) return std::to_string(*number);
  if (const std::string* text = std::get_if<std::string>(&field)) return *text;
  return {};
}

int fieldInteger(const MemoryInstaller::Field& field) {
  if (const int* number = std::get_if<int>(&field)) return *number;
  const std::string* text = std::get_if<std::string>(&field);
  int value = kMsiNullInteger;
  if (text == nullptr || text->empty()) return kMsiNullInteger;
  auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  return error == std::errc{} && end == text->data() + text->size() ? value : kMsiNullInteger;
}

}  // namespace

MemoryInstaller::MemoryInstaller() {
  features_.columns = kFeatureColumns;
  components_.columns = kComponentColumns;
  links_.columns = kLinkColumns;
}

void MemoryInstaller::addFeature(const std::string& name, std::optional<int> action) {
  features_.rows.push_back({{"Feature", name}, {"Level", 1}, {"Attributes", 0},
                            {"Action", optionalInteger(action)},
                            {"ActionRequest", optionalInteger(action)}});
}

void MemoryInstaller::addComponent(const Component& component) {
  components_.rows.push_back({{"Component", component.name},
                              {"ComponentId", "{" + component.name + "}"},
                              {"Directory_", "INSTALLDIR"},
                              {"Attributes", component.attributes},
                              {"Condition", component.condition},
                              {"Action", optionalInteger(component.action)},
                              {"ActionRequest", optionalInteger(component.actionRequest)},
                              {"RuntimeFlags", optionalInteger(component.runtimeFlags)}});
}

void MemoryInstaller::addToFeature(const std::string& feature, const std::string& component) {
  links_.rows.push_back({{"Feature_", feature}, {"Component_", component}});
}

void MemoryInstaller::setConditionResult(const std::string& condition, ConditionResult result) {
  conditions_[condition] = result;
}

void MemoryInstaller::setColumns(const std::string& table, std::vector<std::string> columns) {
  (table == "Feature" ? features_ : components_).columns = std::move(columns);
}

void MemoryInstaller::failCalls(Call call, std::string detail) {
  failures_.emplace_back(call, std::move(detail));
}

std::optional<int> MemoryInstaller::componentInteger(const std::string& component,
                                                     const std::string& column) const {
  std::size_t at = componentIndex(component);
  if (at == components_.rows.size()) return std::nullopt;
  auto value = components_.rows[at].find(column);
  if (value == components_.rows[at].end()) return std::nullopt;
  int number = fieldInteger(value->second);
  if (number == kMsiNullInteger) return std::nullopt;
  return number;
}

bool MemoryInstaller::fails(Call call, const std::string& detail) const {
  return std::any_of(failures_.begin(), failures_.end(), [&](const auto& failure) {
    return failure.first == call && detail.find(failure.second) != std::string::npos;
  });
}

MsiHandle MemoryInstaller::store(Object object) {
  MsiHandle handle = nextHandle_++;
  objects_.emplace(handle, std::move(object));
  return handle;
}

template <typename T>
T* MemoryInstaller::find(MsiHandle handle) {
  auto object = objects_.find(handle);
  return object == objects_.end() ? nullptr : std::get_if<T>(&object->second);
}

std::size_t MemoryInstaller::componentIndex(const std::string& name) const {
  auto row = std::find_if(components_.rows.begin(), components_.rows.end(), [&](const Row& r) {
    auto key = r.find("Component");
    return key != r.end() && fieldText(key->second) == name;
  });
  return static_cast<std::size_t>(row - components_.rows.begin());
}

std::optional<MemoryInstaller::Query> MemoryInstaller::parse(const std::string& query,
                                                             std::string& component) const {
  if (query == kFeatureJoinQuery) return Query::FeatureJoin;
  if (query == kComponentQuery) return Query::Components;
  std::string prefix = kFeaturesOfComponentPrefix;
  if (query.size() > prefix.size() && query.compare(0, prefix.size(), prefix) == 0 &&
      query.back() == '\'') {
    component = query.substr(prefix.size(), query.size() - prefix.size() - 1);
    if (component.find('\'') == std::string::npos) return Query::FeaturesOfComponent;
  }
  return std::nullopt;
}

std::vector<std::string> MemoryInstaller::viewColumns(Query query) const {
  if (query == Query::Components) return components_.columns;
  std::vector<std::string> columns = features_.columns;
  columns.insert(columns.end(), links_.columns.begin(), links_.columns.end());
  return columns;
}

std::vector<MemoryInstaller::Record> MemoryInstaller::results(MsiHandle viewHandle,
                                                              const View& view) const {
  std::vector<std::string> columns = viewColumns(view.query);
  auto record = [&](const std::vector<const Row*>& rows) {
    Record result{{}, columns, viewHandle, std::nullopt, {}};
    for (const std::string& column : columns) {
      Field value;
      for (const Row* row : rows) {
        if (auto found = row->find(column); found != row->end()) value = found->second;
      }
      result.fields.push_back(value);
    }
    return result;
  };
  std::vector<Record> out;
  if (view.query == Query::Components) {
    for (std::size_t at = 0; at < components_.rows.size(); ++at) {
      out.push_back(record({&components_.rows[at]}));
      out.back().componentRow = at;
      out.back().component = fieldText(components_.rows[at].at("Component"));
    }
    return out;
  }
  for (const Row& link : links_.rows) {
    std::string feature = fieldText(link.at("Feature_"));
    if (view.query == Query::FeaturesOfComponent &&
        fieldText(link.at("Component_")) != view.component) {
      continue;
    }
    for (const Row& row : features_.rows) {
      if (fieldText(row.at("Feature")) != feature) continue;
      out.push_back(record({&row, &link}));
      out.back().component = fieldText(link.at("Component_"));
    }
  }
  return out;
}

MsiHandle MemoryInstaller::activeDatabase(MsiHandle install) {
  if (install != kInstallHandle || fails(Call::ActiveDatabase, "")) return 0;
  return store(Database{});
}

MsiStatus MemoryInstaller::openView(MsiHandle database, const char* query, MsiHandle& view) {
  view = 0;
  if (find<Database>(database) == nullptr) return kInvalidHandle;
  std::string component;
  std::optional<Query> kind = parse(query, component);
  if (!kind || fails(Call::OpenView, query)) return kMsiBadQuerySyntax;
  View opened;
  opened.query = *kind;
  opened.text = query;
  opened.component = component;
  view = store(std::move(opened));
  return kMsiSuccess;
}

MsiStatus MemoryInstaller::executeView(MsiHandle handle) {
  View* view = find<View>(handle);
  if (view == nullptr) return kInvalidHandle;
  if (fails(Call::ExecuteView, view->text)) return kMsiFunctionFailed;
  view->results = results(handle, *view);
  view->next = 0;
  view->executed = true;
  return kMsiSuccess;
}

MsiStatus MemoryInstaller::columnNames(MsiHandle handle, MsiHandle& record) {
  record = 0;
  View* view = find<View>(handle);
  if (view == nullptr) return kInvalidHandle;
  if (fails(Call::ColumnNames, view->text)) return kMsiFunctionFailed;
  Record names;
  for (const std::string& column : viewColumns(view->query)) names.fields.push_back(column);
  record = store(std::move(names));
  return kMsiSuccess;
}

unsigned MemoryInstaller::fieldCount(MsiHandle record) {
  Record* found = find<Record>(record);
  return found == nullptr ? static_cast<unsigned>(-1) : static_cast<unsigned>(found->fields.size());
}

const MemoryInstaller::Field* MemoryInstaller::field(MsiHandle handle, unsigned at,
                                                     std::string& detail) {
  Record* record = find<Record>(handle);
  if (record == nullptr || at < 1 || at > record->fields.size()) return nullptr;
  if (!record->columns.empty()) detail = record->columns[at - 1] + " of " + record->component;
  return &record->fields[at - 1];
}

MsiStatus MemoryInstaller::getString(MsiHandle record, unsigned at, char* buffer,
                                     unsigned long& length) {
  std::string column;
  const Field* value = field(record, at, column);
  if (find<Record>(record) == nullptr) return kInvalidHandle;
  if (fails(Call::GetString, column)) return kMsiFunctionFailed;
  std::string text = value == nullptr ? std::string() : fieldText(*value);
  unsigned long room = length;
  length = static_cast<unsigned long>(text.size());
  if (room == 0) return kMsiMoreData;
  std::size_t copied = std::min<std::size_t>(text.size(), room - 1);
  std::memcpy(buffer, text.data(), copied);
  buffer[copied] = '\0';
  return text.size() < room ? kMsiSuccess : kMsiMoreData;
}

int MemoryInstaller::getInteger(MsiHandle record, unsigned at) {
  std::string column;
  const Field* value = field(record, at, column);
  if (value == nullptr || fails(Call::GetInteger, column)) return kMsiNullInteger;
  return fieldInteger(*value);
}

MsiStatus MemoryInstaller::setInteger(MsiHandle handle, unsigned at, int value) {
  std::string column;
  if (find<Record>(handle) == nullptr) return kInvalidHandle;
  if (field(handle, at, column) == nullptr) return kMsiInvalidParameter;
  if (fails(Call::SetInteger, column)) return kMsiFunctionFailed;
  Field& target = find<Record>(handle)->fields[at - 1];
  target = value == kMsiNullInteger ? Field{} : Field{value};
  return kMsiSuccess;
}

MsiStatus MemoryInstaller::fetch(MsiHandle handle, MsiHandle& record) {
  record = 0;
  View* view = find<View>(handle);
  if (view == nullptr) return kInvalidHandle;
  if (!view->executed || fails(Call::Fetch, view->text)) return kMsiFunctionFailed;
  if (view->next == view->results.size()) return kMsiNoMoreItems;
  Record row = view->results[view->next++];
  record = store(std::move(row));
  return kMsiSuccess;
}

MsiStatus MemoryInstaller::updateRow(MsiHandle viewHandle, MsiHandle recordHandle) {
  View* view = find<View>(viewHandle);
  Record* record = find<Record>(recordHandle);
  if (view == nullptr || record == nullptr) return kInvalidHandle;
  if (!view->executed || record->view != viewHandle || !record->componentRow ||
      fails(Call::UpdateRow, view->text)) {
    return kMsiFunctionFailed;
  }
  Row& row = components_.rows[*record->componentRow];
  for (std::size_t at = 0; at < record->columns.size(); ++at) {
    row[record->columns[at]] = record->fields[at];
  }
  return kMsiSuccess;
}

ConditionResult MemoryInstaller::evaluateCondition(MsiHandle install, const char* condition) {
  if (install != kInstallHandle) return ConditionResult::Error;
  evaluated_.emplace_back(condition);
  if (fails(Call::EvaluateCondition, condition)) return ConditionResult::Error;
  auto known = conditions_.find(condition);
  return known == conditions_.end() ? ConditionResult::Error : known->second;
}

MsiStatus MemoryInstaller::setComponentState(MsiHandle install, const char* component, int state) {
  if (install != kInstallHandle) return kInvalidHandle;
  stateRequests_.emplace_back(component, state);
  if (fails(Call::SetComponentState, component)) return kMsiFunctionFailed;
  return componentIndex(component) == components_.rows.size() ? kUnknownComponent : kMsiSuccess;
}

MsiStatus MemoryInstaller::closeView(MsiHandle handle) {
  View* view = find<View>(handle);
  if (view == nullptr) return kInvalidHandle;
  if (!view->executed || fails(Call::CloseView, view->text)) return kMsiFunctionFailed;
  view->executed = false;
  return kMsiSuccess;
}

MsiStatus MemoryInstaller::closeHandle(MsiHandle handle) {
  auto object = objects_.find(handle);
  if (object == objects_.end()) {
    ++misuses_;
    return kInvalidHandle;
  }
  if (const View* view = std::get_if<View>(&object->second); view != nullptr && view->executed) {
    ++misuses_;
  }
  objects_.erase(object);
  return kMsiSuccess;
}

}  // namespace cvl::customaction
