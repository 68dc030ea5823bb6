#include "RequestReader.h"

#include "DataCodec.h"
#include "ErrorNumbers.h"
#include "HexText.h"
#include "Sorvik3.h"

#include <algorithm>
#include <cmath>

namespace TavrinKwp {
namespace {

using TavrinXml::Node;

ResponseSource readSource(const AttributeReader& in, Node node)
{
    ResponseSource source;
    const std::string text = in.text(node, "source", "echo");
    const auto colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    const std::string argument = colon == std::string::npos ? "" : text.substr(colon + 1);
    using K = ResponseSource::Kind;
    if (kind == "echo")
        source.kind = K::Echo;
    else if (kind == "state")
        source.kind = K::DeviceState;
    else if (kind == "remaining")
        source.kind = K::RemainingTime;
    else if (kind == "session")
        source.kind = K::Session;
    else if (kind == "signal")
        source.kind = K::Signal;
    else if (kind == "param")
        source.kind = K::Parameter;
    else if (kind == "const") {
        source.kind = K::Constant;
        auto bytes = parseHex(argument);
        if (!bytes) in.fail(node, "source 'const:' needs hex bytes, not '" + argument + "'");
        source.bytes = *bytes;
    } else {
        in.fail(node, "unknown source '" + text + "'");
    }
    if ((source.kind == K::Signal || source.kind == K::Parameter) && argument.empty()) {
        in.fail(node, "source '" + kind + ":' needs a name");
    }
    source.name = argument;
    return source;
}

std::vector<NamedValue> readNamedValues(const AttributeReader& in, Node node)
{
    std::vector<NamedValue> values;
    std::set<std::string> seen;
    for (Node child : TavrinXml::childElements(node)) {
        if (TavrinXml::name(child) != "value") in.fail(child, "unexpected element <" + TavrinXml::name(child) + ">");
        NamedValue value{in.required(child, "name"), in.int32(child, "number")};
        if (!seen.insert(value.name).second) in.fail(child, "duplicate value name '" + value.name + "'");
        values.push_back(value);
    }
    return values;
}

// A number the item's bytes cannot carry would be cut on the wire: refuse it here.
void refuseValuesThatDoNotFit(const AttributeReader& in, Node node, const DataDescription& data)
{
    if (data.kind != DataKind::Number) return;
    auto fits = [&data](double value) {
        try {
            rawFromPhysical(data, value);
            return true;
        } catch (const Sorvik3::Error&) {
            return false;
        }
    };
    const std::string room = std::to_string(data.size) + (data.size == 1 ? " byte" : " bytes");
    if (!fits(data.defaultValue)) {
        in.fail(node, "default " + in.text(node, "default", "") + " of '" + data.name + "' does not fit its " + room);
    }
    // A default between two of the item's steps would be sent rounded, silently.
    const double sent = physicalFromRaw(data, rawFromPhysical(data, data.defaultValue));
    if (std::abs(sent - data.defaultValue) > 1e-9 * std::max(1.0, std::abs(data.defaultValue))) {
        in.fail(node, "default " + in.text(node, "default", "") + " of '" + data.name +
                          "' is not one of its values (it would be sent as " + formatPhysical(data, sent) + ")");
    }
    if (!data.namedValues) return;
    const auto children = TavrinXml::childElements(node);
    for (size_t i = 0; i < data.namedValues->size(); ++i) {
        const auto& value = (*data.namedValues)[i];
        if (!fits(value.number)) {
            in.fail(children[i], "value '" + value.name + "' (" + std::to_string(value.number) + ") of '" + data.name +
                                     "' does not fit its " + room);
        }
    }
}

DataDescription readData(const AttributeReader& in, Node node, bool inResponse)
{
    DataDescription data;
    data.line = TavrinXml::line(node);
    data.name = in.required(node, "name");
    data.inResponse = inResponse;
    data.unit = in.text(node, "unit", "");
    data.position = static_cast<int>(in.integer(node, "position", 1, 255));
    const std::string kind = in.text(node, "kind", "number");
    if (kind == "bytes") {
        data.kind = DataKind::Bytes;
        const std::string size = in.text(node, "size", "rest");
        data.size = size == "rest" ? 0 : static_cast<int>(in.integer(node, "size", 1, 255));
    } else if (kind == "number") {
        data.size = static_cast<int>(in.integerOr(node, "size", 1, 1, 4));
        if (data.size == 3) in.fail(node, "size must be 1, 2 or 4 bytes");
    } else {
        in.fail(node, "unknown kind '" + kind + "'");
    }
    data.isSigned = in.boolean(node, "signed", false);
    if (TavrinXml::attribute(node, "bits")) {
        // Several outputs of one UDS data identifier share a byte: each item reads its own bits.
        const int64_t highest = (int64_t{1} << (8 * data.size)) - 1;
        data.bitMask = static_cast<uint32_t>(in.integer(node, "bits", 1, highest));
        if (data.kind != DataKind::Number || data.isSigned) in.fail(node, "bits takes an unsigned number item");
    }
    data.factor = in.number(node, "factor", 1.0);
    if (data.factor == 0.0) in.fail(node, "factor must not be 0");
    data.offset = in.number(node, "offset", 0.0);
    data.decimals = static_cast<int>(in.integerOr(node, "decimals", 0, 0, 9));
    data.defaultValue = in.number(node, "default", 0.0);
    data.device = in.text(node, "device", "");
    if (inResponse) data.source = readSource(in, node);
    // list="true" makes a list of named values even without entries.
    if (!TavrinXml::childElements(node).empty() || in.boolean(node, "list", false)) {
        data.namedValues = readNamedValues(in, node);
    }
    refuseValuesThatDoNotFit(in, node, data);
    return data;
}

}  // namespace

RequestDescription readRequest(const AttributeReader& in, Node node)
{
    RequestDescription request;
    request.line = TavrinXml::line(node);
    request.name = in.required(node, "name");
    request.service = static_cast<uint8_t>(in.integer(node, "service", 0, 255));
    request.pendingAnswers = static_cast<int>(in.integerOr(node, "pending", 0, 0, 1000));
    const std::string bytes = in.text(node, "bytes", "");
    if (!bytes.empty()) {
        auto parsed = parseHex(bytes);
        if (!parsed || parsed->empty() || parsed->front() != request.service) {
            in.fail(node, "bytes must be hex and start with the service id");
        }
        request.templateBytes = *parsed;
    } else {
        request.templateBytes = {request.service};
    }
    for (Node child : TavrinXml::childElements(node)) {
        const std::string element = TavrinXml::name(child);
        if (element == "data") {
            request.items.push_back(readData(in, child, false));
        } else if (element == "response") {
            for (Node item : TavrinXml::childElements(child)) {
                if (TavrinXml::name(item) != "data")
                    in.fail(item, "unexpected element <" + TavrinXml::name(item) + ">");
                request.items.push_back(readData(in, item, true));
            }
        } else {
            in.fail(child, "unexpected element <" + element + ">");
        }
    }
    refuseDuplicates(
        in, request.items, [](const DataDescription& d) { return d.name; }, "data item");
    return request;
}

}  // namespace TavrinKwp
