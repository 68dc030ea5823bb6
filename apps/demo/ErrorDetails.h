// What an error number of the control means, for the host's details box.
#pragma once

#include <QString>

#include <cstdint>

QString errorDetails(int32_t number, const QString& statusText);
