#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/Diagnostic.h"

namespace tarnfold {

struct XmlNode;

// What the builders silently ignore in a script document, put into words: a
// misspelled attribute or element, a value written as text content, a type
// number the engine does not have. Warnings only: the compile goes on and
// writes the same bytes.

// The attributes of a script element, its name and its types.
std::vector<Diagnostic> CheckScriptElement(const XmlNode& script);
// The attributes of a ScenarioGlobal element and its value type.
std::vector<Diagnostic> CheckGlobalElement(const XmlNode& global);
// The attributes of a ScriptCommand, ScriptValue, GlobalValue or ScriptCall
// element, its value type and any text inside it.
std::vector<Diagnostic> CheckExpressionElement(const XmlNode& element);
// The expression element that `name` was probably meant to be (letter case,
// or one or two letters off), or empty text.
std::string NearestExpressionElement(std::string_view name);
// True for the names of the expression elements.
bool IsExpressionElement(std::string_view name);

// How the misplaced parts of a document are explained.
inline constexpr std::string_view kWhereThingsGo =
    "expressions go inside a script or ScenarioGlobal element, and those inside the document element";

}  // namespace tarnfold
