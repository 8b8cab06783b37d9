// How a removal request spreads through groups and dependencies. A wrong
// answer here removes what other programs still need, or leaves what the
// user asked to remove.
#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "catalogue_fixture.h"

namespace cvl::test {
namespace {

class Spreading : public CatalogueTest {};

// A suite of two offered programs that share a library, a third program
// that needs the library too, and a group of tools below one program.
constexpr const char* kSuite = R"(
    "Word": {)" OFFERED R"(, "REQUIRED1": "Shared", "MEMBER1": "Spell", "MEMBER2": "Thesaurus"},
    "Excel": {)" OFFERED R"(, "REQUIRED1": "Shared"},
    "Draw": {)" OFFERED R"(, "REQUIRED1": "Shared"},
    "Shared": {)" ELIGIBLE R"(, "REQUIREDBY1": "Word", "REQUIREDBY2": "Excel", "REQUIREDBY3": "Draw"},
    "Spell": {)" ELIGIBLE R"(},
    "Thesaurus": {"SELECTED": "Yes", "INCLUDEINBUILD": "Yes"},
    "TopComponents": {"Item1": "Word", "Item2": "Excel", "Item3": "Draw"})";

// A group whose members the user sees (EXPAND) and a closed one.
constexpr const char* kGroups = R"(
    "Office": {)" OFFERED R"(, "MISC": "EXPAND", "MEMBER1": "Writer", "MEMBER2": "Sheet"},
    "Writer": {)" OFFERED R"(}, "Sheet": {)" OFFERED R"(},
    "Graphics": {)" OFFERED R"(, "MEMBER1": "Paint", "MEMBER2": "Filters"},
    "Paint": {)" ELIGIBLE R"(}, "Filters": {)" ELIGIBLE R"(, "REQUIREDBY1": "Publisher"},
    "Publisher": {)" OFFERED R"(, "REQUIRED1": "Filters"},
    "TopComponents": {"Item1": "Office", "Item2": "Graphics", "Item3": "Publisher"})";

// The suite with Draw not installed.
std::string drawNotInstalled() {
  std::string sections = kSuite;
  const std::string installed = R"("Draw": {"SELECTED": "Yes")";
  return sections.replace(sections.find(installed), installed.size(), R"("Draw": {"SELECTED": "No")");
}

// The components due after each round of requests, the catalogue built afresh for each case.
TEST_F(Spreading, RequestsSpreadToMembersAndToWhatNoDependentStillNeeds) {
  const struct {
    const char* name;
    std::string sections;
    std::vector<std::pair<Names, Names>> rounds;  // requests, then what is due
  } cases[] = {
      {"SharedComponentStaysWhileAnyDependentStays", kSuite, {{{"Word", "Excel"}, {"WORD", "EXCEL", "SPELL"}}}},
      {"SharedComponentGoesWithItsLastDependent", kSuite,
       {{{"Word", "Excel", "Draw"}, {"WORD", "EXCEL", "DRAW", "SHARED", "SPELL"}}}},
      {"DependentThatIsNotInstalledDoesNotHoldTheSharedComponent", drawNotInstalled(),
       {{{"Word", "Excel"}, {"WORD", "EXCEL", "SHARED", "SPELL"}}}},
      {"WholeGroupTakesItsMembers", kGroups, {{{"Office"}, {"OFFICE", "WRITER", "SHEET"}}}},
      {"OneMemberOfAnExpandedGroupGoesAlone", kGroups, {{{"Writer"}, {"WRITER"}}}},
      // Publisher still needs Filters.
      {"MemberAlsoNeededElsewhereWaitsForBoth", kGroups, {{{"Graphics"}, {"GRAPHICS", "PAINT"}}}},
      // Filters was not asked for by its own group.
      {"DependentAloneDoesNotTakeAMarkedMember", kGroups,
       {{{"Publisher"}, {"PUBLISHER"}}, {{"Graphics"}, {"GRAPHICS", "PAINT", "FILTERS", "PUBLISHER"}}}},
      // Other still needs Core, so Base is not asked either.
      {"RequiredChainStopsWhereSomethingElseStillNeedsIt", R"(
          "App": {)" OFFERED R"(, "REQUIRED1": "Runtime"},
          "Runtime": {)" ELIGIBLE R"(, "REQUIREDBY1": "App", "REQUIRED1": "Core"},
          "Core": {)" ELIGIBLE R"(, "REQUIREDBY1": "Runtime", "REQUIREDBY2": "Other", "REQUIRED1": "Base"},
          "Base": {)" ELIGIBLE R"(, "REQUIREDBY1": "Core"},
          "Other": {)" OFFERED R"(, "REQUIRED1": "Core"},
          "TopComponents": {"Item1": "App", "Item2": "Other"})",
       {{{"App"}, {"APP", "RUNTIME"}}, {{"Other"}, {"APP", "RUNTIME", "CORE", "BASE", "OTHER"}}}},
      {"RequiredComponentsAreAskedWhateverTheirFlags", R"(
          "App": {)" OFFERED R"(, "REQUIRED1": "Helper"}, "Helper": {"REQUIRED1": "Deeper"}, "Deeper": {},
          "TopComponents": {"Item1": "App"})",
       {{{"App"}, {"APP", "HELPER", "DEEPER"}}}},
      {"NamesThatNameNothingAreSkipped", R"(
          "App": {)" OFFERED R"(, "REQUIRED1": "Ghost", "MEMBER1": "Phantom", "REQUIREDBY1": "Spectre"},
          "TopComponents": {"Item1": "App", "Item2": "Wraith"})",
       {{{"App"}, {"APP"}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    catalogue.release();
    build(c.sections);
    for (const auto& [requests, dueNow] : c.rounds) {
      for (const std::string& name : requests) at(name).requestRemoval();
      EXPECT_EQ(due(), dueNow);
    }
  }
}

TEST_F(Spreading, SharedComponentCountsEachDependentOnceAndIneligibleMembersAreNeverAsked) {
  build(kSuite);
  ASSERT_EQ(at("Shared").dependents, 3);
  request({"Word", "Word", "Word"});
  EXPECT_EQ(at("Shared").removalRequests, 1);
  EXPECT_FALSE(at("Shared").isDueForRemoval());
  EXPECT_EQ(at("Spell").removalRequests, 1) << "due at one: the count goes no higher";
  EXPECT_EQ(at("Spell").requestsPassedOn, 3u) << "members hear every request of a due group";
  EXPECT_EQ(at("Thesaurus").removalRequests, 0);
  EXPECT_FALSE(at("Thesaurus").isDueForRemoval());
  request({"Excel"});
  EXPECT_EQ(at("Shared").removalRequests, 2);
}

TEST_F(Spreading, RequiredLoopEndsWithEachLinkUsedOnce) {
  build(R"(
    "A": {)" OFFERED R"(, "REQUIRED1": "B", "MEMBER1": "M"},
    "B": {)" ELIGIBLE R"(, "REQUIRED1": "A", "REQUIREDBY1": "A"}, "M": {)" ELIGIBLE R"(},
    "TopComponents": {"Item1": "A"})");
  request({"A"});
  EXPECT_EQ(at("A").requestsPassedOn, 2u) << "the user's request and B's";
  EXPECT_EQ(at("B").removalRequests, 1);
  EXPECT_EQ(at("M").requestsPassedOn, 2u);
  EXPECT_EQ(due(), (Names{"A", "B", "M"}));
}

// The rule as written: one call per request, counts without limit. Small
// catalogues only: it walks every path.
struct RuleAsWritten {
  struct State {
    int64_t requests = 0;
    std::set<std::string> requiredDone;
  };
  const ComponentMap& components;
  std::map<std::string, State> states;

  static int64_t needed(const CComponent& c) { return (c.marked ? 1 : 0) + c.dependents; }
  bool isDue(const CComponent& c) {
    const int64_t n = states[platform::upper(c.name)].requests;
    return n > 0 && n >= needed(c);
  }
  void request(const CComponent& c) {
    State& state = states[platform::upper(c.name)];
    ++state.requests;
    if (!isDue(c)) return;
    for (const std::string& name : c.members) {
      const CComponent* member = components.find(name);
      if (member && member->isEligible()) request(*member);
    }
    for (const std::string& name : c.required) {
      if (!state.requiredDone.insert(name).second) continue;
      if (const CComponent* other = components.find(name)) request(*other);
    }
  }
};

// Random catalogues of a few components: shared members, repeated names,
// REQUIRED loops, any flags. After every request the due result of each
// component is that of the rule as written, and its count is that count
// stopped where the due test can no longer tell it apart.
TEST_F(Spreading, CountsStoppedAtTheThresholdDecideAsCountingEveryRequestWould) {
  std::mt19937 random(13);
  auto chance = [&](int percent) { return int(random() % 100) < percent; };
  const int kComponents = 7;
  for (int round = 0; round < 400; ++round) {
    std::vector<std::string> sections;
    std::string top;
    for (int i = 0; i < kComponents; ++i) {
      std::string s = "\"C" + std::to_string(i) + "\": {";
      for (const char* flag : {"SELECTED", "UNINSTALLABLE", "INCLUDEINBUILD"}) {
        s += std::string("\"") + flag + "\": \"" + (chance(85) ? "Yes" : "No") + "\", ";
      }
      s += std::string("\"VISIBLE\": \"") + (chance(70) ? "Yes" : "No") + "\"";
      int key = 0;
      for (int j = 0; j < kComponents; ++j) {
        const std::string other = "\"C" + std::to_string(j) + "\"";
        for (int copies = (j > i && chance(40)) ? 1 + chance(15) : 0; copies > 0; --copies) {
          s += ", \"MEMBER" + std::to_string(++key) + "\": " + other;
        }
        if (chance(20)) s += ", \"REQUIRED" + std::to_string(++key) + "\": " + other;
        if (chance(25)) s += ", \"REQUIREDBY" + std::to_string(++key) + "\": " + other;
      }
      sections.push_back(s + "}");
      if (chance(30)) top += std::string(top.empty() ? "" : ", ") + "\"T" + std::to_string(i) + "\": \"C" + std::to_string(i) + "\"";
    }
    std::shuffle(sections.begin(), sections.end(), random);
    std::string all = "\"TopComponents\": {" + top + "}";
    for (const std::string& s : sections) all += ", " + s;
    catalogue.release();
    build(all);
    RuleAsWritten rule{catalogue.componentMap, {}};
    for (int r = 0, requests = 1 + random() % 4; r < requests; ++r) {
      CComponent& asked = at("C" + std::to_string(random() % kComponents));
      asked.requestRemoval();
      rule.request(asked);
      for (const auto& entry : catalogue.componentMap) {
        const CComponent& c = *entry.component;
        SCOPED_TRACE(all + "\nafter request " + std::to_string(r) + " to " + asked.name + ", at " + c.name);
        ASSERT_EQ(c.isDueForRemoval(), rule.isDue(c));
        const int64_t counted = rule.states[entry.key].requests;
        ASSERT_EQ(c.removalRequests, std::min(counted, std::max<int64_t>(1, RuleAsWritten::needed(c))));
      }
    }
  }
}

}  // namespace
}  // namespace cvl::test
