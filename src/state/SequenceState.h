// The states of the drive sequence and its two modes, with the numbers hosts
// see (stateChanged, the fields). Registered with Qt's meta-object system, so
// a state prints and compares by its name.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

// The meta-object of this namespace is part of the control's public interface.
#define TAVRIN_STATE_EXPORT __attribute__((visibility("default")))

namespace TavrinIoCtl {
Q_NAMESPACE_EXPORT(TAVRIN_STATE_EXPORT)

enum class SequenceState : int32_t { Idle = 0, Init = 1, Start = 2, Status = 3, Stop = 4, EStop = 5 };
Q_ENUM_NS(SequenceState)

enum class DriveModeValue : int32_t { Temporary = 0, Permanent = 1 };
Q_ENUM_NS(DriveModeValue)

// The state as the status bar's DIAG panel shows it ("E Stop").
TAVRIN_STATE_EXPORT QString stateText(SequenceState state);
// The state's own name ("EStop"), as scripts write it.
TAVRIN_STATE_EXPORT QString stateName(SequenceState state);

}  // namespace TavrinIoCtl
