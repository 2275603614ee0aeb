#include "runtime/XmlAttributes.h"

#include "runtime/Error.h"
#include "runtime/Numbers.h"
#include "runtime/Printable.h"
#include "runtime/Xml.h"

namespace tarnfold {

namespace {

std::string ElementName(const XmlNode& element) { return "element \"" + Printable(element.Name) + "\""; }

}  // namespace

std::string DescribeElement(const XmlNode& element) {
    if (element.Line <= 0) return ElementName(element);
    return ElementName(element) + " at line " + std::to_string(element.Line) + ", column " +
           std::to_string(element.Column);
}

Diagnostic AtElement(const XmlNode& element, std::string code, const std::string& what) {
    return {{}, element.Line, element.Column, std::move(code), ElementName(element) + what};
}

SourceError ElementError(const XmlNode& element, const std::string& what) {
    return SourceError({AtElement(element, "document", what)});
}

int32_t ReadIntegerAttribute(const XmlNode& element, std::string_view attribute) {
    const std::string text = element.GetAttribute(attribute);
    if (const auto value = ParseInteger(text)) return *value;
    throw ElementError(element, ": attribute \"" + std::string(attribute) + "\" is \"" + Printable(text) +
                                    "\", which is not a whole number that fits 32 bits");
}

float ReadRealAttribute(const XmlNode& element, std::string_view attribute) {
    const std::string text = element.GetAttribute(attribute);
    if (const auto value = ParseReal(text)) return *value;
    throw ElementError(element, ": attribute \"" + std::string(attribute) + "\" is \"" + Printable(text) +
                                    "\", which is not a decimal number that fits a 32-bit float");
}

}  // namespace tarnfold
