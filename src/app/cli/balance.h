#pragma once

#include <QString>

namespace movilibro::cli {

struct Request;

// --balance: the account's balance at the end of the day --at names (today
// when none), over every entry up to it. Throws Failure.
int runBalance(const Request& r, const QString& folder);

} // namespace movilibro::cli
