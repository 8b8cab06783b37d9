#include "customaction/record_fields.h"

#include <cstring>

namespace cvl::customaction {

bool readText(InstallerServices& services, MsiHandle record, int field,
              char (&buffer)[kTextBufferSize]) {
  buffer[0] = '\0';
  if (field == kAbsentColumn) return false;
  unsigned long length = kTextBufferSize;
  MsiStatus status = services.getString(record, static_cast<unsigned>(field), buffer, length);
  if (status != kMsiSuccess || length >= kTextBufferSize) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

int columnPosition(InstallerServices& services, MsiHandle names, const char* column) {
  unsigned count = services.fieldCount(names);
  for (unsigned field = 1; field <= count; ++field) {
    char name[kTextBufferSize];
    if (readText(services, names, static_cast<int>(field), name) &&
        std::strcmp(name, column) == 0) {
      return static_cast<int>(field);
    }
  }
  return kAbsentColumn;
}

}  // namespace cvl::customaction
