#include "uninstaller/catalogue/component_rules.h"

#include <string_view>

#include "platform/platform.h"

namespace cvl {

namespace {

enum class Match { Whole, Prefix };

struct Rule {
  std::string_view word;
  Match match;
  void (*apply)(CComponent&, const std::string& value);
};

bool isYes(const std::string& value) { return value == "YES"; }
bool mentions(const std::string& value, std::string_view word) { return value.find(word) != std::string::npos; }

void appendIfAny(std::vector<std::string>& list, const std::string& value) {
  if (!value.empty()) list.push_back(value);
}

// REQUIREDBY precedes REQUIRED: every key of the first also begins with the second.
constexpr Rule kRules[] = {
    {"DISPLAYTEXT", Match::Whole, [](CComponent& c, const std::string& v) { c.displayText = v; }},
    {"DESCRIPTION", Match::Whole, [](CComponent& c, const std::string& v) { c.description = v; }},
    {"EXETORUN", Match::Whole, [](CComponent& c, const std::string& v) { c.exeToRun = v; }},
    {"TARGET", Match::Whole, [](CComponent& c, const std::string& v) { c.target = v; }},
    {"UNINSTALLABLE", Match::Whole, [](CComponent& c, const std::string& v) { c.uninstallable = isYes(v); }},
    {"INCLUDEINBUILD", Match::Whole, [](CComponent& c, const std::string& v) { c.includeInBuild = isYes(v); }},
    {"VISIBLE", Match::Whole, [](CComponent& c, const std::string& v) { c.visible = isYes(v); }},
    {"SELECTED", Match::Whole, [](CComponent& c, const std::string& v) { c.selected = isYes(v); }},
    {"MISC", Match::Whole,
     [](CComponent& c, const std::string& v) {
       c.served = mentions(v, "SERVED");
       c.expand = mentions(v, "EXPAND");
       c.vba = mentions(v, "VBA");
     }},
    {"MEMBER", Match::Prefix, [](CComponent& c, const std::string& v) { appendIfAny(c.members, v); }},
    {"REQUIREDBY", Match::Prefix, [](CComponent& c, const std::string& v) { appendIfAny(c.requiredBy, v); }},
    {"REQUIRED", Match::Prefix, [](CComponent& c, const std::string& v) { appendIfAny(c.required, v); }},
    {"FILEGROUP", Match::Prefix, [](CComponent& c, const std::string& v) { appendIfAny(c.fileGroups, v); }},
};

bool matches(const Rule& rule, std::string_view key) {
  return rule.match == Match::Whole ? key == rule.word : key.substr(0, rule.word.size()) == rule.word;
}

}  // namespace

// A target folder keeps the record's spelling: the removal log names paths
// as the administrator knows them. Every other value is a word or a name
// that is compared in upper case.
void applyComponentPair(CComponent& component, const std::string& key, const std::string& value) {
  const std::string upperKey = platform::upper(key);
  for (const Rule& rule : kRules) {
    if (matches(rule, upperKey)) {
      rule.apply(component, rule.word == "TARGET" ? value : platform::upper(value));
      return;
    }
  }
}

}  // namespace cvl
