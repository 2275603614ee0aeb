#include "runtime/XmlAttributes.h"

#include "runtime/Error.h"
#include "runtime/Numbers.h"
#include "runtime/Xml.h"

namespace tarnfold {

std::string DescribeElement(const XmlNode& element) {
    return "element \"" + element.Name + "\" at line " + std::to_string(element.Line) + ", column " +
           std::to_string(element.Column);
}

int32_t ReadIntegerAttribute(const XmlNode& element, std::string_view attribute) {
    const std::string text = element.GetAttribute(attribute);
    if (const auto value = ParseInteger(text)) return *value;
    throw Error(DescribeElement(element) + ": attribute \"" + std::string(attribute) + "\" is \"" + text +
                "\", which is not a whole number that fits 32 bits");
}

float ReadRealAttribute(const XmlNode& element, std::string_view attribute) {
    const std::string text = element.GetAttribute(attribute);
    if (const auto value = ParseReal(text)) return *value;
    throw Error(DescribeElement(element) + ": attribute \"" + std::string(attribute) + "\" is \"" + text +
                "\", which is not a decimal number that fits a 32-bit float");
}

}  // namespace tarnfold
