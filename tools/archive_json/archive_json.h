#pragma once
// The configuration store and the install log as readable JSON, both ways:
// what `cvlinst dump` prints and `cvlinst pack` writes back, and how test
// fixtures are written. Text is UTF-8 in JSON and Windows-1252 in the
// archive. dump shows every field and every entry in file order; members
// marked optional may be left out when packing.
//
// Store ("cvlinst.dat"):
//   { "format": "store",
//     "sets": [
//       { "key": "C:\\SETUP\\default.cdf",   optional: the key the file lists the
//                                            set under; defaults to "name"
//         "name": "default.cdf",
//         "sections": {                      optional
//           "Word": { "SELECTED": "Yes", "FILEGROUP": "CORE" } } } ],
//     "trailingBytes": 1 }                   dump only: bytes after the content,
//                                            never read; pack ignores it
//
// Install log ("cvlinst.log"):
//   { "format": "log",
//     "version": 1,                          optional, 1
//     "groups": [
//       { "name": "CORE",
//         "shared": false,                   optional, false
//         "auxValue": 0,                     optional, 0
//         "selfRegister": false,             optional, false
//         "auxMap": { "k": "v" },            optional, {}
//         "fileCount": 2,                    optional, the number of files
//         "files": [ "a.dll", "b.exe" ],     optional, []
//         "dirs": [                          optional: the directory tree in
//           { "name": "BIN", "level": 0,     preorder; level 0 is a first-level
//             "fileCount": 1,                directory, a level one deeper than
//             "files": [ "x.exe" ] },        the entry before makes the entry its
//           { "name": "HELP", "level": 1 },  first subdirectory, an equal or
//           { "name": "LIB" } ],             smaller level its next sibling
//                                            (level, fileCount, files optional)
//         "registry": {                      optional: key path to value lines
//           "HKLM\\Software\\Corvel": [ "(Default)=x", "Path=C:\\Corvel" ] },
//         "shellObjects": {                  optional; name "" and itemCount the
//           "name": "", "itemCount": 1,      number of items by default
//           "items": [ "1:Programs\\Corvel\\Word.lnk" ] } } ] }
//
// pack(dump(file)) reproduces a file byte for byte when the file is in the
// form the writers produce (the store's trailing bytes aside); dump says in
// a note when a file is not, for instance a wide string, a flag of 2 or a
// repeated key.
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/file_system.h"

namespace cvl {

using Json = nlohmann::ordered_json;

struct Dump {
  Json document;
  std::vector<std::string> notes;  // things worth knowing that are not errors
};

// Reads a store or a log, told apart by the log's header. Raises
// ArchiveEndOfFile when the bytes end before the structure does.
Dump dumpArchive(const std::vector<uint8_t>& bytes);

// Writes the archive a JSON document describes. Returns an empty string on
// success, else what is wrong, such as "groups[1].files[0]: expected a string".
std::string packJson(const Json& document, std::vector<uint8_t>& bytes);
std::string packJson(const Json& document, platform::FileSystem& files, const std::string& path);

}  // namespace cvl
