// Small helpers for driving the demo vehicle in tests on a manual clock.
#pragma once

#include "DemoVehicle.h"
#include "KwpSession.h"
#include "SessionClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class DemoVehicleTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        session = TavrinKwp::demoSession();
        session->setClock(clock.clock());
    }

    Sorvik3::EcuRef ecu(const std::string& name) const;
    Sorvik3::RequestRef request(const std::string& ecuName, const std::string& requestName) const;
    // Opens the link and the adjustment session of the engine ECU.
    Sorvik3::EcuRef openEngine();
    // Sends the general output-control request with a command and a device.
    void control(const std::string& requestName, const std::string& command, const std::string& list,
                 const std::string& device);
    std::string engineStatus(const std::string& device);
    void testerPresent();

    TavrinKwp::ManualClock clock{1000};
    std::shared_ptr<TavrinKwp::KwpSession> session;
};
