#include <set>
#include <stdexcept>

#include "tools/archive_json/ansi_text.h"
#include "tools/archive_json/archive_json.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/store/byte_file.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

// What is wrong with the document, and where; caught in packJson.
class BadDocument : public std::runtime_error {
 public:
  BadDocument(const std::string& where, const std::string& what)
      : std::runtime_error((where.empty() ? std::string("document") : where) + ": " + what) {}
};

std::string member(const std::string& path, const std::string& name) { return path.empty() ? name : path + "." + name; }
std::string element(const std::string& path, size_t index) { return path + "[" + std::to_string(index) + "]"; }

// The members of one JSON object, checked by name; members nobody asked
// for are reported, so a misspelt name does not pass unnoticed.
class Members {
 public:
  Members(const Json& object, std::string path) : object_(object), path_(std::move(path)) {
    if (!object.is_object()) throw BadDocument(path_, "expected an object");
  }
  const Json* optional(const char* name) {
    asked_.insert(name);
    const auto found = object_.find(name);
    return found == object_.end() ? nullptr : &*found;
  }
  const Json& required(const char* name) {
    if (const Json* value = optional(name)) return *value;
    throw BadDocument(path_, std::string("missing \"") + name + "\"");
  }
  std::string pathOf(const char* name) const { return member(path_, name); }
  void rejectOthers() const {
    for (const auto& item : object_.items()) {
      if (asked_.count(item.key()) == 0) throw BadDocument(path_, "unknown member \"" + item.key() + "\"");
    }
  }

 private:
  const Json& object_;
  std::string path_;
  std::set<std::string> asked_;
};

std::string ansi(const std::string& utf8, const std::string& path) {
  std::string out;
  if (!utf8ToAnsi(utf8, out)) throw BadDocument(path, "text has characters outside Windows-1252");
  return out;
}

std::string text(const Json& value, const std::string& path) {
  if (!value.is_string()) throw BadDocument(path, "expected a string");
  return ansi(value.get<std::string>(), path);
}

bool flag(const Json* value, const std::string& path) {
  if (value == nullptr) return false;
  if (!value->is_boolean()) throw BadDocument(path, "expected true or false");
  return value->get<bool>();
}

int64_t integer(const Json& value, const std::string& path, int64_t low, int64_t high) {
  const auto outOfRange = [&] {
    return BadDocument(path, "expected a number from " + std::to_string(low) + " to " + std::to_string(high));
  };
  if (value.is_number_unsigned()) {
    const uint64_t number = value.get<uint64_t>();
    if (number > static_cast<uint64_t>(high)) throw outOfRange();
    return static_cast<int64_t>(number);
  }
  if (!value.is_number_integer()) throw BadDocument(path, "expected a whole number");
  const int64_t number = value.get<int64_t>();
  if (number < low || number > high) throw outOfRange();
  return number;
}

uint32_t unsigned32(const Json* value, const std::string& path, uint32_t fallback) {
  return value == nullptr ? fallback : static_cast<uint32_t>(integer(*value, path, 0, UINT32_MAX));
}

int32_t signed32(const Json* value, const std::string& path, size_t fallback) {
  return value == nullptr ? static_cast<int32_t>(fallback) : static_cast<int32_t>(integer(*value, path, INT32_MIN, INT32_MAX));
}

StringList stringList(const Json* value, const std::string& path) {
  StringList list;
  if (value == nullptr) return list;
  if (!value->is_array()) throw BadDocument(path, "expected an array of strings");
  for (size_t i = 0; i < value->size(); ++i) list.push_back(text((*value)[i], element(path, i)));
  return list;
}

void stringMap(const Json* value, const std::string& path, StringMap& map) {
  if (value == nullptr) return;
  if (!value->is_object()) throw BadDocument(path, "expected an object of strings");
  for (const auto& item : value->items()) {
    const std::string where = member(path, item.key());
    map.assign(ansi(item.key(), where), text(item.value(), where));
  }
}

// ---- store -----------------------------------------------------------------

void packSet(const Json& json, const std::string& path, Archive& archive) {
  Members members(json, path);
  CSectionSet set;
  set.setName(text(members.required("name"), members.pathOf("name")));
  const Json* key = members.optional("key");
  const std::string listedKey = key ? text(*key, members.pathOf("key")) : set.name();
  if (const Json* sections = members.optional("sections")) {
    const std::string where = members.pathOf("sections");
    if (!sections->is_object()) throw BadDocument(where, "expected an object of sections");
    for (const auto& item : sections->items()) {
      const std::string sectionPath = member(where, item.key());
      stringMap(&item.value(), sectionPath, set.addSection(ansi(item.key(), sectionPath)));
    }
  }
  members.rejectOthers();
  archive.writeString(listedKey);
  set.serialize(archive);
}

void packStore(Members& top, Archive& archive) {
  const Json& sets = top.required("sets");
  top.optional("trailingBytes");
  top.rejectOthers();
  if (!sets.is_array()) throw BadDocument("sets", "expected an array");
  archive.writeU32(static_cast<uint32_t>(sets.size()));
  for (size_t i = 0; i < sets.size(); ++i) packSet(sets[i], element("sets", i), archive);
}

// ---- log -------------------------------------------------------------------

void fillDir(CDir& dir, Members& members) {
  dir.setOwnName(text(members.required("name"), members.pathOf("name")));
  dir.files() = stringList(members.optional("files"), members.pathOf("files"));
  dir.setFileCount(signed32(members.optional("fileCount"), members.pathOf("fileCount"), dir.files().size()));
}

// Rebuilds first-child / next-sibling links from the preorder levels.
void packDirs(const Json* dirs, const std::string& path, CFilegroup& group) {
  if (dirs == nullptr) return;
  if (!dirs->is_array()) throw BadDocument(path, "expected an array of directories");
  std::vector<CDir*> lastAtLevel;
  for (size_t i = 0; i < dirs->size(); ++i) {
    const std::string where = element(path, i);
    Members members((*dirs)[i], where);
    const Json* levelJson = members.optional("level");
    const int64_t deepest = static_cast<int64_t>(lastAtLevel.size());
    const size_t level = levelJson ? static_cast<size_t>(integer(*levelJson, members.pathOf("level"), 0, deepest)) : 0;
    CDir* dir = nullptr;
    if (lastAtLevel.empty()) {
      dir = &group.makeRootDir();
    } else if (level == lastAtLevel.size()) {
      dir = &lastAtLevel.back()->makeFirstChild();
    } else {
      dir = &lastAtLevel[level]->makeNextSibling();
    }
    lastAtLevel.resize(level);
    lastAtLevel.push_back(dir);
    fillDir(*dir, members);
    members.rejectOthers();
  }
}

void packRegistry(const Json* registry, const std::string& path, CRegistry& out) {
  if (registry == nullptr) return;
  if (!registry->is_object()) throw BadDocument(path, "expected an object of key paths");
  for (const auto& item : registry->items()) {
    const std::string where = member(path, item.key());
    out.keys().assign(ansi(item.key(), where), stringList(&item.value(), where));
  }
}

void packShellObjects(const Json* shell, const std::string& path, CShellObj& out) {
  if (shell == nullptr) return;
  Members members(*shell, path);
  if (const Json* name = members.optional("name")) out.setName(text(*name, members.pathOf("name")));
  out.items() = stringList(members.optional("items"), members.pathOf("items"));
  const std::string countPath = members.pathOf("itemCount");
  out.setItemCount(signed32(members.optional("itemCount"), countPath, out.items().size()));
  // The items carry no count of their own: the loader reads exactly
  // itemCount of them, so any other number would shift the whole stream.
  const bool countFits = out.items().empty() ? out.itemCount() <= 0
                                             : out.itemCount() == static_cast<int64_t>(out.items().size());
  if (!countFits) throw BadDocument(countPath, "does not match the number of items");
  members.rejectOthers();
}

void packGroup(const Json& json, const std::string& path, Archive& archive) {
  Members members(json, path);
  CFilegroup group;
  group.setName(text(members.required("name"), members.pathOf("name")));
  group.setShared(flag(members.optional("shared"), members.pathOf("shared")));
  group.setAuxValue(unsigned32(members.optional("auxValue"), members.pathOf("auxValue"), 0));
  group.setSelfRegister(flag(members.optional("selfRegister"), members.pathOf("selfRegister")));
  stringMap(members.optional("auxMap"), members.pathOf("auxMap"), group.auxMap());
  group.files() = stringList(members.optional("files"), members.pathOf("files"));
  group.setFileCount(signed32(members.optional("fileCount"), members.pathOf("fileCount"), group.files().size()));
  packDirs(members.optional("dirs"), members.pathOf("dirs"), group);
  packRegistry(members.optional("registry"), members.pathOf("registry"), group.registry());
  packShellObjects(members.optional("shellObjects"), members.pathOf("shellObjects"), group.shellObjects());
  members.rejectOthers();
  group.serialize(archive);
}

void packLog(Members& top, Archive& archive) {
  const uint32_t version = unsigned32(top.optional("version"), "version", kLogVersion);
  const Json& groups = top.required("groups");
  top.rejectOthers();
  if (!groups.is_array()) throw BadDocument("groups", "expected an array");
  archive.writeString(kLogHeader);
  archive.writeU32(version);
  archive.writeU32(static_cast<uint32_t>(groups.size()));
  for (size_t i = 0; i < groups.size(); ++i) packGroup(groups[i], element("groups", i), archive);
}

}  // namespace

std::string packJson(const Json& document, std::vector<uint8_t>& bytes) {
  try {
    Members top(document, "");
    const Json& format = top.required("format");
    ByteFile file;
    Archive archive(file, Archive::Direction::Storing);
    if (format == "store") {
      packStore(top, archive);
    } else if (format == "log") {
      packLog(top, archive);
    } else {
      throw BadDocument("format", "expected \"store\" or \"log\"");
    }
    archive.close();
    bytes = file.takeBytes();
    return {};
  } catch (const BadDocument& error) {
    return error.what();
  }
}

std::string packJson(const Json& document, platform::FileSystem& files, const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string error = packJson(document, bytes);
  if (!error.empty()) return error;
  platform::FilePtr file;
  platform::Status status = files.open(path, platform::OpenMode::CreateAlways, file);
  if (status == platform::kSuccess) status = file->write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  return status == platform::kSuccess ? std::string() : path + ": cannot write (error " + std::to_string(status) + ")";
}

}  // namespace cvl
