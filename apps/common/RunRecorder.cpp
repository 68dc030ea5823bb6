#include "RunRecorder.h"

#include "DiagItemViewWrite.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>
#include <filesystem>

namespace TavrinApps {
namespace {

using TavrinDiagItem::DiagItemViewWrite;

// What the user set in the control when the run began, read off its views as the user saw them.
std::vector<std::pair<QString, QString>> commandedParameters(const QWidget& control)
{
    std::vector<std::pair<QString, QString>> parameters;
    for (const auto* item : control.findChildren<DiagItemViewWrite*>(QStringLiteral("DeviceParam"))) {
        if (item->DataName().isEmpty() || !item->isVisibleTo(&control)) continue;
        const QString unit = item->unitText();
        parameters.emplace_back(item->DataName(), unit.isEmpty() ? item->valueText() : item->valueText() + ' ' + unit);
    }
    return parameters;
}

QString commandedSession(const QWidget& control)
{
    const auto* session = control.findChild<DiagItemViewWrite*>(QStringLiteral("DiSessionName"));
    return session && session->isVisibleTo(&control) ? session->valueText() : QString();
}

}  // namespace
// Texts come from vehicle files and ECUs: one that a spreadsheet would run as a
// formula is written as text (a leading apostrophe), a number stays a number.
QString csvField(const QString& text)
{
    QString field = text;
    bool number = false;
    field.toDouble(&number);
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!number && !field.isEmpty() && formulaStarts.contains(field.front())) field.prepend(QLatin1Char('\''));
    const bool plain = !field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) &&
                       !field.contains(QLatin1Char('\n')) && !field.contains(QLatin1Char('\r'));
    if (plain) return field;
    field.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

bool writeWhole(const QString& path, const QByteArray& content, QString& why)
{
    if (const QString problem = cannotWrite(path); !problem.isEmpty()) {
        why = problem;
        return false;
    }
    QSaveFile file(path);
    // Every write is checked before the commit: a full disk must not replace the
    // old file by a cut one (commit() alone lets a failed flush pass).
    const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.flush() &&
                         file.error() == QFileDevice::NoError;
    if (!written) {
        why = file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        why = file.errorString();
        return false;
    }
    return true;
}

QString cannotWrite(const QString& path)
{
    const QFileInfo info(path);
    std::error_code error;
    const auto type = std::filesystem::status(path.toStdString(), error).type();
    if (type == std::filesystem::file_type::directory) return QStringLiteral("a directory, not a file");
    if (type != std::filesystem::file_type::regular && type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::none)
        return QStringLiteral("not a regular file (a device or a pipe): it cannot be replaced whole");
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) return QStringLiteral("the folder %1 does not exist").arg(folder.filePath());
    if (!folder.isWritable()) return QStringLiteral("the folder %1 cannot be written").arg(folder.filePath());
    if (info.exists() && !info.isWritable()) return QStringLiteral("the file cannot be written");
    return {};
}

bool savePicture(const QImage& picture, const QString& path, QString& why)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, QFileInfo(path).suffix().toLower().toLatin1());
    if (writer.format().isEmpty()) writer.setFormat("png");
    if (!writer.write(picture)) {
        why = writer.errorString();
        return false;
    }
    return writeWhole(path, bytes, why);
}

RunRecorder::RunRecorder(TavrinIoCtl::ioctl& control, QString vehicle, Context context)
    : control_(control), vehicle_(std::move(vehicle)), context_(std::move(context))
{
    QObject::connect(&control, &TavrinIoCtl::ioctl::stateChanged, &control,
                     [this](TavrinIoCtl::SequenceState state) { stateChanged(state); });
    QObject::connect(
        &control, &TavrinIoCtl::ioctl::dataRead, &control,
        [this](const QString& name, const QString& unit, const QString& text, double value, quint32 ms) {
            const QStringList now = context_.current();
            const int run = running_ ? static_cast<int>(runs_.size()) : 0;
            samples_.push_back({ms, now.value(0), now.value(1), name, text, unit, value, run, this->now()});
        });
    QObject::connect(&control, &TavrinIoCtl::ioctl::errorReported, &control,
                     [this](qint32 number, const QString& text) {
                         if (running_ && !runs_.empty()) runs_.back().errors.emplace_back(number, text);
                     });
}

void RunRecorder::stateChanged(TavrinIoCtl::SequenceState state)
{
    if (state == TavrinIoCtl::SequenceState::Init && !running_) {
        const QStringList now = context_.current();
        RunRecord run;
        run.vehicle = vehicle_;
        if (context_.vehicle) {
            const QStringList vehicle = context_.vehicle();
            run.vehicle = vehicle.value(0);
            run.vehicleFile = vehicle.value(1);
            run.link = vehicle.value(2);
        }
        run.ecu = now.value(0);
        run.device = now.value(1);
        run.mode = now.value(2);
        run.option = now.value(3);
        run.monitorData = now.value(4) == QLatin1String("1");
        run.session = commandedSession(control_);
        run.parameters = commandedParameters(control_);
        run.started = this->now();
        run.startMs = context_.clockMs();
        runs_.push_back(run);
        running_ = true;
    }
    if (!running_ || runs_.empty()) return;
    RunRecord& run = runs_.back();
    run.finalState = TavrinIoCtl::stateName(state);
    run.durationMs = context_.clockMs() - run.startMs;
    run.log = control_.runLogLines();
    if (state == TavrinIoCtl::SequenceState::Idle) {
        run.stopped = !control_.DrivenDevices().contains(run.device);
        running_ = false;
    }
}

QDateTime RunRecorder::now()
{
    const quint32 clock = context_.clockMs();
    // A session of its own clock (another vehicle opened) starts afresh from the wall clock.
    if (lastTime_.isValid() && clock >= lastClock_)
        lastTime_ = lastTime_.addMSecs(clock - lastClock_);
    else
        lastTime_ = std::max(QDateTime::currentDateTimeUtc(), lastTime_);
    lastClock_ = clock;
    return lastTime_;
}

QStringList RunRecorder::lastLog() const
{
    const QStringList shown = control_.runLogLines();
    const QStringList& kept = runs_.back().log;
    // Lines the control added after the run ended (a stop tried again) belong to it; a cleared log does not.
    const bool sameRun = !kept.isEmpty() && shown.size() >= kept.size() && shown.first() == kept.first();
    return running_ || sameRun ? shown : kept;
}

bool RunRecorder::writeCsv(const QString& path, QString& why) const
{
    QByteArray csv = "run,time,time_ms,ecu,device,item,value,unit\n";
    for (const auto& s : samples_) {
        const QString value = std::isnan(s.value) ? s.valueText : QString::number(s.value, 'g', 10);
        csv += (QString::number(s.run) + QLatin1Char(',') + s.at.toString(Qt::ISODateWithMs) + QLatin1Char(',') +
                QString::number(s.ms) + QLatin1Char(',') + csvField(s.ecu) + QLatin1Char(',') + csvField(s.device) +
                QLatin1Char(',') + csvField(s.item) + QLatin1Char(',') + csvField(value) + QLatin1Char(',') +
                csvField(s.unit) + QLatin1Char('\n'))
                   .toUtf8();
    }
    return writeWhole(path, csv, why);
}

bool RunRecorder::writeReport(const QString& path, QString& why) const
{
    QJsonArray runs;
    for (const auto& r : runs_) {
        QJsonArray errors;
        for (const auto& [number, text] : r.errors)
            errors.append(QJsonObject{{"number", number}, {"text", text}});
        QJsonObject parameters;
        for (const auto& [name, value] : r.parameters)
            parameters.insert(name, value);
        runs.append(QJsonObject{{"run", static_cast<int>(runs.size()) + 1},
                                {"vehicle", r.vehicle},
                                {"vehicleFile", r.vehicleFile},
                                {"link", r.link},
                                {"ecu", r.ecu},
                                {"device", r.device},
                                {"mode", r.mode},
                                {"session", r.session},
                                {"parameters", parameters},
                                {"options", QJsonObject{{"option", r.option}, {"monitorData", r.monitorData}}},
                                {"startTime", r.started.toString(Qt::ISODateWithMs)},
                                {"durationMs", static_cast<qint64>(r.durationMs)},
                                {"finalState", r.finalState},
                                {"errors", errors},
                                {"deviceStopped", r.stopped}});
    }
    const QJsonObject report{{"format", "tavrin-run-report/1"}, {"runs", runs}};
    return writeWhole(path, QJsonDocument(report).toJson(QJsonDocument::Indented), why);
}

bool RunRecorder::writeLog(const QString& path, QString& why) const
{
    QStringList lines;
    if (runs_.empty()) lines = control_.runLogLines();
    for (size_t i = 0; i < runs_.size(); ++i) {
        const RunRecord& r = runs_[i];
        if (i > 0) lines << QString();
        lines << QStringLiteral("=== Run %1: %2 / %3, %4, %5")
                     .arg(i + 1)
                     .arg(r.ecu, r.device, r.mode, r.started.toString(Qt::ISODateWithMs));
        lines << (i + 1 == runs_.size() ? lastLog() : r.log);
    }
    return writeWhole(path, lines.join(QLatin1Char('\n')).toUtf8() + '\n', why);
}

}  // namespace TavrinApps
