#include "db/filemodes.h"

#include <utility>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace movilibro::db {

QFileDevice::Permissions documentPermissions()
{
    using P = QFileDevice;
    QFileDevice::Permissions all =
        P::ReadOwner | P::WriteOwner | P::ReadGroup | P::WriteGroup | P::ReadOther | P::WriteOther;
#ifdef Q_OS_UNIX
    // The mask can only be read by setting it; the stricter value in between
    // errs on the private side for anything created meanwhile.
    const mode_t mask = ::umask(077);
    ::umask(mask);
    const std::pair<mode_t, P::Permission> bits[] = {{S_IRUSR, P::ReadOwner}, {S_IWUSR, P::WriteOwner},
                                                     {S_IRGRP, P::ReadGroup}, {S_IWGRP, P::WriteGroup},
                                                     {S_IROTH, P::ReadOther}, {S_IWOTH, P::WriteOther}};
    for (const auto& [bit, permission] : bits) {
        if (mask & bit)
            all &= ~QFileDevice::Permissions(permission);
    }
#endif
    return all;
}

} // namespace movilibro::db
