// The ECU function and device catalogue: the function list, the device list of
// the chosen ECU with the requests the sequence needs, the chosen device's data,
// status and parameters, and the drive buttons that suit it.
#pragma once

#include "CatalogueWidgets.h"
#include "ControlContext.h"
#include "DeviceSelectionState.h"
#include "MultiLanguage.h"
#include "PendingError.h"

#include <functional>
#include <vector>

namespace TavrinIoCtl {

class Catalogue;

// Holds the lists' redraw while it lives, and gives it back whatever happens.
class ListRedrawLock {
  public:
    // Every list of the catalogue.
    explicit ListRedrawLock(Catalogue& catalogue);
    // Those lists only: a list unlocked is painted whole again, so a load locks
    // only what it refills.
    explicit ListRedrawLock(std::vector<QWidget*> lists);
    ~ListRedrawLock();
    ListRedrawLock(const ListRedrawLock&) = delete;
    ListRedrawLock& operator=(const ListRedrawLock&) = delete;

  private:
    std::vector<QWidget*> lists_;
};

class Catalogue {
  public:
    Catalogue(ControlContext& control, const multilanguage::Language& language) : c_(control), language_(language) {}

    // The language file the control loaded: its synonyms find requests, data and values.
    const multilanguage::Language& language() const { return language_; }

    // Makes the lists, the parameter panel and the session choice; once, first of the parts.
    void buildWidgets(const WindowFrames& frames, const TavrinPlatform::TwipsScale& scale)
    {
        buildCatalogueWidgets(frames, w_, scale);
    }
    const CatalogueWidgets& widgets() const { return w_; }

    // Told when the device shown changes (empty when none is), for the drive buttons.
    std::function<void(const QString& device)> onDeviceShown;
    // Told when parameter views came or went, for the window's Tab order.
    std::function<void()> onTabStopsChanged;

    // What was resolved for the chosen ECU and device; changed only here.
    const DeviceSelection& selection() const { return selection_; }
    void releaseReferences() { selection_.releaseReferences(); }

    // Function list.
    void LoadFunctionList();
    bool HasOutputControlLists(const Sorvik3::EcuRef& ecu);
    std::vector<QWidget*> redrawnLists() const;
    // What a new choice clears: the device's lists, also the device list, or everything.
    enum class ClearLevel { DeviceDetails = 1, Devices = 2, Everything = 3 };
    void ClearLists(ClearLevel level);

    // Device list.
    void lvFunctions_ItemClick(TavrinPlatform::ListItem* row);
    void LoadDeviceList();

    // Device selection.
    void lvDevices_Click();
    void FillDeviceDataList(const QString& deviceName);
    void LogDeviceRequests(const QString& deviceName);
    void FillStatusList(const Sorvik3::RequestRef& statusRequest);
    void sortOnColumnClick(ListView* list, int column);

    // Parameter panel.
    void BuildParameterPanel(const QString& deviceName, const Sorvik3::RequestRef& startRequest);
    bool IsNamedEntry(const Sorvik3::RequestRef& request, const Sorvik3::DataRef& item, const QString& name);
    // Shows the item in DeviceParam(index); gives the widest label width so far, in twips.
    float AddParameterItem(int32_t index, const Sorvik3::DataRef& item, float widestLabel);
    void LayoutParameterPanel();
    void ParamVScroll_Change(int value);
    void removeParameterItems();

    // While a sequence runs: no other ECU, device or parameter may be chosen.
    void lockChoice(bool locked);
    // The values read for the data list's rows and for the status list's rows the
    // request holds; each item shown is told (a row whose item fails shows no value).
    using ItemTold = std::function<void(const Sorvik3::DataRef&)>;
    void refreshDataValues(const ItemTold& told);
    // After a run the values shown were read before its end: they are greyed
    // (and named as such for a screen reader) until read again.
    void showValuesStale(bool stale);
    void refreshStatusValues(const Sorvik3::RequestRef& request, const ItemTold& told);

  private:
    void addDevices(const Sorvik3::DataRef& list, bool temporary);
    void fitIdColumn();
    void resolveCommandValues();
    void resolveStatusValues();
    void prepareSessionName();
    void logRequestSummary();
    // The "   Start : '...'", "   Stop : ..." and "   Status : ..." lines of both request reports.
    void logRequestLines(const Sorvik3::RequestRef& start, const Sorvik3::RequestRef& stop,
                         const Sorvik3::RequestRef& status);
    Sorvik3::RequestRef requestOr(const QString& name, const QString& suffix, const Sorvik3::RequestRef& fallback);
    bool qualifiesAsParameter(const Sorvik3::RequestRef& startRequest, const Sorvik3::DataRef& item);
    void reportFailure(const char* operation, const Failure& failure);

    ControlContext& c_;
    const multilanguage::Language& language_;
    DeviceSelection selection_;
    CatalogueWidgets w_;
};

// The Id column's text: right-aligned in four characters, never cut.
QString deviceIdText(int32_t number);

}  // namespace TavrinIoCtl
