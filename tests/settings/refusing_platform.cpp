#include "refusing_platform.h"

using namespace cvl::platform;

namespace {

class RefusingKey : public RegKey {
 public:
  RefusingKey(RegKeyPtr inner, const std::string& refused) : inner_(std::move(inner)), refused_(refused) {}

  Status info(RegKeyInfo& out) const override { return inner_->info(out); }
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
  Status setValue(const std::string& name, const RegValue& value) override {
    return equalsNoCase(name, refused_) ? kAccessDenied : inner_->setValue(name, value);
  }
  Status deleteValue(const std::string& name) override { return inner_->deleteValue(name); }
  Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const override {
    return wrap(inner_->openKey(subKey, access, out), out, refused_);
  }
  Status createKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return wrap(inner_->createKey(subKey, access, out), out, refused_);
  }
  Status deleteKey(const std::string& subKey) override { return inner_->deleteKey(subKey); }

  static Status wrap(Status status, RegKeyPtr& key, const std::string& refused) {
    if (status == kSuccess) key = std::make_unique<RefusingKey>(std::move(key), refused);
    return status;
  }

 private:
  RegKeyPtr inner_;
  const std::string& refused_;
};

class RefusingRegistry : public Registry {
 public:
  RefusingRegistry(Registry& inner, std::string refused) : inner_(inner), refused_(std::move(refused)) {}

  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return RefusingKey::wrap(inner_.openKey(root, subKey, access, out), out, refused_);
  }
  Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return RefusingKey::wrap(inner_.createKey(root, subKey, access, out), out, refused_);
  }
  Status deleteKey(RegRoot root, const std::string& subKey) override { return inner_.deleteKey(root, subKey); }

 private:
  Registry& inner_;
  std::string refused_;
};

class RefusingPlatform : public Platform {
 public:
  RefusingPlatform(Platform& inner, std::string refused) : inner_(inner), registry_(inner.registry(), refused) {}
  Registry& registry() override { return registry_; }
  FileSystem& files() override { return inner_.files(); }
  System& system() override { return inner_.system(); }

 private:
  Platform& inner_;
  RefusingRegistry registry_;
};

}  // namespace

std::unique_ptr<Platform> refusingWritesOf(Platform& inner, std::string valueName) {
  return std::make_unique<RefusingPlatform>(inner, std::move(valueName));
}
