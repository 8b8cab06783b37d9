#include "customaction/fix_components.h"

#include <cstdio>
#include <cstring>

#include "customaction/component_state.h"
#include "customaction/installer_handle.h"
#include "customaction/record_fields.h"

namespace cvl::customaction {
namespace {

constexpr char kFeatureJoinQuery[] =
    "Select * FROM `Feature`,`FeatureComponents` WHERE Feature.Feature = "
    "FeatureComponents.Feature_";
constexpr char kComponentQuery[] = "Select * FROM `Component`";
constexpr char kFeaturesOfComponentQuery[] =
    "SELECT * FROM `Feature`,`FeatureComponents` WHERE Feature.Feature = "
    "FeatureComponents.Feature_ AND FeatureComponents.Component_ = '%s'";
constexpr unsigned kQueryBufferSize = 512;

struct ComponentColumns {
  int component = kAbsentColumn;
  int condition = kAbsentColumn;
  int attributes = kAbsentColumn;
  int action = kAbsentColumn;
  int actionRequest = kAbsentColumn;
  int runtimeFlags = kAbsentColumn;

  bool complete() const {
    return component != kAbsentColumn && condition != kAbsentColumn &&
           attributes != kAbsentColumn && action != kAbsentColumn &&
           actionRequest != kAbsentColumn && runtimeFlags != kAbsentColumn;
  }
};

class ComponentFixer {
 public:
  ComponentFixer(InstallerServices& services, MsiHandle install, MsiHandle database)
      : services_(services), install_(install), database_(database) {}

  bool learnFeatureActionColumn();
  void fixAll();

 private:
  bool learnComponentColumns(MsiHandle componentView);
  void fix(MsiHandle componentView, MsiHandle row);
  int wantedState(const char* component);
  void switchOn(MsiHandle componentView, MsiHandle row, int state);

  InstallerServices& services_;
  MsiHandle install_;
  MsiHandle database_;
  int featureAction_ = kAbsentColumn;
  ComponentColumns columns_;
};

// The joined feature rows must carry both the feature key and its planned
// state; without them there is nothing to decide on.
bool ComponentFixer::learnFeatureActionColumn() {
  InstallerView view(services_, database_, kFeatureJoinQuery);
  if (!view.execute()) return false;
  InstallerHandle names(services_);
  if (services_.columnNames(view.get(), names.receive()) != kMsiSuccess) return false;
  int feature = columnPosition(services_, names.get(), "Feature");
  featureAction_ = columnPosition(services_, names.get(), "Action");
  return feature != kAbsentColumn && featureAction_ != kAbsentColumn;
}

bool ComponentFixer::learnComponentColumns(MsiHandle componentView) {
  InstallerHandle names(services_);
  if (services_.columnNames(componentView, names.receive()) != kMsiSuccess) return false;
  columns_.condition = columnPosition(services_, names.get(), "Condition");
  columns_.component = columnPosition(services_, names.get(), "Component");
  columns_.action = columnPosition(services_, names.get(), "Action");
  columns_.actionRequest = columnPosition(services_, names.get(), "ActionRequest");
  columns_.attributes = columnPosition(services_, names.get(), "Attributes");
  columns_.runtimeFlags = columnPosition(services_, names.get(), "RuntimeFlags");
  return columns_.complete();
}

void ComponentFixer::fixAll() {
  InstallerView components(services_, database_, kComponentQuery);
  if (!components.execute() || !learnComponentColumns(components.get())) return;
  for (;;) {
    InstallerHandle row(services_);
    if (services_.fetch(components.get(), row.receive()) != kMsiSuccess || !row) return;
    fix(components.get(), row.get());
  }
}

// The component name is pasted into a query; a quote in it would change the
// query's meaning, and no valid component key contains one.
bool formatFeaturesQuery(const char* component, char (&query)[kQueryBufferSize]) {
  if (std::strchr(component, '\'') != nullptr) return false;
  int length = std::snprintf(query, sizeof query, kFeaturesOfComponentQuery, component);
  return length > 0 && static_cast<unsigned>(length) < sizeof query;
}

int ComponentFixer::wantedState(const char* component) {
  char query[kQueryBufferSize];
  if (!formatFeaturesQuery(component, query)) return kNotWanted;
  InstallerView features(services_, database_, query);
  if (!features.execute()) return kNotWanted;
  WantedState wanted;
  for (;;) {
    InstallerHandle feature(services_);
    if (services_.fetch(features.get(), feature.receive()) != kMsiSuccess || !feature) break;
    wanted.addFeature(services_.getInteger(feature.get(), static_cast<unsigned>(featureAction_)));
  }
  return wanted.state();
}

void ComponentFixer::fix(MsiHandle componentView, MsiHandle row) {
  char name[kTextBufferSize];
  if (!readText(services_, row, columns_.component, name)) return;
  int wanted = wantedState(name);
  if (wanted == kNotWanted) return;
  char condition[kTextBufferSize];
  if (!readText(services_, row, columns_.condition, condition) || condition[0] == '\0') return;

  int attributes = services_.getInteger(row, static_cast<unsigned>(columns_.attributes));
  ConditionResult result = services_.evaluateCondition(install_, condition);
  int action = services_.getInteger(row, static_cast<unsigned>(columns_.action));
  if (result == ConditionResult::False && isPlanned(action)) {
    services_.setComponentState(install_, name, kInstallStateAbsent);
  } else if (result == ConditionResult::True && !isPlanned(action)) {
    switchOn(componentView, row, switchOnState(attributes, wanted));
  }
}

// A row is written back only when every field took its new value.
void ComponentFixer::switchOn(MsiHandle componentView, MsiHandle row, int state) {
  auto field = [](int position) { return static_cast<unsigned>(position); };
  if (services_.setInteger(row, field(columns_.action), state) != kMsiSuccess ||
      services_.setInteger(row, field(columns_.actionRequest), state) != kMsiSuccess) {
    return;
  }
  int flags = services_.getInteger(row, field(columns_.runtimeFlags));
  if (services_.setInteger(row, field(columns_.runtimeFlags), flags & ~kRuntimeFlagHeldOff) !=
      kMsiSuccess) {
    return;
  }
  services_.updateRow(componentView, row);
}

}  // namespace

void fixComponents(InstallerServices& services, MsiHandle install) {
  InstallerHandle database(services, services.activeDatabase(install));
  if (!database) return;
  ComponentFixer fixer(services, install, database.get());
  if (fixer.learnFeatureActionColumn()) fixer.fixAll();
}

}  // namespace cvl::customaction
