// Text for XML (and so HTML) content and attribute values, shared by the
// desktop pictures and the report page.
#pragma once

#include <string>

namespace testkit {

// Markup characters escaped; bytes that are no UTF-8 and control characters,
// which an XML file cannot hold, become '?'.
std::string xml_text(const std::string &s);

} // namespace testkit
