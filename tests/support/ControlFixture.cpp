#include "ControlFixture.h"

#include "MultiLanguage.h"
#include "StandaloneParts.h"
#include "ioctl_p.h"

void ControlFixture::SetUp()
{
    session = TavrinKwp::demoSession();
    session->setClock(clock.clock());
    control = std::make_unique<TavrinIoCtl::ioctl>();
    control->setClock([this] { return clock.now(); });
    TavrinIoCtl::pinMeasures(*control, kCharWidthPixels);
    control->resize(1000, 680);
    control->show();  // a shown widget gets its resize events at once
}

void ControlFixture::TearDown()
{
    control.reset();
}

void ControlFixture::initialise(const QString& language)
{
    control->initParameters(dataDir(), language, session);
}

QStringList runLogLines(const TavrinPlatform::RunLogView& log)
{
    QStringList lines;
    const auto& model = log.lines();
    for (qsizetype i = 0; i < model.lineCount(); ++i)
        lines << model.line(i);
    return lines;
}

QStringList ControlFixture::logLines() const
{
    return control->runLogLines();
}

QString ControlFixture::panelText(const QString& key) const
{
    return reportingWidgets().sbMain->panel(key)->text();
}

TavrinPlatform::ListItem* ControlFixture::functionRow(const QString& name) const
{
    for (int i = 0; i < catalogueWidgets().lvFunctions->rowCount(); ++i) {
        if (catalogueWidgets().lvFunctions->row(i)->text(0) == name) return catalogueWidgets().lvFunctions->row(i);
    }
    return nullptr;
}

TavrinPlatform::ListItem* ControlFixture::deviceRow(const QString& name) const
{
    return catalogueWidgets().lvDevices->findItem(name + QStringLiteral("k"));
}

void ControlFixture::chooseEcu(const QString& name)
{
    auto* row = functionRow(name);
    ASSERT_NE(row, nullptr) << name.toStdString();
    TavrinIoCtl::Events(*control).lvFunctions_ItemClick(row);
}

void ControlFixture::chooseDevice(const QString& name)
{
    auto* row = deviceRow(name);
    ASSERT_NE(row, nullptr) << name.toStdString();
    catalogueWidgets().lvDevices->setCurrentItem(row);
    TavrinIoCtl::Events(*control).lvDevices_Click();
}

QStringList ControlFixture::rowTexts(const TavrinPlatform::ListView* list) const
{
    QStringList rows;
    for (int i = 0; i < list->rowCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->row(i)->text(c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}
