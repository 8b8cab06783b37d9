#include "uninstaller/catalogue/display_text.h"

namespace cvl {

namespace {

std::string withoutTrailingSpace(std::string text) {
  const auto last = text.find_last_not_of(" \t\r\n\v\f");
  text.erase(last == std::string::npos ? 0 : last + 1);
  return text;
}

std::string lookUp(const DataStrings& dataStrings, const std::string& id) {
  const auto found = dataStrings.find(id);
  return found == dataStrings.end() ? std::string() : withoutTrailingSpace(found->second);
}

}  // namespace

std::string displayTextOf(const CComponent& component, const DataStrings& dataStrings) {
  std::string text = lookUp(dataStrings, component.displayText);
  if (text.empty()) text = component.displayText;
  if (text.empty()) text = component.name;
  return text;
}

std::string descriptionOf(const CComponent& component, const DataStrings& dataStrings) {
  return lookUp(dataStrings, component.description);
}

}  // namespace cvl
