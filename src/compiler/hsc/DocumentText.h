#pragma once

#include <string>

#include "runtime/Xml.h"

namespace tarnfold::hsc {

// The translated tree as document text, in the layout `scripts` prints: one
// element per line, indented by two spaces, attribute values escaped so that
// the XML reader gives them back exactly. Only what a translation makes is
// written: elements and their attributes.
std::string DocumentText(const XmlNode& root);

}  // namespace tarnfold::hsc
