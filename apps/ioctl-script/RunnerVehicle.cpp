// The commands that set up the run: the vehicle, its link, the installation,
// language and session, faults of the simulated ECUs, abort.
#include "Runner.h"

#include "DemoVehicle.h"
#include "ElmFaults.h"
#include "EndingSignals.h"
#include "FaultInjector.h"
#include "LanguageCheck.h"
#include "SessionClock.h"
#include "SimulatedEcu.h"
#include "SimulatedVehicle.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPainter>
#include <QSignalBlocker>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>

namespace Scenario {

void Runner::openVehicle()
{
    const std::string link = options_.link.toStdString();
    session_ = vehicleFile_.isEmpty() ? TavrinKwp::KwpSession::fromText(TavrinKwp::demoVehicleXml(), "demo.xml", link)
                                      : TavrinKwp::KwpSession::load(vehicleFile_.toStdString(), link);
    session_->setClock(clock_.clock());
    session_->setKeyPluginFolders(options_.keyFolders);
    realTime_.start();
    realTimeBase_ = clock_.now();
}

void Runner::vehicle(const Words& w)
{
    vehicleFile_ = w[0] == "demo" ? QString() : QDir(options_.scriptDir).absoluteFilePath(w[0]);
    try {
        openVehicle();
    } catch (const Sorvik3::Error& error) {
        fail(QString::fromStdString(error.description()));
    }
}

void Runner::link(const Words& w)
{
    options_.link = w[0];
    try {
        openVehicle();
    } catch (const Sorvik3::Error& error) {
        fail(QString::fromStdString(error.description()));
    }
}

void Runner::init(const Words& w)
{
    if (!w.isEmpty()) language_ = w[0];
    const QString warning =
        TavrinApps::unknownLanguageWarning(QStringLiteral("ioctl-script"), options_.installPath, language_);
    if (!warning.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(warning));
    try {
        control_->initParameters(options_.installPath, language_, session_);
    } catch (const Sorvik3::Error& error) {
        say(QStringLiteral("initParameters failed: error %1: %2")
                .arg(error.number())
                .arg(QString::fromStdString(error.description()).replace("\r\n", " / ")));
    }
}

void Runner::install(const Words& w)
{
    options_.installPath = QDir(options_.scriptDir).absoluteFilePath(w[0]);
}

void Runner::language(const Words& w)
{
    language_ = w[0];
}

void Runner::session(const Words&)
{
    control_->setSession(session_);
}

void Runner::abort(const Words&)
{
    control_->Abort();
}

// The ECU acts on the request and its answer goes wrong this way.
std::optional<TavrinKwp::FaultDescription::Kind> spoiledAnswer(const QString& word)
{
    using Kind = TavrinKwp::FaultDescription::Kind;
    if (word == "lost") return Kind::Lost;
    if (word == "late") return Kind::Late;
    if (word == "cut") return Kind::Cut;
    if (word == "stale") return Kind::Stale;
    if (word == "answer-anyway") return Kind::Suppressed;
    return std::nullopt;
}

// The emulated adapter's faults (elm:loopback): its own reply in place of answers, commands a clone refuses.
void Runner::adapterFault(const Words& w)
{
    if (session_->linkName().rfind("elm:loopback", 0) != 0) fail("fault adapter needs the link elm:loopback");
    std::vector<std::string> words;
    for (int i = 1; i < w.size(); ++i)
        words.push_back(w[i].toStdString());
    const std::string why = TavrinKwp::armElmFault(words, TavrinKwp::simulatedVehicle(*session_).lineFaults().elm);
    if (!why.empty()) fail("fault adapter " + QString::fromStdString(why));
}

void Runner::fault(const Words& w)
{
    if (w[0] == "adapter") return adapterFault(w);
    auto& faults = TavrinKwp::simulatedVehicle(*session_).faults();
    auto times = [this, &w](int index) {
        if (w.size() <= index || w[index] == "once") return 1;
        if (w[index] == "always") return TavrinKwp::FaultInjector::kAlways;
        const int n = count(w[index]);
        if (n == 0) fail("a fault holds once, N times or always");
        return n;
    };
    const QString kind = w[0];
    if (kind != "clear" && w.size() >= 2) {
        try {
            TavrinKwp::simulatedVehicle(*session_).behaviour(w[1].toStdString());
        } catch (const Sorvik3::Error&) {
            fail("no ECU '" + w[1] + "' in the vehicle");
        }
    }
    if (kind == "clear")
        faults.clear();
    else if (kind == "init" && w.size() >= 2)
        faults.failInit(w[1].toStdString(), times(2));
    else if (kind == "wrong-key" && w.size() >= 2)
        faults.refuseKey(w[1].toStdString(), times(2));
    else if (kind == "negative" && w.size() >= 4) {
        bool ok = false;
        const int code = w[3].toInt(&ok, 0);
        if (!ok || code < 1 || code > 255) fail("response code '" + w[3] + "' is not 1 to 255");
        faults.answerNegatively(w[1].toStdString(), w[2].toStdString(), static_cast<uint8_t>(code), times(4));
    } else if (kind == "acts-refuses" && w.size() >= 4) {
        bool ok = false;
        const int code = w[3].toInt(&ok, 0);
        if (!ok || code < 1 || code > 255) fail("response code '" + w[3] + "' is not 1 to 255");
        faults.actThenRefuse(w[1].toStdString(), w[2].toStdString(), static_cast<uint8_t>(code), times(4));
    } else if (kind == "noanswer" && w.size() >= 3) {
        faults.dropAnswer(w[1].toStdString(), w[2].toStdString(), times(3));
    } else if (const auto spoiled = spoiledAnswer(kind); spoiled && w.size() >= 3) {
        faults.spoilAnswer(w[1].toStdString(), w[2].toStdString(), *spoiled, times(3));
    } else {
        fail("fault init|wrong-key ECU [N], fault negative|acts-refuses ECU REQUEST CODE [N], fault "
             "noanswer|lost|late|cut|stale|answer-anyway ECU REQUEST [N], fault adapter REPLY [N] or fault clear");
    }
}

}  // namespace Scenario
