#pragma once

#include <string>
#include <string_view>

#include "runtime/Xml.h"

namespace tarnfold {

// Why `text` cannot be an attribute value (not UTF-8, or a character XML 1.0
// cannot carry, such as most control characters); empty when it can.
std::string WhyNotXmlText(std::string_view text);

// The element tree as an indented UTF-8 document, one element per line,
// whose attribute values expat reads back exactly as they are here. Throws an
// Error for a text WhyNotXmlText refuses and for a node that is not an element.
std::string WriteXml(const XmlNode& root);

}  // namespace tarnfold
