#include <DemoVehicle.h>
#include <SimSession.h>

#include <iostream>

int main()
{
    auto embedded = Sorvik3Sim::demoSession();
    auto installed = Sorvik3Sim::SimSession::load(std::string(DATA_DIR) + "/vehicles/demo.xml");
    const bool same = embedded->Ecus().size() == installed->Ecus().size() && !installed->Ecus().empty();
    std::cout << (same ? "package ok" : "package broken") << "\n";
    return same ? 0 : 1;
}
