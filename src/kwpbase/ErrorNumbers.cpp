#include "ErrorNumbers.h"

namespace TavrinKwp {

const char* meaning(SessionError error)
{
    switch (error) {
    case SessionError::NoAnswer: return "No answer";
    case SessionError::UnknownName: return "Unknown name";
    case SessionError::LinkNotOpen: return "Communication not started";
    case SessionError::BadFrame: return "Wrong answer";
    case SessionError::TooManyPending: return "Too many \"response pending\" answers";
    case SessionError::ValueOutOfRange: return "Value out of range";
    case SessionError::NotNumeric: return "Not a number";
    case SessionError::NotWritable: return "Not writable";
    case SessionError::BadDescription: return "Bad vehicle description";
    case SessionError::LinkUnavailable: return "Interface unavailable";
    case SessionError::BusCollision: return "Bus collision";
    case SessionError::BadConnection: return "Bad connection string";
    case SessionError::NotSimulated: return "Not the simulated vehicle";
    case SessionError::TransportTimeout: return "Transport timeout";
    case SessionError::TransportError: return "Transport error";
    case SessionError::LinkBusy: return "Link busy";
    case SessionError::Interrupted: return "Wait given up";
    case SessionError::MaybeLateAnswer: return "Refusal of unknown origin";
    case SessionError::KeyPlugin: return "Security key plug-in failed";
    case SessionError::ControlReturned: return "ECU took control back";
    }
    return "";
}

}  // namespace TavrinKwp
