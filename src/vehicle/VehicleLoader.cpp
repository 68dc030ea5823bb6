#include "VehicleLoader.h"

#include "DataCodec.h"

#include "AttributeReader.h"
#include "ErrorNumbers.h"
#include "HexText.h"
#include "RequestReader.h"
#include "Sorvik3.h"
#include "XmlDocument.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace TavrinKwp {
namespace {

using TavrinXml::Node;

DeviceDescription readDevice(const AttributeReader& in, Node node, Protocol protocol)
{
    DeviceDescription device;
    device.name = in.required(node, "name");
    if (protocol == Protocol::Uds) {
        device.dataId = static_cast<uint16_t>(in.integer(node, "dataId", 0, 0xFFFF));
        device.controlMask = static_cast<uint8_t>(in.integerOr(node, "controlMask", 0, 0, 255));
        device.needsSecurity = in.boolean(node, "security", false);
    } else {
        device.localId = static_cast<uint8_t>(in.integer(node, "localId", 0, 255));
    }
    device.temporary = in.boolean(node, "temporary", true);
    device.permanent = in.boolean(node, "permanent", true);
    device.maxDurationMs = static_cast<uint32_t>(in.integerOr(node, "maxDurationMs", 0, 0, 86400000));
    if (TavrinXml::attribute(node, "refuse"))
        device.refuseCode = static_cast<uint8_t>(in.integer(node, "refuse", 1, 255));
    for (Node child : TavrinXml::childElements(node)) {
        if (TavrinXml::name(child) != "signal") in.fail(child, "unexpected element <" + TavrinXml::name(child) + ">");
        SignalDescription signal;
        signal.name = in.required(child, "name");
        signal.line = TavrinXml::line(child);
        signal.idle = in.number(child, "idle", 0.0);
        signal.active = in.number(child, "active", signal.idle);
        signal.follows = in.text(child, "follows", "");
        signal.gain = in.number(child, "gain", 1.0);
        signal.tauMs = in.number(child, "tauMs", 500.0);
        if (signal.tauMs < 0) in.fail(child, "tauMs must not be negative");
        device.measures.push_back(signal);
    }
    return device;
}

FaultDescription readFault(const AttributeReader& in, Node node)
{
    FaultDescription fault;
    const std::string count = in.text(node, "count", "always");
    fault.count = count == "always" ? -1 : static_cast<int>(in.integer(node, "count", 1, 1000000));
    if (in.boolean(node, "init", false)) {
        fault.kind = FaultDescription::Kind::Init;
        return fault;
    }
    if (in.boolean(node, "wrongKey", false)) {
        fault.kind = FaultDescription::Kind::WrongKey;
        return fault;
    }
    fault.request = in.required(node, "request");
    const std::string answer = in.text(node, "answer", "");
    static const std::pair<const char*, FaultDescription::Kind> kAnswers[] = {
        {"lost", FaultDescription::Kind::Lost},
        {"late", FaultDescription::Kind::Late},
        {"cut", FaultDescription::Kind::Cut},
        {"stale", FaultDescription::Kind::Stale},
        {"anyway", FaultDescription::Kind::Suppressed}};
    if (!answer.empty()) {
        for (const auto& [name, kind] : kAnswers) {
            if (answer == name) fault.kind = kind;
        }
        if (fault.kind == FaultDescription::Kind::Negative)
            in.fail(node, "answer '" + answer + "' is none of lost, late, cut, stale, anyway");
    } else if (in.boolean(node, "noAnswer", false)) {
        fault.kind = FaultDescription::Kind::NoAnswer;
    } else {
        fault.kind = FaultDescription::Kind::Negative;
        fault.code = static_cast<uint8_t>(in.integer(node, "code", 1, 255));
    }
    return fault;
}

uint32_t readTime(const AttributeReader& in, Node node, const char* name, uint32_t fallback)
{
    return static_cast<uint32_t>(in.integerOr(node, name, fallback, 0, 600000));
}

KLineSettings readKLine(const AttributeReader& in, Node node)
{
    KLineSettings kline;
    kline.baud = static_cast<uint32_t>(in.integerOr(node, "baud", kline.baud, 300, 1000000));
    const std::string keyBytes = in.text(node, "keyBytes", "EF 8F");
    const auto parsed = parseHex(keyBytes);
    if (!parsed || parsed->size() != 2) in.fail(node, "keyBytes must be two hex bytes, not '" + keyBytes + "'");
    kline.keyByte1 = (*parsed)[0];
    kline.keyByte2 = (*parsed)[1];
    KLineTiming& t = kline.timing;
    t.p1Max = readTime(in, node, "p1Max", t.p1Max);
    t.p2Min = readTime(in, node, "p2Min", t.p2Min);
    t.p2Max = readTime(in, node, "p2Max", t.p2Max);
    t.p2Extended = readTime(in, node, "p2Extended", t.p2Extended);
    t.p3Min = readTime(in, node, "p3Min", t.p3Min);
    t.p3Max = readTime(in, node, "p3Max", t.p3Max);
    t.p4Min = readTime(in, node, "p4Min", t.p4Min);
    if (t.p2Min > t.p2Max) in.fail(node, "p2Min must not exceed p2Max");
    if (t.p3Min > t.p3Max) in.fail(node, "p3Min must not exceed p3Max");
    if (t.p2Max == 0 || t.p2Extended == 0) in.fail(node, "p2Max and p2Extended must be above 0");
    return kline;
}

CanSettings readCan(const AttributeReader& in, Node node)
{
    CanSettings can;
    can.extendedIds = in.boolean(node, "extended", false);
    const int64_t highest = can.extendedIds ? 0x1FFFFFFF : 0x7FF;
    can.requestId = static_cast<uint32_t>(in.integer(node, "request", 0, highest));
    can.responseId = static_cast<uint32_t>(in.integer(node, "response", 0, highest));
    if (can.requestId == can.responseId) in.fail(node, "request and response need two identifiers");
    const std::string padding = in.text(node, "padding", "none");
    if (padding != "none") {
        const int64_t value = in.integer(node, "padding", 0, 255);
        if (value != 0x55 && value != 0xAA && value != 0xCC) in.fail(node, "padding is none, 0x55, 0xAA or 0xCC");
        can.padding = static_cast<uint8_t>(value);
    }
    can.blockSize = static_cast<uint8_t>(in.integerOr(node, "blockSize", 0, 0, 255));
    can.stMin = static_cast<uint8_t>(in.integerOr(node, "stMin", 0, 0, 255));
    if ((can.stMin > 0x7F && can.stMin < 0xF1) || can.stMin > 0xF9) {
        in.fail(node, "stMin is 0x00 to 0x7F (ms) or 0xF1 to 0xF9 (100 to 900 us)");
    }
    can.p2Max = readTime(in, node, "p2Max", can.p2Max);
    can.p2Extended = readTime(in, node, "p2Extended", can.p2Extended);
    if (can.p2Max == 0 || can.p2Extended == 0) in.fail(node, "p2Max and p2Extended must be above 0");
    return can;
}

SecurityDescription readSecurity(const AttributeReader& in, Node node)
{
    SecurityDescription security;
    security.line = TavrinXml::line(node);
    // The seed is asked with an odd level, the key sent with the even one after it.
    security.level = static_cast<uint8_t>(in.integerOr(node, "level", 0x01, 0x01, 0x7D));
    if (security.level % 2 == 0) in.fail(node, "level is the odd requestSeed value (0x01, 0x03, ...)");
    security.keyPlugin = in.required(node, "keyPlugin");
    if (security.keyPlugin.find_first_of("/\\") != std::string::npos || security.keyPlugin.starts_with("."))
        in.fail(node, "keyPlugin names a plug-in, not a path: '" + security.keyPlugin + "'");
    security.attempts = static_cast<int>(in.integerOr(node, "attempts", 3, 1, 255));
    security.delayMs = readTime(in, node, "delayMs", security.delayMs);
    return security;
}

void readEcuChildren(const AttributeReader& in, Node node, EcuDescription& ecu)
{
    for (Node child : TavrinXml::childElements(node)) {
        const std::string element = TavrinXml::name(child);
        if (element == "request") {
            ecu.requests.push_back(readRequest(in, child));
        } else if (element == "device") {
            ecu.devices.push_back(readDevice(in, child, ecu.protocol));
        } else if (element == "session") {
            ecu.sessions.push_back({in.required(child, "name"), static_cast<uint8_t>(in.integer(child, "id", 0, 255))});
        } else if (element == "fault") {
            ecu.faults.push_back(readFault(in, child));
        } else if (element == "kline") {
            ecu.kline = readKLine(in, child);
        } else if (element == "can") {
            ecu.can = readCan(in, child);
        } else if (element == "security" && ecu.protocol == Protocol::Uds) {
            ecu.security = readSecurity(in, child);
        } else {
            in.fail(child, "unexpected element <" + element + ">");
        }
    }
}

// No two devices, signals, sessions or local identifiers alike; the names of the devices and of their signals.
void refuseDuplicateNames(const AttributeReader& in, Node node, const EcuDescription& ecu,
                          std::set<std::string>& devices, std::set<std::string>& measures)
{
    refuseDuplicates(
        in, ecu.requests, [](const RequestDescription& r) { return r.name; }, "request");
    std::set<std::string> localIds, sessions;
    for (const auto& device : ecu.devices) {
        if (!devices.insert(device.name).second) in.fail(node, "duplicate device '" + device.name + "'");
        // A UDS device is its data identifier and its bit of the controlEnableMask.
        const std::string key = ecu.protocol == Protocol::Uds
                                    ? hexText({static_cast<uint8_t>(device.dataId >> 8),
                                               static_cast<uint8_t>(device.dataId), device.controlMask})
                                    : std::to_string(device.localId);
        if (!localIds.insert(key).second) {
            in.fail(node, (ecu.protocol == Protocol::Uds ? "duplicate data identifier and mask " + key
                                                         : "duplicate local identifier " + key) +
                              " of device '" + device.name + "'");
        }
        for (const auto& signal : device.measures) {
            if (!measures.insert(signal.name).second) in.fail(node, "duplicate signal '" + signal.name + "'");
        }
    }
    for (const auto& session : ecu.sessions) {
        if (!sessions.insert(session.name).second) in.fail(node, "duplicate session '" + session.name + "'");
    }
}

// Every name a data item, a signal or a fault refers to is one the ECU has.
void checkReferences(const AttributeReader& in, Node node, const EcuDescription& ecu)
{
    std::set<std::string> devices, measures;
    refuseDuplicateNames(in, node, ecu, devices, measures);
    std::set<std::string> parameters;
    // A device is one the ECU simulates or one a list of the ECU names (an ECU may list
    // more actuators than the 256 local identifiers it can simulate).
    std::set<std::string> named = devices;
    for (const auto& request : ecu.requests) {
        for (const auto& data : request.items) {
            parameters.insert(data.name);
            if (data.source.kind == ResponseSource::Kind::Signal && !measures.count(data.source.name))
                in.fail(data.line, "unknown signal '" + data.source.name + "'");
            if (!data.namedValues) continue;
            for (const auto& value : *data.namedValues)
                named.insert(value.name);
        }
    }
    for (const auto& request : ecu.requests) {
        for (const auto& data : request.items) {
            if (!data.device.empty() && !named.count(data.device))
                in.fail(data.line, "data item '" + data.name + "' names unknown device '" + data.device + "'");
            if (data.source.kind == ResponseSource::Kind::Parameter && !parameters.count(data.source.name))
                in.fail(data.line, "unknown parameter '" + data.source.name + "'");
        }
    }
    for (const auto& device : ecu.devices) {
        for (const auto& signal : device.measures) {
            if (!signal.follows.empty() && !parameters.count(signal.follows))
                in.fail(signal.line, "signal '" + signal.name + "' follows unknown parameter '" + signal.follows + "'");
        }
    }
    for (const auto& fault : ecu.faults) {
        if (fault.kind == FaultDescription::Kind::WrongKey) {
            if (!ecu.security) in.fail(node, "a wrongKey fault needs the ECU's <security>");
            continue;
        }
        const bool known = std::any_of(ecu.requests.begin(), ecu.requests.end(),
                                       [&](const RequestDescription& r) { return r.name == fault.request; });
        if (fault.kind != FaultDescription::Kind::Init && !known)
            in.fail(node, "fault names unknown request '" + fault.request + "'");
    }
}

EcuDescription readEcu(const AttributeReader& in, Node node)
{
    EcuDescription ecu;
    ecu.line = TavrinXml::line(node);
    ecu.id = in.int32(node, "id");
    ecu.name = in.required(node, "name");
    ecu.description = in.text(node, "description", "");
    ecu.address = static_cast<uint8_t>(in.integerOr(node, "address", 0x10, 0, 255));
    ecu.testerAddress = static_cast<uint8_t>(in.integerOr(node, "tester", 0xF1, 0, 255));
    const std::string protocol = in.text(node, "protocol", "kwp2000");
    if (protocol != "kwp2000" && protocol != "uds") in.fail(node, "protocol is kwp2000 or uds, not '" + protocol + "'");
    ecu.protocol = protocol == "uds" ? Protocol::Uds : Protocol::Kwp2000;
    ecu.controlNeedsSession = in.boolean(node, "controlNeedsSession", false);
    ecu.sessionTimeoutMs = static_cast<uint32_t>(in.integerOr(node, "sessionTimeoutMs", 5000, 1, 3600000));
    readEcuChildren(in, node, ecu);
    checkReferences(in, node, ecu);
    return ecu;
}

VehicleDescription readVehicle(const TavrinXml::Document& doc, const std::string& file)
{
    AttributeReader in(file);
    if (!doc.loaded()) {
        const auto& error = *doc.error();
        in.fail(error.line, error.reason + (error.column > 0 ? " (column " + std::to_string(error.column) + ")" : ""));
    }
    Node root = doc.root();
    if (TavrinXml::name(root) != "vehicle") in.fail(root, "the root element must be <vehicle>");
    VehicleDescription vehicle;
    vehicle.file = file;
    vehicle.name = in.text(root, "name", "");
    vehicle.busLatencyMs = static_cast<uint32_t>(in.integerOr(root, "busLatencyMs", 0, 0, 60000));
    vehicle.byteTimeUs = static_cast<uint32_t>(in.integerOr(root, "byteTimeUs", 0, 0, 100000));
    for (Node child : TavrinXml::childElements(root)) {
        if (TavrinXml::name(child) != "ecu") in.fail(child, "unexpected element <" + TavrinXml::name(child) + ">");
        vehicle.ecus.push_back(readEcu(in, child));
    }
    refuseDuplicates(
        in, vehicle.ecus, [](const EcuDescription& e) { return e.name; }, "ECU");
    // On one CAN bus an identifier belongs to one ECU.
    std::set<uint32_t> identifiers;
    for (const auto& ecu : vehicle.ecus) {
        if (!ecu.can) continue;
        for (uint32_t id : {ecu.can->requestId, ecu.can->responseId}) {
            if (!identifiers.insert(id).second)
                in.fail(ecu.line, "CAN identifier " + std::to_string(id) + " of ECU '" + ecu.name + "' is taken");
        }
    }
    return vehicle;
}

}  // namespace

VehicleDescription loadVehicleFile(const std::string& path)
{
    return readVehicle(TavrinXml::Document::load(path), path);
}

VehicleDescription loadVehicleText(const std::string& xml, const std::string& name)
{
    return readVehicle(TavrinXml::Document::parse(xml, name), name);
}

}  // namespace TavrinKwp
