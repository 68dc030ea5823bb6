#include "ErrorDetails.h"

#include "ErrorNumbers.h"
#include "Kwp2000Codes.h"

#include <QObject>

namespace {

QString responseCodeMeaning(uint8_t code)
{
    switch (code) {
    case 0x10: return QObject::tr("The ECU rejected the request without a more specific reason.");
    case 0x11: return QObject::tr("The ECU does not support this service.");
    case 0x12: return QObject::tr("The ECU does not support this sub-function, or the request is malformed.");
    case 0x13: return QObject::tr("The request's length or format is wrong for this service.");
    case 0x14: return QObject::tr("The answer would be longer than the transport can carry.");
    case 0x21: return QObject::tr("The ECU is busy; repeat the request later.");
    case 0x22:
        return QObject::tr("The conditions to run the request are not met (for example the wrong diagnostic "
                           "session, or the engine running).");
    case 0x31:
        return QObject::tr("A value of the request is out of range: often a device the ECU does not know, or "
                           "a control mode it does not allow for that device.");
    case 0x24:
        return QObject::tr("The request came out of order: the ECU expects another one first (for example the seed "
                           "before the key).");
    case 0x25: return QObject::tr("The ECU asked another unit on its own network, which did not answer.");
    case 0x26: return QObject::tr("A fault stored in the ECU prevents the action.");
    case 0x33: return QObject::tr("Security access is required first.");
    case 0x35: return QObject::tr("The security key is wrong: the key algorithm does not suit this ECU.");
    case 0x36:
        return QObject::tr("Too many wrong security keys: the ECU locks security access for a while; wait, or "
                           "switch the ignition off and on.");
    case 0x37: return QObject::tr("Security access was asked again too soon after a refusal: wait, then try again.");
    case 0x7E: return QObject::tr("The sub-function is not supported in the active diagnostic session.");
    case 0x7F:
        return QObject::tr("The service is not supported in the active diagnostic session: open the session it "
                           "needs (often the extended one) first.");
    case 0x78: return QObject::tr("The ECU is still working on the request.");
    case 0x80: return QObject::tr("The service is not supported in the active diagnostic session.");
    default: return QObject::tr("See the ECU's documentation for this response code.");
    }
}

QString libraryMeaning(int32_t number)
{
    using TavrinKwp::SessionError;
    switch (static_cast<SessionError>(number)) {
    case SessionError::NoAnswer:
        return QObject::tr("The ECU did not answer in time: check the wiring, the ignition and the ECU's address.");
    case SessionError::UnknownName: return QObject::tr("The ECU description does not hold the name asked for.");
    case SessionError::LinkNotOpen: return QObject::tr("Communication with the ECU is not started.");
    case SessionError::BadFrame:
        return QObject::tr("The ECU's answer was wrong: checksum, length, address or service. "
                           "Interference on the line, or another ECU answering.");
    case SessionError::TooManyPending: return QObject::tr("The ECU kept answering \"response pending\".");
    case SessionError::ValueOutOfRange: return QObject::tr("A value does not fit the data item.");
    case SessionError::LinkUnavailable:
        return QObject::tr("The interface cannot be opened or has failed: is it plugged in, is the port name "
                           "right, may this user open it (Linux: the dialout group)?");
    case SessionError::BusCollision:
        return QObject::tr("What was sent did not come back as sent: another device talked at the same time, "
                           "or the interface does not echo (set echo=0 in the link's options).");
    case SessionError::BadConnection:
        return QObject::tr("The link's connection string names no link (see \"Connect...\").");
    case SessionError::NotSimulated:
        return QObject::tr("This needs the simulated vehicle, and the link reaches a real one.");
    case SessionError::TransportTimeout:
        return QObject::tr("A CAN frame of the ECU's answer, or its flow control, did not come in time.");
    case SessionError::TransportError:
        return QObject::tr("The ECU broke the CAN transport protocol (ISO-TP), or has no room for the request.");
    case SessionError::KeyPlugin:
        return QObject::tr("The ECU asks for security access, and its key plug-in is missing, failed to load or "
                           "gave no key: name the folder that holds it (--key-plugins).");
    case SessionError::ControlReturned:
        return QObject::tr("The ECU's diagnostic session ended (no request for a few seconds, or it was switched "
                           "off): the ECU took its outputs back itself. Nothing is driven by the test any more.");
    default: break;
    }
    // The library's own short name for the rest, as its tables write it.
    const char* name = TavrinKwp::meaning(static_cast<SessionError>(number));
    if (*name != '\0') return QObject::tr("An error of the session library: \"%1\".").arg(QString::fromLatin1(name));
    return QObject::tr("An error of the session library or of the control.");
}

}  // namespace

QString errorDetails(int32_t number, const QString& statusText)
{
    QString text = QObject::tr("Error %1 (0x%2)").arg(number).arg(QString::number(number, 16).toUpper());
    if (!statusText.isEmpty()) text += QStringLiteral("\n\n") + statusText;
    if (number > 0 && number <= 0xFF) {
        const auto code = static_cast<uint8_t>(number);
        text +=
            QStringLiteral("\n\n") + QObject::tr("Negative response 0x%1 %2")
                                         .arg(QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0')),
                                              QString::fromStdString(TavrinKwp::responseCodeName(code)));
        text += QStringLiteral("\n") + responseCodeMeaning(code);
    } else {
        text += QStringLiteral("\n\n") + libraryMeaning(number);
    }
    return text;
}
