#pragma once

#include <string_view>

namespace tools {

// The card type of a seven-digit mainland mobile prefix (1380013): the
// operator its number segment is allotted to, with a note for data-card,
// resale and satellite segments ("中国移动", "中国联通（上网卡）").
// Empty for a segment that is not a mobile segment.
std::string_view cardTypeOfPrefix(int prefix);

} // namespace tools
