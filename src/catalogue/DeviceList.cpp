#include "Catalogue.h"
#include "MultiLanguage.h"
#include "Utf8.h"
#include "Utils.h"

#include <QFontMetrics>
#include <QStyle>

#include <algorithm>
#include <array>

namespace TavrinIoCtl {
namespace {

const QString kNone;

}  // namespace

// Written for each of thousands of rows on every click: digits into a buffer,
// right-justified in four characters, no intermediate strings.
QString deviceIdText(int32_t number)
{
    char16_t digits[12];
    int at = 12;
    // Negative numbers through an unsigned magnitude: INT32_MIN has no positive twin.
    uint32_t magnitude = number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
    do {
        digits[--at] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0) digits[--at] = u'-';
    while (12 - at < 4)
        digits[--at] = u' ';
    return QString(reinterpret_cast<const QChar*>(digits + at), 12 - at);
}

void Catalogue::lvFunctions_ItemClick(TavrinPlatform::ListItem* row)
{
    if (row == nullptr) return;
    const auto* ecu = std::any_cast<Sorvik3::EcuRef>(&row->tag);
    selection_.SelectedEcu = ecu ? *ecu : nullptr;
    LoadDeviceList();
    fitIdColumn();  // the rows are in the list once its load is over
}

void Catalogue::addDevices(const Sorvik3::DataRef& data, bool temporary)
{
    if (!data) return;
    auto list = data->NumericList();
    if (!list) return;
    ListView* devices = w_.lvDevices;
    const int32_t last = list->LastIndex();
    devices->reserve(devices->rowCount() + last + 1);
    const QString mark = QStringLiteral("X");
    bool listed = false;
    for (int32_t i = 0; i <= last; ++i) {
        PendingError skip;
        std::string utf8;
        if (!skip.run([&] { utf8 = list->Item(i); })) continue;
        const QString name = text(utf8);
        const QString key = name + QStringLiteral("k");
        auto* row = devices->findItem(key);
        // A device already listed keeps the number it was listed with.
        if (row == nullptr) {
            QString id;
            skip.run([&] { id = deviceIdText(list->Value(utf8)); });
            devices->addItem(key, QStringList{name, id, temporary ? mark : QString(), temporary ? QString() : mark});
        } else if (temporary) {
            continue;  // the same device twice in one list: the first entry holds
        } else {
            devices->setSubItem(row, 3, mark);
        }
        listed = true;
    }
    if (listed) (temporary ? selection_.TemporaryListData : selection_.PermanentListData) = data;
}

// A number longer than the column's four characters (a UDS data identifier) is
// shown whole: the Id column grows by what it lacks, taken from the name column.
void Catalogue::fitIdColumn()
{
    ListView* devices = w_.lvDevices;
    const QFontMetrics metrics(devices->font());
    // Shaping each of thousands of numbers would cost as much as the whole list:
    // a number's width is its characters' advances (digits do not kern), each
    // measured once.
    std::array<int, 128> advance{};
    int needed = 0;
    for (int i = 0; i < devices->rowCount(); ++i) {
        const QString id = devices->row(i)->text(1);
        int width = 0;
        for (const QChar c : id) {
            if (c.unicode() >= advance.size()) {
                width = std::max(width, metrics.horizontalAdvance(id));
                break;
            }
            int& known = advance[c.unicode()];
            if (known == 0) known = std::max(1, metrics.horizontalAdvance(c));
            width += known;
        }
        needed = std::max(needed, width);
    }
    // Room for the cell's margins on both sides, as the view draws them.
    needed += 2 * devices->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, devices) + 8;
    const int lacking = needed - devices->columnWidth(1);
    if (lacking <= 0) return;
    devices->setColumnWidthNow(1, needed);
    devices->setColumnWidthNow(0, std::max(devices->columnWidth(0) - lacking, needed));
}

void Catalogue::resolveCommandValues()
{
    auto& f = selection_;
    f.CommandData =
        utils::FindDataByName(language_, f.OutputControlRequest, QStringLiteral("OutputControlCommand"), kNone);
    if (!f.CommandData) return;
    f.StartTemporaryValue = f.StartPermanentValue = f.StatusCommandValue = f.StopCommandValue = -1;
    PendingError skip;
    skip.run([&] {
        f.StartTemporaryValue = utils::FindValueByName(language_, f.CommandData, QStringLiteral("Start Temporary"));
    });
    skip.run([&] {
        f.StartPermanentValue = utils::FindValueByName(language_, f.CommandData, QStringLiteral("Start Permanent"));
    });
    skip.run(
        [&] { f.StatusCommandValue = utils::FindValueByName(language_, f.CommandData, QStringLiteral("Status")); });
    skip.run([&] { f.StopCommandValue = utils::FindValueByName(language_, f.CommandData, QStringLiteral("Stop")); });
}

void Catalogue::resolveStatusValues()
{
    auto& f = selection_;
    f.StatusData =
        utils::FindDataByName(language_, f.OutputControlRequest, QStringLiteral("OutputControlStatus"), kNone);
    if (!f.StatusData) return;
    f.RunningValue = f.StoppedValue = -1;
    PendingError skip;
    skip.run([&] { f.RunningValue = utils::FindValueByName(language_, f.StatusData, QStringLiteral("Running")); });
    skip.run([&] { f.StoppedValue = utils::FindValueByName(language_, f.StatusData, QStringLiteral("Stopped")); });
}

void Catalogue::prepareSessionName()
{
    auto& f = selection_;
    DiagItemViewWrite* view = w_.DiSessionName;
    Sorvik3::DataRef sessionName;
    if (f.StartSessionRequest)
        sessionName = utils::FindDataByName(language_, f.StartSessionRequest, QStringLiteral("SessionName"), kNone);
    if (!sessionName) {
        view->setVisible(false);
        return;
    }
    PendingError skip;
    view->setWriteEnabled(true);
    view->setVisible(true);
    const QString caption = language_.controlText(QStringLiteral("DiSessionName/caption"), QStringLiteral("Session"));
    view->setLabelWidth(
        TavrinPlatform::roundHalfEven(4 * c_.platform.scale.perPixelX + c_.platform.textWidthTwips(caption)));
    view->setCaption(caption);
    skip.run([&] { view->setEcuName(text(sessionName->Request()->Ecu()->Name())); });
    skip.run([&] { view->setRequestName(text(sessionName->Request()->Name())); });
    skip.run([&] { view->setDataName(text(sessionName->Name())); });
    view->setSession(c_.fields.Session);
    view->Display();
}

void Catalogue::logRequestSummary()
{
    auto& f = selection_;
    auto log = [this](const QString& line) { c_.report.LogMessage(line); };
    PendingError skip;
    skip.run(
        [&] { log(QStringLiteral("ECU : '") + text(f.SelectedEcu->Description()) + QStringLiteral("' requests : ")); });
    logRequestLines(f.OutputControlRequest, f.StopRequest, f.StatusRequest);
    skip.run([&] {
        log(f.StartSessionRequest ? QStringLiteral("   Start Diag Session : '") + text(f.StartSessionRequest->Name()) +
                                        QStringLiteral("'")
                                  : QStringLiteral("   No Start Diag Session request"));
    });
    skip.run([&] {
        log(f.TesterPresentRequest ? QStringLiteral("   Tester Present Request : '") +
                                         text(f.TesterPresentRequest->Name()) + QStringLiteral("'")
                                   : QStringLiteral("   No Tester Present request"));
    });
}

void Catalogue::logRequestLines(const Sorvik3::RequestRef& start, const Sorvik3::RequestRef& stop,
                                const Sorvik3::RequestRef& status)
{
    const std::pair<const char*, const Sorvik3::RequestRef*> lines[] = {
        {"   Start : '", &start}, {"   Stop : '", &stop}, {"   Status : '", &status}};
    PendingError skip;
    for (const auto& line : lines) {
        skip.run([&] {
            c_.report.LogMessage(QString::fromLatin1(line.first) + text((*line.second)->Name()) + QStringLiteral("'"));
        });
    }
}

Sorvik3::RequestRef Catalogue::requestOr(const QString& name, const QString& suffix,
                                         const Sorvik3::RequestRef& fallback)
{
    auto request = utils::FindRequestByName(language_, selection_.SelectedEcu, name, suffix);
    return request ? request : fallback;
}

void Catalogue::LoadDeviceList()
{
    auto& f = selection_;
    PendingError skip;
    const ListRedrawLock redraw({w_.lvDevices});
    skip.run([&] { ClearLists(ClearLevel::Devices); });
    const TavrinPlatform::ListBatch rows(w_.lvDevices);
    f.OutputControlRequest = f.StopRequest = f.StatusRequest = f.StartSessionRequest = f.TesterPresentRequest = nullptr;
    f.TemporaryListData = f.PermanentListData = nullptr;
    f.OutputControlRequest = utils::FindRequestByName(language_, f.SelectedEcu, QStringLiteral("OutputControl"), kNone);
    if (f.OutputControlRequest) {
        skip.run([&] {
            addDevices(utils::FindDataByName(language_, f.OutputControlRequest,
                                             QStringLiteral("OutputTemporaryControlList"), kNone),
                       true);
        });
        skip.run([&] {
            addDevices(utils::FindDataByName(language_, f.OutputControlRequest,
                                             QStringLiteral("OutputPermanentControlList"), kNone),
                       false);
        });
        skip.run([&] { resolveCommandValues(); });
        skip.run([&] { resolveStatusValues(); });
        f.StopRequest = requestOr(QStringLiteral("OutputControl.Stop"), kNone, f.OutputControlRequest);
        f.StatusRequest = requestOr(QStringLiteral("OutputControl.Status"), kNone, f.OutputControlRequest);
        f.StartSessionRequest =
            utils::FindRequestByName(language_, f.SelectedEcu, QStringLiteral("StartDiagnosticSession"), kNone);
        skip.run([&] { prepareSessionName(); });
        f.TesterPresentRequest =
            utils::FindRequestByName(language_, f.SelectedEcu, QStringLiteral("TesterPresent.WithResponse"), kNone);
        logRequestSummary();
    }
}

}  // namespace TavrinIoCtl
