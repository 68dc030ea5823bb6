// "Skip on failure": a step that throws is skipped and remembered, the next one
// runs, and the caller reads and clears the pending error where it matters.
#pragma once

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

// A failure that is not the session library's own carries this number.
constexpr int32_t kInternalErrorNumber = 0x7FFF0000;

Failure failureOf(const std::exception& error);

class PendingError {
  public:
    // Runs the step; true when it did not throw.
    template <typename Step>
    bool run(Step&& step) noexcept
    {
        try {
            step();
            return true;
        } catch (const std::exception& error) {
            pending_ = failureOf(error);
        } catch (...) {
            pending_ = Failure{kInternalErrorNumber, QStringLiteral("Unknown failure")};
        }
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
