#include "DemoVehicle.h"
#include "DiagItemViewWrite.h"
#include "RunLogModel.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>

#include <gtest/gtest.h>

using TavrinDiagItem::DiagItemViewWrite;

namespace {

class DiagItemViewTest : public ::testing::Test {
  protected:
    void show(const QString& ecu, const QString& request, const QString& data)
    {
        view.setCaption("Mode ");
        view.setEcuName(ecu);
        view.setRequestName(request);
        view.setDataName(data);
        view.setSession(session);
        view.Display();
    }
    Sorvik3::DataRef item(const std::string& request, const std::string& data)
    {
        return session->Ecus().front()->Request(request)->Data(data);
    }

    std::shared_ptr<TavrinKwp::KwpSession> session = TavrinKwp::demoSession();
    DiagItemViewWrite view;
};

}  // namespace

TEST_F(DiagItemViewTest, shouldEditNamedValuesThroughTheDropDown)
{
    show("EngineControl", "OutputControl", "Mode");
    ASSERT_TRUE(view.hasNamedValues());
    auto* names = qobject_cast<QComboBox*>(view.editor());
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->count(), 2);
    EXPECT_TRUE(view.chooseValue("Pulsed"));
    EXPECT_EQ(item("OutputControl", "Mode")->ValueText(), "Pulsed");
    EXPECT_FALSE(view.chooseValue("Sideways"));
}

TEST_F(DiagItemViewTest, shouldEditNumbersWithTheirUnit)
{
    show("EngineControl", "OutputControl", "OutputControl.Duty");
    EXPECT_FALSE(view.hasNamedValues());
    EXPECT_EQ(view.unitText(), "%");
    EXPECT_EQ(qobject_cast<QDoubleSpinBox*>(view.editor())->value(), 50.0);
    EXPECT_TRUE(view.chooseValue("75"));
    EXPECT_EQ(item("OutputControl", "OutputControl.Duty")->NumericValue(), 75.0);
    // A value the item cannot carry is refused and the editor shows the item's value again.
    view.chooseValue("300");
    EXPECT_EQ(item("OutputControl", "OutputControl.Duty")->NumericValue(), 75.0);
    EXPECT_FALSE(view.toolTip().isEmpty());
}

// A 3.5 bar pressure is 3.5, not 4: the editor follows the item's scaling.
TEST_F(DiagItemViewTest, shouldEditScaledValuesWithTheirDecimals)
{
    view.setCaption("FuelPump.Pressure (bar) ");
    view.setEcuName("EngineControl");
    view.setRequestName("OutputControl.Start.FuelPump");
    view.setDataName("FuelPump.Pressure");
    view.setSession(session);
    view.Display();
    auto* editor = qobject_cast<QDoubleSpinBox*>(view.editor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->value(), 3.5);
    EXPECT_EQ(editor->decimals(), 1);
    EXPECT_DOUBLE_EQ(editor->singleStep(), 0.1);
    editor->stepBy(1);
    EXPECT_EQ(item("OutputControl.Start.FuelPump", "FuelPump.Pressure")->ValueText(), "3.6");
    EXPECT_TRUE(view.chooseValue("4.2"));
    EXPECT_EQ(item("OutputControl.Start.FuelPump", "FuelPump.Pressure")->ValueText(), "4.2");
    // A whole caption names the unit already: it is not shown a second time;
    // a cut caption keeps the unit beside the value.
    auto* unit = view.findChild<QLabel*>("unit");
    view.setLabelWidth(6000);
    EXPECT_FALSE(unit->isVisibleTo(&view));
    view.setLabelWidth(300);
    EXPECT_TRUE(unit->isVisibleTo(&view));
}

TEST_F(DiagItemViewTest, shouldGoReadOnlyWhenWritingIsDisabled)
{
    show("EngineControl", "OutputControl", "Mode");
    view.setWriteEnabled(false);
    EXPECT_FALSE(view.editor()->isEnabled());
    EXPECT_FALSE(view.chooseValue("Pulsed"));
    EXPECT_EQ(item("OutputControl", "Mode")->ValueText(), "Continuous");
}

TEST_F(DiagItemViewTest, shouldShowAMissingItemDisabledWithTheReason)
{
    show("EngineControl", "OutputControl", "NoSuchItem");
    EXPECT_FALSE(view.problem().isEmpty());
    EXPECT_EQ(view.toolTip(), view.problem());
    EXPECT_FALSE(view.editor()->isEnabled());
    show("NoSuchEcu", "OutputControl", "Mode");
    EXPECT_TRUE(view.problem().contains("NoSuchEcu"));
}

TEST_F(DiagItemViewTest, shouldDropEveryReferenceWhenDetached)
{
    show("EngineControl", "OutputControl", "Mode");
    std::weak_ptr<TavrinKwp::KwpSession> watched = session;
    session.reset();
    view.setSession(nullptr);
    EXPECT_TRUE(watched.expired());
    EXPECT_FALSE(view.chooseValue("Pulsed"));
}

TEST_F(DiagItemViewTest, shouldBuildAParameterViewWhenItGetsItsSession)
{
    view.setViewMode(1);
    view.setEcuName("EngineControl");
    view.setRequestName("OutputControl");
    view.setDataName("Mode");
    view.setSession(session);
    EXPECT_TRUE(view.hasNamedValues());
}

TEST(RunLogModel, shouldStayConsistentForViews)
{
    TavrinPlatform::RunLogModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.append("first");
    model.append("zweite Zeile: äöü");
    EXPECT_EQ(model.rowCount(), 0);
    model.announce();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1), Qt::DisplayRole).toString(), "zweite Zeile: äöü");
    model.append("third");
    EXPECT_EQ(model.lineCount(), 3);
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.line(0), "");
}

TEST(RunLogModel, shouldGiveBackEveryLineAcrossItsChunks)
{
    TavrinPlatform::RunLogModel model;
    // Lines of every length, some wider than a chunk and some not ASCII, fill many chunks.
    std::vector<QString> written;
    for (int i = 0; i < 5000; ++i) {
        QString line = QString::number(i) + QString(i % 97, i % 5 ? QChar('x') : QChar(0x00E9));
        if (i % 1000 == 7) line += QString(int(TavrinPlatform::RunLogModel::kChunkBytes), QChar(0x20AC));
        written.push_back(line);
        model.append(line);
    }
    ASSERT_EQ(model.lineCount(), 5000);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(model.line(i), written[size_t(i)]) << "line " << i;
}
