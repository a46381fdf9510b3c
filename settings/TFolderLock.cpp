#include "TFolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TFolderLock::TFolderLock(const std::filesystem::path &Folder)
    : FFd(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (FFd >= 0)
        ::flock(FFd, LOCK_EX);
}

TFolderLock::~TFolderLock() {
    if (FFd >= 0)
        ::close(FFd);
}
