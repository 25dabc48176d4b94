#include "platform/OsVersion.h"

#ifdef _WIN32
#include "platform/WinApi.h"

#include <cstring>
#else
#include <sys/utsname.h>

#include <cerrno>
#include <cstdio>
#endif

namespace tessary {

#ifdef _WIN32

bool QueryOsVersion(OsVersion& version, int& error) {
    version = OsVersion{};
    // Looked up at run time: GetVersionEx reports what the manifest claims, this the truth.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    FARPROC proc = ntdll != nullptr ? ::GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
    if (proc == nullptr) {
        error = static_cast<int>(::GetLastError());
        return false;
    }
    RtlGetVersionFn getVersion = nullptr;
    static_assert(sizeof(getVersion) == sizeof(proc));
    std::memcpy(&getVersion, &proc, sizeof(proc));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    const LONG status = getVersion(&info);
    if (status != 0) {
        error = static_cast<int>(status);
        return false;
    }
    version = OsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
    return true;
}

#else

bool QueryOsVersion(OsVersion& version, int& error) {
    version = OsVersion{};
    utsname name{};
    if (::uname(&name) != 0) {
        error = errno;
        return false;
    }
    unsigned values[3] = {};
    std::sscanf(name.release, "%u.%u.%u", &values[0], &values[1], &values[2]);
    version = OsVersion{values[0], values[1], values[2]};
    return true;
}

#endif

}  // namespace tessary
