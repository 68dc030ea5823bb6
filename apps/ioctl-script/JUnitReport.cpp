#include "JUnitReport.h"

#include "RunRecorder.h"

#include <QXmlStreamWriter>

namespace Scenario {

bool writeJUnit(const QString& file, const QString& scriptName, const std::vector<Expectation>& expectations,
                const QString& scriptError, double seconds, QString& why)
{
    QByteArray out;
    int failures = scriptError.isEmpty() ? 0 : 1;
    for (const auto& e : expectations)
        failures += e.failure.isEmpty() ? 0 : 1;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement("testsuites");
    xml.writeStartElement("testsuite");
    xml.writeAttribute("name", scriptName);
    xml.writeAttribute("tests", QString::number(expectations.size() + (scriptError.isEmpty() ? 0 : 1)));
    xml.writeAttribute("failures", QString::number(failures));
    xml.writeAttribute("time", QString::number(seconds, 'f', 3));
    for (const auto& e : expectations) {
        xml.writeStartElement("testcase");
        xml.writeAttribute("classname", scriptName);
        xml.writeAttribute("name", QStringLiteral("line %1: %2").arg(e.line).arg(e.text));
        if (!e.failure.isEmpty()) {
            xml.writeStartElement("failure");
            xml.writeAttribute("message", e.failure);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    if (!scriptError.isEmpty()) {
        xml.writeStartElement("testcase");
        xml.writeAttribute("classname", scriptName);
        xml.writeAttribute("name", "script");
        xml.writeStartElement("error");
        xml.writeAttribute("message", scriptError);
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return TavrinApps::writeWhole(file, out, why);
}

}  // namespace Scenario
