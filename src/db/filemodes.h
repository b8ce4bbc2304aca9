#pragma once

#include <QFileDevice>

namespace movilibro::db {

// A new journal is a document like any other: read and write for everyone,
// less what the user's umask takes away.
QFileDevice::Permissions documentPermissions();

// Copies of the journal are the owner's alone.
inline constexpr QFileDevice::Permissions PrivatePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace movilibro::db
