#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "db/StoreFileAccess.h"

StoreFileStart ReadStoreFileStart(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno == EACCES) StoreFileNoPermission(path);
        if (errno == ENAMETOOLONG) StoreFileInvalidPath(path);
        StoreFileNotFound(path);
    }
    if (S_ISDIR(info.st_mode)) StoreFileIsFolder(path);
    // A pipe, device or socket would block the open or the read below, or never end.
    if (!S_ISREG(info.st_mode)) StoreFileNotAFile(path);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) StoreFileNoPermission(path);
    StoreFileStart start;
    start.key = {static_cast<unsigned long long>(info.st_dev),
                 static_cast<unsigned long long>(info.st_ino)};
    const ssize_t got = read(fd, start.header, sizeof start.header);
    close(fd);
    start.length = got > 0 ? static_cast<std::size_t>(got) : 0;
    return start;
}
