#include "utils/Executable.h"

#include "platform/TextCodec.h"

#include <sys/stat.h>

namespace Utils {

bool MakeExecutable(const std::wstring& path) {
    return chmod(Platform::NativeText(path).c_str(), 0755) == 0;
}

} // namespace Utils
