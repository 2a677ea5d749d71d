// The operating-system services of TPlatform, the same for every backend:
// they come from the OS layer.
#include "platform/TPlatform.h"
#include "platform/posix/PosixServices.h"

namespace zuno {

bool TPlatform::acquireInstanceLock(const std::string& mutexName) {
    releaseInstanceLock();
    FLockFd = lockInstanceFile(instanceLockPath(mutexName));
    return FLockFd >= 0;
}

void TPlatform::releaseInstanceLock() {
    unlockInstanceFile(FLockFd);
    FLockFd = -1;
}

std::string TPlatform::temporaryFolder() const {
    return temporaryFolderPath();
}

bool TPlatform::shellOpen(const std::string& target) {
    return startShellOpen(target);
}

std::vector<std::string> TPlatform::cdRoots() const {
    return mountedCdRoots();
}

} // namespace zuno
