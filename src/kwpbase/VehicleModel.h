// What a vehicle description file says, once loaded and checked. Plain values:
// the simulated objects and the simulated ECUs are built from these.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace TavrinKwp {

struct NamedValue {
    std::string name;
    int32_t number = 0;
};

enum class DataKind { Number, Bytes };

// Where a response byte range gets its value from, inside the simulated ECU.
struct ResponseSource {
    enum class Kind { Echo, Constant, DeviceState, RemainingTime, Signal, Parameter, Session };
    Kind kind = Kind::Echo;
    std::string name;            // signal or parameter name
    std::vector<uint8_t> bytes;  // constant bytes
};

struct DataDescription {
    std::string name;
    std::string unit;
    bool inResponse = false;
    int position = 0;  // byte offset in the message, the service id being 0
    int size = 1;      // bytes; 0 with Bytes means "the rest of the message"
    bool isSigned = false;
    uint32_t bitMask = 0;  // only these bits of its bytes, shifted down; 0: all of them
    double factor = 1.0;
    double offset = 0.0;
    int decimals = 0;
    DataKind kind = DataKind::Number;
    double defaultValue = 0.0;  // physical
    std::optional<std::vector<NamedValue>> namedValues;
    std::string device;  // empty: belongs to no device
    ResponseSource source;
    int line = 0;
};

struct RequestDescription {
    std::string name;
    uint8_t service = 0;
    std::vector<uint8_t> templateBytes;  // service id first
    std::vector<DataDescription> items;  // request items, then response items, in file order
    int pendingAnswers = 0;              // "response pending" answers before the final one
    int line = 0;
};

struct SignalDescription {
    std::string name;
    double idle = 0.0;
    double active = 0.0;
    std::string follows;  // parameter whose value sets the active level
    double gain = 1.0;
    double tauMs = 500.0;
    int line = 0;
};

struct DeviceDescription {
    std::string name;
    uint8_t localId = 0;      // KWP2000: the byte service 0x30 names it by
    uint16_t dataId = 0;      // UDS: the data identifier service 0x2F names it by
    uint8_t controlMask = 0;  // UDS: its bit in the identifier's controlEnableMask; 0 when it has the identifier alone
    bool needsSecurity = false;  // UDS: driven only once SecurityAccess unlocked the ECU
    bool temporary = true;
    bool permanent = true;
    uint32_t maxDurationMs = 0;         // 0: no limit of its own
    std::optional<uint8_t> refuseCode;  // answers every start negatively
    std::vector<SignalDescription> measures;
};

struct SessionDescription {
    std::string name;
    uint8_t id = 0;
};

struct FaultDescription {
    // NoAnswer: the request is ignored. The ECU acts on the request and then:
    // Lost, sends nothing; Late, answers after P2max; Cut, sends the first two
    // thirds of its answer; Stale, sends its previous answer instead; Refused,
    // answers it negatively with code all the same.
    // WrongKey: the ECU expects another key than the algorithm gives (request empty);
    // Suppressed: the ECU answers a request that asked for no positive answer.
    enum class Kind { Init, Negative, NoAnswer, Lost, Late, Cut, Stale, Refused, WrongKey, Suppressed };
    Kind kind = Kind::Negative;
    std::string request;  // empty for Init
    uint8_t code = 0;
    int count = -1;  // -1: always
};

// The K-line timing of ISO 14230-2 in milliseconds, with its default values.
struct KLineTiming {
    uint32_t p1Max = 20;  // between the bytes of an ECU's answer
    uint32_t p2Min = 25;  // from a request to the answer
    uint32_t p2Max = 50;
    uint32_t p2Extended = 5000;  // P2*: the wait for an answer after "response pending"
    uint32_t p3Min = 55;         // from an answer to the next request
    uint32_t p3Max = 5000;       // silence after which the ECU ends the communication
    uint32_t p4Min = 5;          // between the bytes of a request
};

struct KLineSettings {
    uint32_t baud = 10400;
    // What the ECU answers to StartCommunication; KB1 tells the header forms it takes.
    uint8_t keyByte1 = 0xEF;
    uint8_t keyByte2 = 0x8F;
    KLineTiming timing;
};

// KWP2000 on CAN (ISO 15765): the ECU's identifiers and ISO-TP settings.
struct CanSettings {
    uint32_t requestId = 0x7E0;      // the tester's frames to the ECU
    uint32_t responseId = 0x7E8;     // the ECU's frames to the tester
    bool extendedIds = false;        // 29-bit identifiers
    std::optional<uint8_t> padding;  // none, 0x55, 0xAA or 0xCC
    uint8_t blockSize = 0;           // in each side's flow control
    uint8_t stMin = 0;               // as on the bus: 0x00-0x7F ms, 0xF1-0xF9 100-900 us
    uint32_t p2Max = 50;
    uint32_t p2Extended = 5000;
};

// The diagnostic protocol an ECU speaks: KWP2000 (ISO 14230-3) or UDS (ISO 14229-1).
enum class Protocol { Kwp2000, Uds };

// SecurityAccess (0x27) an ECU asks for before output control: the level's seed
// request (odd), the key computed by the named key plug-in, sent with level + 1.
struct SecurityDescription {
    uint8_t level = 0x01;
    std::string keyPlugin;     // file name stem of the plug-in that computes the key
    int attempts = 3;          // wrong keys before the ECU locks up for delayMs
    uint32_t delayMs = 10000;  // requiredTimeDelay after too many wrong keys
    int line = 0;
};

struct EcuDescription {
    int32_t id = 0;
    std::string name;
    std::string description;
    uint8_t address = 0x10;
    uint8_t testerAddress = 0xF1;
    Protocol protocol = Protocol::Kwp2000;
    bool controlNeedsSession = false;  // output control refused in the default session
    uint32_t sessionTimeoutMs = 5000;
    KLineSettings kline;
    std::optional<CanSettings> can;  // empty: the ECU is not on CAN
    std::vector<RequestDescription> requests;
    std::vector<DeviceDescription> devices;
    std::vector<SessionDescription> sessions;  // the first is the default session
    std::vector<FaultDescription> faults;
    std::optional<SecurityDescription> security;  // UDS: asked for before output control
    int line = 0;
};

struct VehicleDescription {
    std::string name;
    std::string file;
    uint32_t busLatencyMs = 0;  // per exchange
    uint32_t byteTimeUs = 0;    // per byte on the line
    std::vector<EcuDescription> ecus;
};

}  // namespace TavrinKwp
