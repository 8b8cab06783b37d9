#include "platform/win32/win32_registry.h"

#include <algorithm>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/ntdll_procedure.h"
#include "platform/win32/windows_family.h"
#include "platform/zero_byte.h"

namespace cvl::platform {
namespace {

// Key names are at most 255 characters and value names 16383, so larger
// capacities behave exactly like these.
constexpr uint32_t kKeyNameLimit = 256;
constexpr uint32_t kValueNameLimit = 16384;
constexpr int kAttempts = 4;  // a value may change size between two calls
// Most values fit here, so one call to the registry reads them.
constexpr DWORD kFirstReadSize = 512;

HKEY rootKey(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::Users: return HKEY_USERS;
  }
  return HKEY_CURRENT_USER;
}

// kOpenLink becomes the option it stands for; the 95 family reserves that
// option and has no links to open.
DWORD openOptions(uint32_t access) {
  return (access & access::kOpenLink) && runsOnNtFamily() ? REG_OPTION_OPEN_LINK : 0;
}

REGSAM rightsOf(uint32_t access) { return access & ~access::kOpenLink; }

// The data size asked for without a buffer may overstate an ANSI string,
// so the data is always read to learn its true size before capacity counts.
Status finishValue(std::vector<uint8_t>& data, DWORD type, DWORD size, uint32_t capacity, RegValue& value) {
  value.type = static_cast<RegType>(type);
  if (size > capacity) {
    value.data.assign(size, 0);
    return kMoreData;
  }
  data.resize(size);
  value.data = std::move(data);
  return kSuccess;
}

// The native calls that delete a key through its own handle; the Win32
// API deletes keys by name only.
struct NtCalls {
  LONG(WINAPI* deleteKey)(HANDLE) = nullptr;
  ULONG(WINAPI* toWin32Error)(LONG) = nullptr;
};

NtCalls ntCalls() {
  return NtCalls{ntdllFunction<decltype(NtCalls::deleteKey)>("NtDeleteKey"),
                 ntdllFunction<decltype(NtCalls::toWin32Error)>("RtlNtStatusToDosError")};
}

class Win32RegKey : public RegKey {
 public:
  explicit Win32RegKey(UniqueKey key) : key_(std::move(key)) {}

  Status info(RegKeyInfo& out) const override {
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
    Status s = RegQueryInfoKeyA(key_.get(), nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values,
                                &maxValueName, &maxData, nullptr, nullptr);
    if (s == kSuccess) out = {subKeys, values, maxSubKey, maxValueName, maxData};
    return s;
  }

  Status isLink(bool& out) const override {
    out = false;
    if (!runsOnNtFamily()) return kSuccess;
    DWORD type = REG_NONE;
    const Status s = RegQueryValueExA(key_.get(), "SymbolicLinkValue", nullptr, &type, nullptr, nullptr);
    if (s == kFileNotFound) return kSuccess;
    out = s == kSuccess && type == REG_LINK;
    return s;
  }

  Status enumKey(uint32_t index, std::string& name, uint32_t nameCapacity) const override {
    name.clear();
    const DWORD capacity = std::min(nameCapacity, kKeyNameLimit);
    std::string buffer(capacity + 1, '\0');
    DWORD length = capacity;
    Status s = RegEnumKeyExA(key_.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (s == kSuccess) name.assign(buffer.data(), length);
    return s;
  }

  Status enumValue(uint32_t index, std::string& name, RegValue* value, uint32_t nameCapacity,
                   uint32_t dataCapacity) const override {
    name.clear();
    const DWORD capacity = std::min(nameCapacity, kValueNameLimit);
    std::string buffer(capacity + 1, '\0');
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      DWORD length = capacity, type = 0, size = 0;
      Status s = RegEnumValueA(key_.get(), index, buffer.data(), &length, nullptr, &type, nullptr, &size);
      if (s != kSuccess) return s;
      if (!value) {
        name.assign(buffer.data(), length);
        return kSuccess;
      }
      std::vector<uint8_t> data(std::max<DWORD>(size, 1));
      length = capacity;
      size = static_cast<DWORD>(data.size());
      s = RegEnumValueA(key_.get(), index, buffer.data(), &length, nullptr, &type, data.data(), &size);
      if (s == kMoreData) continue;
      if (s != kSuccess) return s;
      name.assign(buffer.data(), length);
      return finishValue(data, type, size, dataCapacity, *value);
    }
    return kMoreData;
  }

  Status queryValue(const std::string& name, RegValue& value, uint32_t capacity) const override {
    if (holdsZeroByte(name)) return kInvalidName;
    std::vector<uint8_t> data(kFirstReadSize);
    DWORD type = 0, size = kFirstReadSize;
    Status s = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, data.data(), &size);
    for (int attempt = 0; s == kMoreData && attempt < kAttempts; ++attempt) {
      size = 0;
      s = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size);
      if (s != kSuccess) return s;
      data.assign(std::max<DWORD>(size, 1), 0);
      size = static_cast<DWORD>(data.size());
      s = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, data.data(), &size);
    }
    if (s != kSuccess) return s;
    return finishValue(data, type, size, capacity, value);
  }

  Status setValue(const std::string& name, const RegValue& value) override {
    if (holdsZeroByte(name)) return kInvalidName;
    return RegSetValueExA(key_.get(), name.c_str(), 0, static_cast<DWORD>(value.type), value.data.data(),
                          static_cast<DWORD>(value.data.size()));
  }

  Status deleteValue(const std::string& name) override {
    if (holdsZeroByte(name)) return kInvalidName;
    return RegDeleteValueA(key_.get(), name.c_str());
  }

  Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const override {
    return open(key_.get(), subKey, access, out);
  }

  Status createKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return create(key_.get(), subKey, access, out);
  }

  Status deleteKey(const std::string& subKey) override {
    if (holdsZeroByte(subKey)) return kInvalidName;
    return RegDeleteKeyA(key_.get(), subKey.c_str());
  }

  Status deleteSelf() override {
    static const NtCalls nt = ntCalls();
    if (!nt.deleteKey || !nt.toWin32Error) return kNotSupported;
    const LONG status = nt.deleteKey(key_.get());
    return status == 0 ? kSuccess : static_cast<Status>(nt.toWin32Error(status));
  }

  static Status open(HKEY parent, const std::string& subKey, uint32_t access, RegKeyPtr& out) {
    if (holdsZeroByte(subKey)) return kInvalidName;
    UniqueKey key;
    Status s = RegOpenKeyExA(parent, subKey.c_str(), openOptions(access), rightsOf(access), key.receive());
    if (s == kSuccess) out = std::make_unique<Win32RegKey>(std::move(key));
    return s;
  }

  static Status create(HKEY parent, const std::string& subKey, uint32_t access, RegKeyPtr& out) {
    if (holdsZeroByte(subKey)) return kInvalidName;
    UniqueKey key;
    Status s = RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, rightsOf(access), nullptr,
                               key.receive(), nullptr);
    if (s == kSuccess) out = std::make_unique<Win32RegKey>(std::move(key));
    return s;
  }

 private:
  UniqueKey key_;
};

}  // namespace

Status Win32Registry::openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) {
  return Win32RegKey::open(rootKey(root), subKey, access, out);
}

Status Win32Registry::createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) {
  return Win32RegKey::create(rootKey(root), subKey, access, out);
}

Status Win32Registry::deleteKey(RegRoot root, const std::string& subKey) {
  if (holdsZeroByte(subKey)) return kInvalidName;
  return RegDeleteKeyA(rootKey(root), subKey.c_str());
}

}  // namespace cvl::platform
