#include "AssistiveTexts.h"

#include "MultiLanguage.h"

namespace TavrinIoCtl {
namespace {

struct Assistive {
    QWidget* widget;
    const char* name;
    const char* description;
};

void nameWidget(const multilanguage::Language& language, const Assistive& entry)
{
    const QString key = entry.widget->objectName() + QStringLiteral("/");
    entry.widget->setAccessibleName(
        language.controlText(key + QStringLiteral("accessibleName"), QString::fromUtf8(entry.name)));
    entry.widget->setAccessibleDescription(
        language.controlText(key + QStringLiteral("accessibleDescription"), QString::fromUtf8(entry.description)));
}

}  // namespace

void translateAssistiveTexts(const multilanguage::Language& language, const Form& f)
{
    const Assistive entries[] = {
        {f.lvFunctions, "ECU list",
         "The ECUs that offer output control. The arrow keys move, Return or Space chooses an ECU."},
        {f.lvDevices, "Device list",
         "The devices of the chosen ECU; T: may be driven temporarily, P: permanently. Return or Space chooses a "
         "device."},
        {f.lvData, "Device data", "The values of the device's data."},
        {f.lvStatus, "Device status", "The values the status request returns while the device is driven."},
        {f.ParamVScroll, "Scroll the parameters", ""},
        {f.CbStop, "Stop", "Stop driving the device (F7)."},
        {f.cbEstop, "Emergency stop", "Stop the device and close the communication at once (Esc)."},
        {f.lbTime, "Elapsed time", "Seconds since the start of the sequence."},
        {f.PictureRunning, "Running", "A sequence is running."},
        {f.runLog, "Run log", "Every request, answer and step of the sequence."},
        {f.sbMain, "Status bar",
         "The last message (click it for the details of an error), the version, the state "
         "and the indicator."},
    };
    for (const auto& entry : entries)
        nameWidget(language, entry);
    f.lvStatus->headerItem()->setText(
        0, language.controlText(QStringLiteral("lvStatus/NAME/text"), QStringLiteral("Name")));
    f.lvStatus->headerItem()->setText(
        1, language.controlText(QStringLiteral("lvStatus/VALUE/text"), QStringLiteral("Value")));
}

}  // namespace TavrinIoCtl
