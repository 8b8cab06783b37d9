#include <utility>

#include "tools/archive_json/ansi_text.h"
#include "tools/archive_json/archive_json.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/store/byte_file.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

Json text(const std::string& ansi) { return ansiToUtf8(ansi); }

Json stringList(const StringList& list) {
  Json array = Json::array();
  for (const std::string& entry : list) array.push_back(text(entry));
  return array;
}

Json stringMap(const StringMap& map) {
  Json object = Json::object();
  for (const auto& [key, value] : map) object[ansiToUtf8(key)] = text(value);
  return object;
}

bool looksLikeLog(const std::vector<uint8_t>& bytes) {
  const std::string header = kLogHeader;
  return bytes.size() > header.size() && bytes[0] == header.size() &&
         std::equal(header.begin(), header.end(), bytes.begin() + 1);
}

// ---- store -----------------------------------------------------------------

Json sectionSet(const CSectionSet& set) {
  Json out = Json::object();
  if (set.listedKey() != set.name()) out["key"] = text(set.listedKey());
  out["name"] = text(set.name());
  Json sections = Json::object();
  for (const auto& [name, section] : set.sections()) sections[ansiToUtf8(name)] = stringMap(*section);
  out["sections"] = std::move(sections);
  return out;
}

Json dumpStore(const std::vector<uint8_t>& bytes, uint64_t& contentEnd) {
  ByteFile file(bytes);
  Archive archive(file, Archive::Direction::Loading);
  CConfigStore store;
  store.serialize(archive);
  contentEnd = archive.position();

  Json document = Json::object();
  document["format"] = "store";
  Json sets = Json::array();
  for (const auto& entry : store.sets()) sets.push_back(sectionSet(*entry.second));
  document["sets"] = std::move(sets);
  if (contentEnd < bytes.size()) document["trailingBytes"] = bytes.size() - contentEnd;
  return document;
}

// ---- log -------------------------------------------------------------------

// Preorder with levels, kept on an explicit stack: trees may be deep.
Json directories(const CDir* root) {
  Json out = Json::array();
  std::vector<std::pair<const CDir*, int>> pending;
  if (root != nullptr) pending.emplace_back(root, 0);
  while (!pending.empty()) {
    const auto [node, level] = pending.back();
    pending.pop_back();
    Json dir = Json::object();
    dir["name"] = text(node->ownName());
    dir["level"] = level;
    dir["fileCount"] = node->fileCount();
    dir["files"] = stringList(node->files());
    out.push_back(std::move(dir));
    if (node->nextSibling() != nullptr) pending.emplace_back(node->nextSibling(), level);
    if (node->firstChild() != nullptr) pending.emplace_back(node->firstChild(), level + 1);
  }
  return out;
}

Json fileGroup(const CFilegroup& group) {
  Json out = Json::object();
  out["name"] = text(group.name());
  out["shared"] = group.shared();
  out["auxValue"] = group.auxValue();
  out["selfRegister"] = group.selfRegister();
  out["auxMap"] = stringMap(group.auxMap());
  out["fileCount"] = group.fileCount();
  out["files"] = stringList(group.files());
  out["dirs"] = directories(group.rootDir());
  Json registry = Json::object();
  for (const auto& [keyPath, lines] : group.registry().keys()) registry[ansiToUtf8(keyPath)] = stringList(lines);
  out["registry"] = std::move(registry);
  const CShellObj& shell = group.shellObjects();
  out["shellObjects"] = Json{{"name", text(shell.name())}, {"itemCount", shell.itemCount()}, {"items", stringList(shell.items())}};
  return out;
}

uint32_t logVersion(const std::vector<uint8_t>& bytes) {
  ByteFile file(bytes);
  Archive archive(file, Archive::Direction::Loading);
  archive.readString();
  return archive.readU32("the log version");
}

Json dumpLog(const std::vector<uint8_t>& bytes, uint64_t& contentEnd, std::vector<std::string>& notes) {
  ByteFile file(bytes);
  Archive archive(file, Archive::Direction::Loading);
  CUninstallLog log;
  log.serialize(archive);
  contentEnd = archive.position();
  const uint32_t version = logVersion(bytes);
  if (version > kLogVersion) {
    notes.push_back("version " + std::to_string(version) + " is newer than " + std::to_string(kLogVersion) +
                    "; the uninstaller reads this log as empty");
  } else if (contentEnd < bytes.size()) {
    notes.push_back(std::to_string(bytes.size() - contentEnd) + " bytes after the last group are never read");
  }

  Json document = Json::object();
  document["format"] = "log";
  document["version"] = version;
  Json groups = Json::array();
  for (const auto& group : log.groups()) groups.push_back(fileGroup(*group));
  document["groups"] = std::move(groups);
  return document;
}

// Packs the document again and says where it departs from the file.
void noteNonCanonical(const Json& document, const std::vector<uint8_t>& bytes, uint64_t contentEnd,
                      std::vector<std::string>& notes) {
  std::vector<uint8_t> again;
  if (!packJson(document, again).empty()) return;
  const size_t end = static_cast<size_t>(contentEnd);
  if (again.size() == end && std::equal(again.begin(), again.end(), bytes.begin())) return;
  size_t first = 0;
  while (first < again.size() && first < end && again[first] == bytes[first]) ++first;
  notes.push_back("not in the form the writers produce from byte " + std::to_string(first) +
                  " on; pack will not reproduce it byte for byte");
}

}  // namespace

Dump dumpArchive(const std::vector<uint8_t>& bytes) {
  Dump dump;
  uint64_t contentEnd = 0;
  if (looksLikeLog(bytes)) {
    dump.document = dumpLog(bytes, contentEnd, dump.notes);
    if (dump.document["version"].get<uint32_t>() > kLogVersion) return dump;
  } else {
    dump.document = dumpStore(bytes, contentEnd);
  }
  noteNonCanonical(dump.document, bytes, contentEnd, dump.notes);
  return dump;
}

}  // namespace cvl
