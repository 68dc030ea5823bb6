#include "GeneratedVehicles.h"

namespace Bench {
namespace {

std::string outputControl(const std::string& devices)
{
    return "<request name=\"OutputControl\" service=\"0x30\" bytes=\"30 00 00 00\">"
           "<data name=\"OutputTemporaryControlList\" position=\"1\" size=\"2\">" +
           devices +
           "</data><data name=\"OutputControlCommand\" position=\"3\"><value name=\"Start Temporary\" number=\"7\"/>"
           "<value name=\"Start Permanent\" number=\"8\"/><value name=\"Status\" number=\"1\"/>"
           "<value name=\"Stop\" number=\"0\"/></data><response><data name=\"OutputControlStatus\" position=\"4\" "
           "source=\"state\"><value name=\"Stopped\" number=\"0\"/><value name=\"Running\" number=\"1\"/></data>"
           "</response></request>";
}

std::string device(int index)
{
    return "Actuator " + std::to_string(index);
}

}  // namespace

std::string manyEcus(int ecus)
{
    std::string xml = "<vehicle name=\"Fleet\">";
    for (int e = 1; e <= ecus; ++e) {
        std::string devices;
        for (int d = 1; d <= 5; ++d)
            devices += "<value name=\"" + device(d) + "\" number=\"" + std::to_string(d) + "\"/>";
        xml += "<ecu id=\"" + std::to_string(e) + "\" name=\"Ecu" + std::to_string(e) + "\" description=\"ECU " +
               std::to_string(e) + "\">" + outputControl(devices) + "</ecu>";
    }
    return xml + "</vehicle>";
}

std::string bigEcu(int devices, int itemsPerDevice)
{
    std::string list;
    for (int d = 1; d <= devices; ++d)
        list += "<value name=\"" + device(d) + "\" number=\"" + std::to_string(d) + "\"/>";
    std::string reads;
    for (int d = 1; d <= devices; ++d) {
        reads += "<request name=\"ReadData." + std::to_string(d) + "\" service=\"0x21\" bytes=\"21 01\"><response>";
        for (int i = 0; i < itemsPerDevice; ++i) {
            reads += "<data name=\"Item" + std::to_string(d) + "." + std::to_string(i) + "\" position=\"" +
                     std::to_string(i + 1) + "\" device=\"" + device(d) +
                     "\" source=\"const:01\"><value name=\"Off\" number=\"0\"/><value name=\"On\" number=\"1\"/>"
                     "<value name=\"Fault\" number=\"2\"/></data>";
        }
        reads += "</response></request>";
    }
    return "<vehicle name=\"Big\"><ecu id=\"1\" name=\"Big\" description=\"An ECU of many devices\">" +
           outputControl(list) + reads + "</ecu></vehicle>";
}

}  // namespace Bench
