#include "Catalogue.h"
#include "ClassicType.h"
#include "Utf8.h"
#include "Utils.h"

namespace TavrinIoCtl {
void Catalogue::removeParameterItems()
{
    auto& params = w_.DeviceParam;
    while (params.size() > 1) {
        DiagItemViewWrite* item = params.takeLast();
        item->setSession(nullptr);  // detached before it goes
        w_.translated.removeOne(item);
        delete item;
    }
}

bool Catalogue::IsNamedEntry(const Sorvik3::RequestRef& request, const Sorvik3::DataRef& item, const QString& name)
{
    auto found = utils::FindDataByName(language_, request, name, QString());
    return found && found == item;
}

bool Catalogue::qualifiesAsParameter(const Sorvik3::RequestRef& startRequest, const Sorvik3::DataRef& item)
{
    return !item->InResponse() && !IsNamedEntry(startRequest, item, QStringLiteral("OutputControlCommand")) &&
           !IsNamedEntry(startRequest, item, QStringLiteral("OutputTemporaryControlList")) &&
           !IsNamedEntry(startRequest, item, QStringLiteral("OutputPermanentControlList"));
}

void Catalogue::BuildParameterPanel(const QString& deviceName, const Sorvik3::RequestRef& startRequest)
{
    removeParameterItems();
    int32_t next = 1;
    float widest = 0.0f;
    bool found = false;
    const auto items = startRequest ? startRequest->Items() : std::vector<Sorvik3::DataRef>{};
    const QString devicePrefix = deviceName + QStringLiteral(".");
    auto log = [this](const QString& line) { c_.report.LogMessage(line); };
    for (const auto& d : items) {
        const QString name = text(d->Name());
        if (qualifiesAsParameter(startRequest, d) && name.contains(QLatin1Char('.')) && name.startsWith(devicePrefix)) {
            found = true;
            log(QStringLiteral("Specific to device : ") + name);
            widest = AddParameterItem(next++, d, widest);
        }
    }
    if (!found) {
        for (const auto& d : items) {
            const QString name = text(d->Name());
            if (qualifiesAsParameter(startRequest, d) && name.startsWith(QStringLiteral("OutputControl."))) {
                log(QStringLiteral("common to device without specific parameter : ") + name);
                widest = AddParameterItem(next++, d, widest);
            }
        }
    }
    for (const auto& d : items) {
        const QString name = text(d->Name());
        if (qualifiesAsParameter(startRequest, d) && !name.contains(QLatin1Char('.'))) {
            log(QStringLiteral("common to all device : ") + name);
            widest = AddParameterItem(next++, d, widest);
        }
    }
    const int32_t labelWidth = TavrinPlatform::roundHalfEven(widest);
    for (int i = 1; i < w_.DeviceParam.size(); ++i)
        w_.DeviceParam[i]->setLabelWidth(labelWidth);
    LayoutParameterPanel();
}

float Catalogue::AddParameterItem(int32_t index, const Sorvik3::DataRef& d, float widestLabel)
{
    CatalogueWidgets& f = w_;
    DiagItemViewWrite* templ = f.DeviceParam.front();
    PendingError skip;
    if (index >= f.DeviceParam.size()) {
        skip.run([&] {
            auto* item = new DiagItemViewWrite(f.ParamPicture);
            item->setObjectName(templ->objectName());
            TavrinPlatform::setClassicType(item, TavrinPlatform::classicType(templ), index);
            item->setFont(templ->font());
            item->setViewMode(templ->ViewMode());
            item->setLabelWidth(templ->LabelWidth());
            item->setWriteEnabled(templ->WriteEnabled());
            item->resize(templ->size());
            item->hide();
            f.DeviceParam.append(item);
            f.translated.append(item);
        });
    }
    if (index >= f.DeviceParam.size()) return widestLabel;
    DiagItemViewWrite* p = f.DeviceParam[index];
    p->setGeometry(0, (index - 1) * templ->height(), f.ParamPicture->width(), templ->height());
    skip.run([&] {
        const QString unit = text(d->Unit());
        p->setCaption(text(d->Name()) +
                      (unit.isEmpty() ? QString() : QStringLiteral(" (") + unit + QStringLiteral(")")) +
                      QStringLiteral(" "));
    });
    const double w = c_.platform.textWidthTwips(p->Caption()) + 4 * c_.platform.scale.perPixelX;
    if (w > widestLabel) widestLabel = static_cast<float>(w);
    p->setLabelWidth(TavrinPlatform::roundHalfEven(widestLabel));
    skip.run([&] { p->setEcuName(text(d->Request()->Ecu()->Name())); });
    skip.run([&] { p->setRequestName(text(d->Request()->Name())); });
    p->setViewMode(DiagItemViewWrite::DeviceParameter);
    skip.run([&] { p->setDataName(text(d->Name())); });
    p->show();
    p->setSession(c_.fields.Session);
    return widestLabel;
}

void Catalogue::LayoutParameterPanel()
{
    CatalogueWidgets& f = w_;
    const int rowHeight = f.DeviceParam.front()->height();
    const auto count = static_cast<int>(f.DeviceParam.size()) - 1;
    const int window = f.PFondPicture->height();
    // Pixels of the content; an int holds far more rows than a panel will ever get.
    const qint64 contentHeight = static_cast<qint64>(rowHeight) * count;
    f.ParamPicture->resize(f.PFondPicture->width(), static_cast<int>(std::min<qint64>(contentHeight, 16777215)));
    for (int i = 1; i <= count; ++i)
        f.DeviceParam[i]->resize(f.ParamPicture->width(), f.DeviceParam[i]->height());
    if (contentHeight <= window) {
        f.ParamVScroll->setRange(0, 0);
        f.ParamVScroll->setValue(0);
        f.ParamPicture->setGeometry(0, 0, f.PFondPicture->width(), window);
        return;
    }
    // One scroll unit is one screen pixel; a large step moves by one row.
    f.ParamVScroll->setMinimum(0);
    f.ParamVScroll->setMaximum(f.ParamPicture->height() - window);
    f.ParamVScroll->setValue(0);
    f.ParamVScroll->setPageStep(rowHeight);
    f.ParamVScroll->setSingleStep(1);
    f.ParamPicture->move(0, 0);
}

void Catalogue::ParamVScroll_Change(int value)
{
    w_.ParamPicture->move(0, -value);
}

}  // namespace TavrinIoCtl
