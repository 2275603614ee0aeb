#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/Diagnostic.h"

namespace tarnfold {

struct XmlNode;

// Reading the numbers of the script document, with refusals that name the
// element, the attribute and where the element stands.

// "element \"ScriptValue\" at line 4, column 7"; without the place for an
// element that no document text made (one read back from a map).
std::string DescribeElement(const XmlNode& element);
// A finding at the element's place: its text is "element \"X\"" followed by
// `what` (": attribute ...", " is taken for a script").
Diagnostic AtElement(const XmlNode& element, std::string code, const std::string& what);
// The same as an error to throw; the front door names the document's file.
SourceError ElementError(const XmlNode& element, const std::string& what);

int32_t ReadIntegerAttribute(const XmlNode& element, std::string_view attribute);
float ReadRealAttribute(const XmlNode& element, std::string_view attribute);

}  // namespace tarnfold
