#include "platform/forwarding.h"
#include "settings_fixture.h"

using namespace cvl::platform;

namespace {

class RefusingKey : public ForwardingRegKey {
 public:
  RefusingKey(RegKeyPtr inner, const std::string& refused) : ForwardingRegKey(std::move(inner)), refused_(refused) {}

  Status setValue(const std::string& name, const RegValue& value) override {
    return equalsNoCase(name, refused_) ? kAccessDenied : inner_->setValue(name, value);
  }
  Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const override {
    return wrap(inner_->openKey(subKey, access, out), out, refused_);
  }
  Status createKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return wrap(inner_->createKey(subKey, access, out), out, refused_);
  }
  static Status wrap(Status status, RegKeyPtr& key, const std::string& refused) {
    if (status == kSuccess) key = std::make_unique<RefusingKey>(std::move(key), refused);
    return status;
  }

 private:
  const std::string& refused_;
};

class RefusingPlatform : public Platform, ForwardingRegistry {
 public:
  RefusingPlatform(Platform& inner, std::string refused)
      : ForwardingRegistry(inner.registry()), inner_(inner), refused_(std::move(refused)) {}
  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return RefusingKey::wrap(inner_.registry().openKey(root, subKey, access, out), out, refused_);
  }
  Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return RefusingKey::wrap(inner_.registry().createKey(root, subKey, access, out), out, refused_);
  }
  Registry& registry() override { return *this; }
  FileSystem& files() override { return inner_.files(); }
  System& system() override { return inner_.system(); }

 private:
  Platform& inner_;
  std::string refused_;
};

}  // namespace

namespace settings_test {

std::unique_ptr<Platform> refusingWritesOf(Platform& inner, std::string valueName) {
  return std::make_unique<RefusingPlatform>(inner, std::move(valueName));
}

}  // namespace settings_test
