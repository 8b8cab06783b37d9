#pragma once
// The installer's coding of planned states in the Action columns and the
// component attribute bits the fix-up honours.

namespace cvl::customaction {

inline constexpr int kActionLocal = 1;
inline constexpr int kActionSource = 2;
inline constexpr int kNotWanted = 0;

inline constexpr int kAttributeSourceOnly = 1;
inline constexpr int kAttributeOptional = 2;

// The installer's runtime flag that holds a component off; switching the
// component on clears it.
inline constexpr int kRuntimeFlagHeldOff = 8;

constexpr bool isPlanned(int action) {
  return action == kActionLocal || action == kActionSource;
}

// Folds the planned states of a component's features into the state the
// component is wanted in: local wins over source; kNotWanted when no feature
// is being installed.
class WantedState {
 public:
  void addFeature(int featureAction) {
    local_ = local_ || featureAction == kActionLocal;
    source_ = source_ || featureAction == kActionSource;
  }
  int state() const { return local_ ? kActionLocal : source_ ? kActionSource : kNotWanted; }

 private:
  bool local_ = false;
  bool source_ = false;
};

// The state a component is switched on to: source-only components run from
// source, optional ones follow their features, all others install locally.
constexpr int switchOnState(int attributes, int wanted) {
  if (attributes & kAttributeSourceOnly) return kActionSource;
  if (attributes & kAttributeOptional) return wanted;
  return kActionLocal;
}

}  // namespace cvl::customaction
