#pragma once
// One file or directory of the in-memory file system.
#include <map>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace cvl::platform {

struct MemoryFsNode;
using MemoryFsNodePtr = std::shared_ptr<MemoryFsNode>;

struct MemoryFsNode {
  std::string name;  // as first written
  bool directory = false;
  uint32_t attributes = 0;  // the settable bits; kDirectory and kNormal are derived
  FileTime created = 0;
  FileTime accessed = 0;
  FileTime written = 0;
  bool reparsePoint = false;  // a link, seeded as one; only AppendNoLink tells it from a file
  std::string content;
  std::map<std::string, MemoryFsNodePtr> children;  // by upper-cased name
  // Open handles. Files are opened sharing reads only, so a writer excludes
  // every other handle, and any handle blocks deleting or replacing.
  int readers = 0;
  int writers = 0;

  bool busy() const { return readers + writers > 0; }
};

}  // namespace cvl::platform
