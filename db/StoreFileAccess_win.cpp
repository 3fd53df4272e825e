#include <windows.h>

#include "db/StoreFileAccess.h"

namespace {

[[noreturn]] void Fail(const std::string& path, DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            StoreFileNoPermission(path);
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            StoreFileInvalidPath(path);
        default:
            StoreFileNotFound(path);
    }
}

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

}  // namespace

StoreFileStart ReadStoreFileStart(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) Fail(path, GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) StoreFileIsFolder(path);
    // Shared every way, so the look never stands in another program's way.
    const Handle file(CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) Fail(path, GetLastError());
    // A device, console or pipe would block the read below, or never end.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) StoreFileNotAFile(path);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) StoreFileNotAFile(path);
    StoreFileStart start;
    // MinGW's stat() gives no inode (0 for every file): the file index is what tells files apart.
    start.key = {info.dwVolumeSerialNumber,
                 (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    DWORD got = 0;
    if (!ReadFile(file.get(), start.header, sizeof start.header, &got, nullptr)) got = 0;
    start.length = got;
    return start;
}
