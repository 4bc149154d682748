#pragma once

#include <QString>

namespace platform {

// The account's full name, or its login name when no full name is recorded.
QString UserFullName();
// The user's organisation when the system records one (the ORGANIZATION
// variable on Unix desktops), else empty.
QString UserOrganization();

}  // namespace platform
