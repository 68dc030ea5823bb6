// Reading a request of a vehicle description: its bytes, its data items (where
// each sits, its scaling, named values, where a response item's value comes
// from) and the checks that refuse what its bytes could not carry.
#pragma once

#include "AttributeReader.h"
#include "VehicleModel.h"
#include "XmlDocument.h"

#include <set>
#include <string>
#include <vector>

namespace TavrinKwp {

// Refuses two items of one name, naming the second.
template <typename T, typename NameOf>
void refuseDuplicates(const AttributeReader& in, const std::vector<T>& items, NameOf nameOf, const char* what)
{
    std::set<std::string> seen;
    for (const auto& item : items) {
        if (!seen.insert(nameOf(item)).second)
            in.fail(item.line, std::string("duplicate ") + what + " '" + nameOf(item) + "'");
    }
}

RequestDescription readRequest(const AttributeReader& in, TavrinXml::Node node);

}  // namespace TavrinKwp
