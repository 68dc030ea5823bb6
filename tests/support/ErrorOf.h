// The number of the Sorvik3::Error a step throws; 0 when it throws none.
#pragma once

#include "Sorvik3.h"

#include <functional>

inline int errorOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const Sorvik3::Error& error) {
        return error.number();
    }
    return 0;
}
