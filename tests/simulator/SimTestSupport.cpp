#include "SimTestSupport.h"

Sorvik3::EcuRef DemoVehicleTest::ecu(const std::string& name) const
{
    for (auto& candidate : session->Ecus()) {
        if (candidate->Name() == name) return candidate;
    }
    ADD_FAILURE() << "no ECU " << name;
    return nullptr;
}

Sorvik3::RequestRef DemoVehicleTest::request(const std::string& ecuName, const std::string& requestName) const
{
    return ecu(ecuName)->Request(requestName);
}

Sorvik3::EcuRef DemoVehicleTest::openEngine()
{
    auto engine = ecu("EngineControl");
    engine->Init();
    engine->Request("StartDiagnosticSession")->Send();
    return engine;
}

void DemoVehicleTest::control(const std::string& requestName, const std::string& command, const std::string& list,
                              const std::string& device)
{
    auto r = request("EngineControl", requestName);
    r->Data("OutputControlCommand")->setValueName(command);
    r->Data(list)->setValueName(device);
    r->Send();
}

std::string DemoVehicleTest::engineStatus(const std::string& device)
{
    control("OutputControl.Status", "Status", "OutputTemporaryControlList", device);
    return request("EngineControl", "OutputControl.Status")->Data("OutputControlStatus")->ValueText();
}

void DemoVehicleTest::testerPresent()
{
    request("EngineControl", "TesterPresent.WithResponse")->Send();
}
