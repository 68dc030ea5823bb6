// Prints what a vehicle description offers: its ECUs, their requests and the
// devices of their output-control lists. Without an argument: the demo vehicle.
#include "DemoVehicle.h"
#include "SimSession.h"

#include <iostream>

namespace {

void printList(const Sorvik3::RequestRef& request, const std::string& item, const char* label)
{
    try {
        auto list = request->Data(item)->NumericList();
        if (!list) return;
        std::cout << "    " << label << ":";
        for (int32_t i = 0; i <= list->LastIndex(); ++i) {
            const std::string name = list->Item(i);
            std::cout << (i ? ", " : " ") << name << " (" << list->Value(name) << ")";
        }
        std::cout << "\n";
    } catch (const Sorvik3::Error&) {
        // an ECU without that list simply has nothing to show
    }
}

void printEcu(const Sorvik3::EcuRef& ecu, const Sorvik3Sim::EcuSpec& model)
{
    std::cout << "ECU " << ecu->Id() << " " << ecu->Name() << " - " << ecu->Description() << "\n";
    std::cout << "  requests:";
    for (const auto& request : model.requests)
        std::cout << " " << request.name;
    std::cout << "\n";
    for (const auto& request : model.requests) {
        if (request.service != 0x30 || request.name.find('.') != std::string::npos) continue;
        auto ref = ecu->Request(request.name);
        std::cout << "  " << request.name << "\n";
        for (const auto& item : ref->Items()) {
            auto list = item->NumericList();
            if (list && !item->InResponse() && list->LastIndex() >= 0 &&
                item->Name().find("List") != std::string::npos) {
                printList(ref, item->Name(), item->Name().c_str());
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        auto session = argc > 1 ? Sorvik3Sim::SimSession::load(argv[1]) : Sorvik3Sim::demoSession();
        std::cout << "Vehicle: " << session->vehicle().name << "\n";
        const auto ecus = session->Ecus();
        for (size_t i = 0; i < ecus.size(); ++i)
            printEcu(ecus[i], session->vehicle().ecus[i]);
        return 0;
    } catch (const Sorvik3::Error& error) {
        std::cerr << "error " << error.number() << ": " << error.description() << "\n";
        return 1;
    }
}
