#pragma once
// Runs a tool that sits beside the test program and looks at the real registry.
#include <windows.h>

#include <optional>
#include <string>

namespace tools_test {

// The tool's exit status, or nullopt when it did not start or end in time.
std::optional<DWORD> runTool(const char* exeName);

struct StringValue {
  DWORD type = 0;
  DWORD size = 0;
  std::string text;
};

bool keyExists(HKEY root, const std::string& path);
void createKey(HKEY root, const std::string& path, bool isVolatile = false);
void setString(HKEY root, const std::string& path, const char* name, const std::string& text);
std::optional<StringValue> readValue(HKEY root, const std::string& path, const char* name);
DWORD subkeyCount(HKEY root, const std::string& path);
DWORD valueCount(HKEY root, const std::string& path);
// Deletes the key with everything below it; a missing key is fine.
void deleteTree(HKEY root, const std::string& path);

}  // namespace tools_test
