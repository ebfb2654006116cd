// The reason of a failure in the interface's language, for the message boxes of the picture
// and level windows.
#pragma once

#include <QString>
#include <string>

namespace parvane::imaging {

// The core's English reason shown in the interface's language: the reason's pattern is found
// again among the core's patterns and translated, its arguments put back in place (counts
// grouped as the language groups them). A reason of no known pattern (a library's own words)
// is shown as it stands.
QString reasonText(const std::string& english);

// The translation context of the reason patterns.
inline constexpr const char* kReasonContext = "Reason";

} // namespace parvane::imaging
