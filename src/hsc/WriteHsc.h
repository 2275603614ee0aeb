#pragma once

#include <string>

#include "engine/Tables.h"
#include "runtime/Xml.h"

namespace tarnfold::hsc {

// A script document as HSC source in the kit's style: one (script ...) per
// script element, the body's expressions one per line with the implicit
// `begin` left out, a call on one line while it fits. For a document that a
// translation made, translating the text gives the same document. Throws an
// Error for a text that HSC cannot quote (it holds a quote or a line break).
std::string WriteHsc(const XmlNode& document, Engine engine);

}  // namespace tarnfold::hsc
