// Keeps what a control did for the record: each run (from Init back to Idle)
// with its device, mode, options, errors and outcome, and every value read
// while monitoring. Writes the values as CSV and the runs as a JSON summary
// (docs/run-files.md). It only listens to the control's signals.
#pragma once

#include <TavrinIoCtl/ioctl.h>

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace TavrinApps {

struct Sample {
    quint32 ms;
    QString ecu, device, item, valueText, unit;
    double value;
    int run = 0;  // the run it was read in, from 1; 0: none
    QDateTime at;
};

struct RunRecord {
    QString vehicle, ecu, device, mode, option;
    QString session;                                      // the diagnostic session chosen, when the ECU offers a choice
    std::vector<std::pair<QString, QString>> parameters;  // as commanded: name, value with its unit
    QString vehicleFile, link;
    bool monitorData = false;
    QDateTime started;
    quint32 startMs = 0, durationMs = 0;
    QString finalState;
    std::vector<std::pair<qint32, QString>> errors;
    bool stopped = false;
    QStringList log;  // the run log as it stood when the run ended
};

class RunRecorder {
  public:
    // context(): the ECU, device, mode and option shown now. A run's device
    // counts as stopped when the control no longer says it may be driven.
    struct Context {
        std::function<QStringList()> current;  // ecu, device, mode, option, monitorData ("1"/"0")
        std::function<quint32()> clockMs;
        std::function<QStringList()> vehicle;  // its name, its file, the link; none: the name given
    };
    RunRecorder(TavrinIoCtl::ioctl& control, QString vehicle, Context context);

    const std::vector<Sample>& samples() const { return samples_; }
    const std::vector<RunRecord>& runs() const { return runs_; }

    // Each false with the reason when the file cannot be written.
    bool writeCsv(const QString& path, QString& why) const;
    bool writeReport(const QString& path, QString& why) const;
    // Every run's log under a heading of its own (the control shows only the last one).
    bool writeLog(const QString& path, QString& why) const;

  private:
    void stateChanged(TavrinIoCtl::SequenceState state);
    // The last run's log: the control's while it still shows that run, else as kept at its end.
    QStringList lastLog() const;
    // The time of day now on the session's clock, which a scripted run moves faster
    // than the wall clock: times of one recorder never go back.
    QDateTime now();

    TavrinIoCtl::ioctl& control_;
    QString vehicle_;
    Context context_;
    std::vector<Sample> samples_;
    std::vector<RunRecord> runs_;
    bool running_ = false;
    quint32 lastClock_ = 0;
    QDateTime lastTime_;
};

// Writes text to a file whole or not at all.
// Every file a program writes goes through here: written whole and committed,
// or the old file kept and why told (a full disk, a folder that is not there).
bool writeWhole(const QString& path, const QByteArray& content, QString& why);
// Why a file cannot be written there, checked before a run so it is never lost
// to a bad path; empty when it can.
QString cannotWrite(const QString& path);
// A picture, its format from the file's suffix (PNG by default), written whole.
bool savePicture(const QImage& picture, const QString& path, QString& why);
// One CSV field: quoted when it holds a separator, a quote or a line break;
// a text a spreadsheet would take for a formula starts with an apostrophe.
QString csvField(const QString& text);

}  // namespace TavrinApps
