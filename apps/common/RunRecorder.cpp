#include "RunRecorder.h"

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
    QObject::connect(&control, &TavrinIoCtl::ioctl::dataRead, &control,
                     [this](const QString& name, const QString& unit, const QString& text, double value, quint32 ms) {
                         const QStringList now = context_.current();
                         samples_.push_back({ms, now.value(0), now.value(1), name, text, unit, value});
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
        run.started = QDateTime::currentDateTimeUtc();
        run.startMs = context_.clockMs();
        runs_.push_back(run);
        running_ = true;
    }
    if (!running_ || runs_.empty()) return;
    RunRecord& run = runs_.back();
    run.finalState = TavrinIoCtl::stateName(state);
    run.durationMs = context_.clockMs() - run.startMs;
    if (state == TavrinIoCtl::SequenceState::Idle) {
        run.stopped = !control_.DrivenDevices().contains(run.device);
        running_ = false;
    }
}

bool RunRecorder::writeCsv(const QString& path, QString& why) const
{
    QByteArray csv = "time_ms,ecu,device,item,value,unit\n";
    for (const auto& s : samples_) {
        const QString value = std::isnan(s.value) ? s.valueText : QString::number(s.value, 'g', 10);
        csv += (QString::number(s.ms) + QLatin1Char(',') + csvField(s.ecu) + QLatin1Char(',') + csvField(s.device) +
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
        runs.append(QJsonObject{{"vehicle", r.vehicle},
                                {"vehicleFile", r.vehicleFile},
                                {"link", r.link},
                                {"ecu", r.ecu},
                                {"device", r.device},
                                {"mode", r.mode},
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

}  // namespace TavrinApps
