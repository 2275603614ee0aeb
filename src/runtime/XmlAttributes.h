#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnfold {

struct XmlNode;

// Reading the numbers of the script document, with refusals that name the
// element, the attribute and where the element stands.
std::string DescribeElement(const XmlNode& element);  // "ScriptValue at line 4, column 7"
int32_t ReadIntegerAttribute(const XmlNode& element, std::string_view attribute);
float ReadRealAttribute(const XmlNode& element, std::string_view attribute);

}  // namespace tarnfold
