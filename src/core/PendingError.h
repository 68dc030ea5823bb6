// "Skip on failure": a step that throws is skipped and remembered, the next one
// runs, and the caller reads and clears the pending error where it matters.
#pragma once

#include "ControlErrors.h"
#include "Sorvik3.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <optional>

namespace TavrinIoCtl {

struct Failure {
    int32_t number = 0;
    QString description;
};

Failure failureOf(const std::exception& error);
Failure unknownFailure();

// The one catch ladder of the control: runs the step and gives what it threw,
// as a failure with its number; nothing when it did not throw.
template <typename Step>
std::optional<Failure> attempt(Step&& step) noexcept
{
    try {
        step();
        return std::nullopt;
    } catch (const std::exception& error) {
        return failureOf(error);
    } catch (...) {
        return unknownFailure();
    }
}

class PendingError {
  public:
    // Runs the step; true when it did not throw.
    template <typename Step>
    bool run(Step&& step) noexcept
    {
        auto failure = attempt(std::forward<Step>(step));
        if (!failure) return true;
        pending_ = std::move(failure);
        return false;
    }

    bool occurred() const { return pending_.has_value(); }
    // Reads and clears the pending error.
    std::optional<Failure> take()
    {
        auto failure = pending_;
        pending_.reset();
        return failure;
    }
    void clear() { pending_.reset(); }

  private:
    std::optional<Failure> pending_;
};

}  // namespace TavrinIoCtl
