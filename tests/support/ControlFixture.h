// A real control on the offscreen platform, on the demo vehicle, with the
// clock, the screen's twips and text widths pinned so figures are exact.
#pragma once

#include "ControlFields.h"
#include "DemoVehicle.h"
#include "SessionClock.h"
#include "ioctlAutomation.h"

#include <gtest/gtest.h>

#include <memory>

// Readable failures for Qt texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << texts.join(" ; ").toStdString();
}

class ControlFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // initParameters with the shipped language file and the demo vehicle.
    void initialise(const QString& language = QStringLiteral("en"));
    QStringList logLines() const;
    QString panelText(const QString& key) const;
    TavrinPlatform::ListItem* functionRow(const QString& name) const;
    TavrinPlatform::ListItem* deviceRow(const QString& name) const;
    void chooseEcu(const QString& name);
    void chooseDevice(const QString& name);
    QStringList rowTexts(const TavrinPlatform::ListView* list) const;

    // Each part's widgets, through the part that owns them.
    const TavrinIoCtl::WindowFrames& frames() const { return framesOf(*control); }
    const TavrinIoCtl::CatalogueWidgets& catalogueWidgets() const { return catalogueWidgetsOf(*control); }
    const TavrinIoCtl::SequencerWidgets& sequencerWidgets() const { return sequencerWidgetsOf(*control); }
    const TavrinIoCtl::ReportingWidgets& reportingWidgets() const { return reportingWidgetsOf(*control); }
    const TavrinIoCtl::ControlFields& fields() const { return fieldsOf(*control); }
    const TavrinIoCtl::DeviceSelection& selection() const { return selectionOf(*control); }
    const TavrinIoCtl::RunState& runState() const { return runStateOf(*control); }

    static QString dataDir() { return QStringLiteral(TAVRIN_DATA_DIR); }
    static QString fixtureDir() { return QStringLiteral(TAVRIN_FIXTURE_DIR); }

    // Every character is 6 pixels wide (90 twips at 15 twips per pixel).
    static constexpr int kCharWidthPixels = 6;

    TavrinKwp::ManualClock clock{100000};
    std::shared_ptr<TavrinKwp::KwpSession> session;
    std::unique_ptr<TavrinIoCtl::ioctl> control;
};
