#include "tool_harness.h"

#include "tests/support/child_process.h"

namespace tools_test {

std::optional<DWORD> runTool(const char* exeName) {
  return cvl::test::runToExit("\"" + cvl::test::programDirectory() + exeName + "\"", 60000);
}

bool keyExists(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void createKey(HKEY root, const std::string& path, bool isVolatile) {
  HKEY key;
  DWORD options = isVolatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
}

void setString(HKEY root, const std::string& path, const char* name, const std::string& text) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

std::optional<StringValue> readValue(HKEY root, const std::string& path, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  StringValue value;
  char data[512] = {};
  value.size = sizeof data - 1;
  LONG status = RegQueryValueExA(key, name, nullptr, &value.type,
                                 reinterpret_cast<BYTE*>(data), &value.size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  value.text = data;
  return value;
}

static DWORD countOf(HKEY root, const std::string& path, bool subkeys) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD keys = 0, values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return subkeys ? keys : values;
}

DWORD subkeyCount(HKEY root, const std::string& path) { return countOf(root, path, true); }
DWORD valueCount(HKEY root, const std::string& path) { return countOf(root, path, false); }

void deleteTree(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  for (;;) {
    char child[256];
    DWORD size = sizeof child;
    if (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    std::string childPath = path + "\\" + child;
    deleteTree(root, childPath);
    if (keyExists(root, childPath)) break;  // undeletable: stop rather than spin
  }
  RegCloseKey(key);
  RegDeleteKeyA(root, path.c_str());
}

}  // namespace tools_test
