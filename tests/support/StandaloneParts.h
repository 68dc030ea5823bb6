// The control's parts on a window of their own, for a subsystem tested without
// the whole control (so its window can be sized exactly).
#pragma once

#include "Catalogue.h"
#include "ControlContext.h"
#include "MultiLanguage.h"

#include <QStringList>

QStringList runLogLines(const TavrinPlatform::RunLogView& log);

struct StandaloneParts {
    StandaloneParts()
    {
        platform.scale = TavrinPlatform::TwipsScale{15, 15};
        platform.measure = [](const QFont&, const QString& text) { return 6 * int(text.size()); };
        TavrinIoCtl::buildWindowFrames(&surface, frames, platform.scale);
        catalogue.buildWidgets(frames, platform.scale);
        report.buildWidgets(&surface, frames, platform.scale);
    }
    QStringList logLines() const { return runLogLines(*report.widgets().runLog); }

    QWidget surface;
    TavrinIoCtl::WindowFrames frames;
    TavrinIoCtl::ControlFields fields;
    TavrinIoCtl::Platform platform;
    TavrinIoCtl::Reporting report{fields};
    TavrinIoCtl::ControlContext context{fields, report, platform};
    TavrinIoCtl::multilanguage::Language language;
    TavrinIoCtl::Catalogue catalogue{context, language};
};
