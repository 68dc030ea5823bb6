// For the tests, the scenario runner and the tools, which link the control
// statically: each part's widgets (through the part that owns them), the shared
// fields, the catalogue's selection and the run state as they stand (read only),
// and the screen's measures and the user's locale pinned so that printed figures
// are the same everywhere.
// Not installed: hosts use ioctl.h alone.
#pragma once

#include "DeviceSelectionState.h"
#include "RunState.h"
#include "Twips.h"
#include "ioctl_p.h"

#include <QLocale>

namespace TavrinIoCtl {

inline const WindowFrames& framesOf(const ioctl& control)
{
    return ioctlPrivate::of(control).frames;
}

inline const CatalogueWidgets& catalogueWidgetsOf(const ioctl& control)
{
    return ioctlPrivate::of(control).catalogue.widgets();
}

inline const SequencerWidgets& sequencerWidgetsOf(const ioctl& control)
{
    return ioctlPrivate::of(control).sequencer.widgets();
}

inline const ReportingWidgets& reportingWidgetsOf(const ioctl& control)
{
    return ioctlPrivate::of(control).report.widgets();
}

// What a translation walks, in its order.
inline QList<QObject*> translatedControlsOf(const ioctl& control)
{
    return ioctlPrivate::of(control).translatedControls();
}

inline const ControlFields& fieldsOf(const ioctl& control)
{
    return ioctlPrivate::of(control).fields;
}

// The language file the control loaded (its messages, texts and synonyms).
inline const multilanguage::Language& languageOf(const ioctl& control)
{
    return ioctlPrivate::of(control).language;
}

inline const DeviceSelection& selectionOf(const ioctl& control)
{
    return ioctlPrivate::of(control).catalogue.selection();
}

inline const RunState& runStateOf(const ioctl& control)
{
    return ioctlPrivate::of(control).sequencer.runState();
}

// Whether a request of the control is on the line (or a step waits for one).
inline bool requestInFlight(const ioctl& control)
{
    return ioctlPrivate::of(control).sequencer.busy();
}

// The measures of a machine-independent run: 15 twips a pixel, every character
// charWidth pixels wide, the C locale.
inline void pinMeasures(ioctl& control, int charWidth)
{
    auto& platform = ioctlPrivate::of(control).platform;
    platform.measure = [charWidth](const QFont&, const QString& text) {
        return charWidth * static_cast<int>(text.size());
    };
    platform.seconds = TavrinPlatform::SecondsText(QLocale::c());
    platform.scale = TavrinPlatform::TwipsScale{15.0, 15.0};
    ioctlPrivate::of(control).UserControl_Resize();
}

}  // namespace TavrinIoCtl
