// Every child widget of the control, built in code. objectName is each widget's
// documented name; members of a widget array share the array's name and carry
// the dynamic property "Index"; "ClassicType" tells translation rules apart.
#pragma once

#include "ClassicType.h"
#include "DiagItemViewWrite.h"
#include "ListView.h"
#include "PictureBox.h"
#include "RunLogView.h"
#include "StatusPanels.h"
#include "Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <array>

namespace TavrinIoCtl {

using TavrinDiagItem::DiagItemViewWrite;
using TavrinPlatform::ListView;
using TavrinPlatform::PictureBox;

struct Form {
    QGroupBox* FrFunctions = nullptr;
    QGroupBox* FrDevices = nullptr;
    QGroupBox* FrParameters = nullptr;
    QGroupBox* FrData = nullptr;
    QGroupBox* FrSession = nullptr;
    QGroupBox* FrComm = nullptr;

    ListView* lvFunctions = nullptr;
    ListView* lvDevices = nullptr;
    ListView* lvData = nullptr;
    ListView* lvStatus = nullptr;

    PictureBox* PFondPicture = nullptr;
    PictureBox* ParamPicture = nullptr;
    QScrollBar* ParamVScroll = nullptr;
    QList<DiagItemViewWrite*> DeviceParam;  // element 0 is the hidden template
    DiagItemViewWrite* DiSessionName = nullptr;

    QPushButton* cbReadData = nullptr;
    QCheckBox* ckReadData = nullptr;
    QPushButton* cbStartTempo = nullptr;
    QPushButton* cbStartPerm = nullptr;
    QPushButton* CbStop = nullptr;
    QPushButton* cbEstop = nullptr;
    std::array<QRadioButton*, 3> OptionPerm{};
    QLabel* LabelTime = nullptr;
    QLabel* lbTime = nullptr;
    PictureBox* PictureRunning = nullptr;
    PictureBox* picLed = nullptr;

    TavrinPlatform::RunLogView* runLog = nullptr;
    TavrinPlatform::StatusPanels* sbMain = nullptr;
    TavrinPlatform::ImageList* ilstLeds = nullptr;
    TavrinPlatform::ImageList* ilstRunning = nullptr;
    QTimer* ioCtlTimer = nullptr;
    QTimer* timRun = nullptr;

    // Every widget a translation walks, in creation order.
    QList<QObject*> controls;
};

// Builds the window on the control at its design placement (twips).
void buildForm(QWidget* surface, Form& form, const TavrinPlatform::TwipsScale& scale);

// The Tab order of a user's work: the ECU, the device, its parameters and the
// session, the drive buttons and options, then the data, the status and the log.
// Run again whenever parameter views come and go.
void orderTabs(const Form& form);

}  // namespace TavrinIoCtl
