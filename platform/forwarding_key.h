#pragma once
// A key that passes every call to the key it wraps. Wrappers that watch or
// refuse a few calls (a run's log, test faults) override only those, and
// wrap the keys they open in turn.
#include "platform/registry.h"

namespace cvl::platform {

class ForwardingRegKey : public RegKey {
 public:
  explicit ForwardingRegKey(RegKeyPtr inner) : inner_(std::move(inner)) {}

  Status info(RegKeyInfo& out) const override { return inner_->info(out); }
  Status isLink(bool& out) const override { return inner_->isLink(out); }
  Status enumKey(uint32_t index, std::string& name, uint32_t capacity) const override {
    return inner_->enumKey(index, name, capacity);
  }
  Status enumValue(uint32_t index, std::string& name, RegValue* value, uint32_t nameCapacity,
                   uint32_t dataCapacity) const override {
    return inner_->enumValue(index, name, value, nameCapacity, dataCapacity);
  }
  Status queryValue(const std::string& name, RegValue& value, uint32_t capacity) const override {
    return inner_->queryValue(name, value, capacity);
  }
  Status setValue(const std::string& name, const RegValue& value) override { return inner_->setValue(name, value); }
  Status deleteValue(const std::string& name) override { return inner_->deleteValue(name); }
  Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const override {
    return inner_->openKey(subKey, access, out);
  }
  Status createKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return inner_->createKey(subKey, access, out);
  }
  Status deleteKey(const std::string& subKey) override { return inner_->deleteKey(subKey); }
  Status deleteSelf() override { return inner_->deleteSelf(); }

 protected:
  RegKeyPtr inner_;
};

}  // namespace cvl::platform
