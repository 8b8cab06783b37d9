#pragma once
// The shared container forms of the archive: string lists and string maps,
// both counted with a short count.
#include <string>
#include <vector>

#include "uninstaller/store/archive.h"
#include "uninstaller/store/ordered_map.h"

namespace cvl {

using StringList = std::vector<std::string>;
using StringMap = OrderedMap<std::string>;

// Loading replaces the list with exactly as many elements as the count says.
void serializeStringList(Archive& archive, StringList& list);
// Loading replaces the map's content; a repeated key keeps the value read last.
void serializeStringMap(Archive& archive, StringMap& map);

}  // namespace cvl
