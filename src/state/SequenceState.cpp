#include "SequenceState.h"

#include <QMetaEnum>

namespace TavrinIoCtl {

QString stateText(SequenceState state)
{
    return state == SequenceState::EStop ? QStringLiteral("E Stop") : stateName(state);
}

QString stateName(SequenceState state)
{
    const char* key = QMetaEnum::fromType<SequenceState>().valueToKey(static_cast<int>(state));
    return key ? QString::fromLatin1(key) : QString::number(static_cast<int>(state));
}

}  // namespace TavrinIoCtl
