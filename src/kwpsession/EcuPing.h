// Which ECUs of a session answer: the start of communication sent to each in
// turn, and the communication closed again. For a user who wants to know
// whether the link reaches the vehicle before a test.
#pragma once

#include <TavrinIoCtl/Sorvik3.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace TavrinKwp {

struct EcuAnswer {
    std::string ecu;
    int32_t id = 0;
    int32_t error = 0;  // 0: it answers
    std::string why;    // the error's description
};

struct PingReport {
    std::vector<EcuAnswer> ecus;
    std::optional<Sorvik3::Error> closing;  // closing the communication failed
    bool cancelled = false;
    size_t answering() const;
};

// Told of each ECU before it is tried (before) and after (after); stops between ECUs once cancel is set.
PingReport pingEcus(Sorvik3::Session& session, const std::function<void(const std::string& ecu)>& before = {},
                    const std::function<void(const EcuAnswer&)>& after = {}, const std::atomic<bool>* cancel = nullptr);

}  // namespace TavrinKwp
