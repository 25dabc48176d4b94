#pragma once
// The read-only attribute of a file (FILE_ATTRIBUTE_READONLY): a file without any write
// permission. Writing such a file is refused even for an administrator, as Windows does.
#include "platform/File.h"

namespace tessary {

// False when the file does not exist or is not a regular file.
bool HasReadOnlyAttribute(const PathString& path);

}  // namespace tessary
