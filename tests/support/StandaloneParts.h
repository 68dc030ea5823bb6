// The control's parts on a window of their own, for a subsystem tested without
// the whole control (so its window can be sized exactly).
#pragma once

#include "Catalogue.h"
#include "ControlContext.h"
#include "MultiLanguage.h"

#include <QStringList>

QStringList runLogLines(const TavrinIoCtl::Form& form);

struct StandaloneParts {
    StandaloneParts()
    {
        platform.scale = TavrinPlatform::TwipsScale{15, 15};
        platform.measure = [](const QFont&, const QString& text) { return 6 * int(text.size()); };
        TavrinIoCtl::buildForm(&surface, form, platform.scale);
    }
    QStringList logLines() const { return runLogLines(form); }

    QWidget surface;
    TavrinIoCtl::Form form;
    TavrinIoCtl::ControlFields fields;
    TavrinIoCtl::Platform platform;
    TavrinIoCtl::Reporting report{form, fields};
    TavrinIoCtl::ControlContext context{form, fields, report, platform};
    TavrinIoCtl::multilanguage::Language language;
    TavrinIoCtl::Catalogue catalogue{context, language};
};
