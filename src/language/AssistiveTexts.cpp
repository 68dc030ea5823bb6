#include "AssistiveTexts.h"

#include "ListView.h"
#include "MultiLanguage.h"

namespace TavrinIoCtl {
namespace {

struct Assistive {
    const char* objectName;
    const char* name;
    const char* description;
};

const Assistive kEntries[] = {
    {"lvFunctions", "ECU list",
     "The ECUs that offer output control. The arrow keys move, Return or Space chooses an ECU, Ctrl+1, Ctrl+2 sort "
     "by a column."},
    {"lvDevices", "Device list",
     "The devices of the chosen ECU; T: may be driven temporarily, P: permanently. Return or Space chooses a "
     "device, Ctrl+1 to Ctrl+4 sort by a column."},
    {"lvData", "Device data", "The values of the device's data."},
    {"lvStatus", "Device status", "The values the status request returns while the device is driven."},
    {"ParamVScroll", "Scroll the parameters", ""},
    {"CbStop", "Stop", "Stop driving the device (F7)."},
    {"cbEstop", "Emergency stop", "Stop the device and close the communication at once (Esc)."},
    {"lbTime", "Elapsed time", "Seconds since the start of the sequence."},
    {"PictureRunning", "Running", "A sequence is running."},
    {"runLog", "Run log", "Every request, answer and step of the sequence."},
    // The options are named by their captions; the description says what they choose.
    {"OptionPerm", "", "Monitoring while the device is driven: what is sent at each step."},
    {"sbMain", "Status bar",
     "The last message (click it for the details of an error), the version, the state "
     "and the indicator."},
};

void nameWidget(const multilanguage::Language& language, QWidget* widget, const Assistive& entry)
{
    const QString key = widget->objectName() + QStringLiteral("/");
    if (*entry.name != '\0') {
        widget->setAccessibleName(
            language.controlText(key + QStringLiteral("accessibleName"), QString::fromUtf8(entry.name)));
    }
    widget->setAccessibleDescription(
        language.controlText(key + QStringLiteral("accessibleDescription"), QString::fromUtf8(entry.description)));
}

}  // namespace

void translateAssistiveTexts(const multilanguage::Language& language, const QList<QObject*>& controls)
{
    for (QObject* control : controls) {
        auto* widget = qobject_cast<QWidget*>(control);
        if (widget == nullptr) continue;
        const QString name = widget->objectName();
        for (const auto& entry : kEntries) {
            if (name == QLatin1String(entry.objectName)) nameWidget(language, widget, entry);
        }
        if (name != QStringLiteral("lvStatus")) continue;
        if (auto* status = qobject_cast<TavrinPlatform::ListView*>(widget)) {
            status->headerItem()->setText(
                0, language.controlText(QStringLiteral("lvStatus/NAME/text"), QStringLiteral("Name")));
            status->headerItem()->setText(
                1, language.controlText(QStringLiteral("lvStatus/VALUE/text"), QStringLiteral("Value")));
        }
    }
}

}  // namespace TavrinIoCtl
