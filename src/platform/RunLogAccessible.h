// What a screen reader sees of the run log: a list whose items are its lines,
// each read from the log when asked, the newest one selected as it comes. Only
// the lines a reader asks for get an interface, so a long log costs nothing more.
#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace TavrinPlatform {

class RunLogView;

class RunLogAccessible : public QAccessibleWidget {
  public:
    explicit RunLogAccessible(RunLogView* view);
    ~RunLogAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    // The lines' interfaces go with the lines (the log was cleared).
    void forgetLines();

    // Installs the factory that gives every run log this interface; once is enough.
    static void install();

  private:
    RunLogView* view() const;
    mutable QHash<int, QAccessible::Id> lines_;
};

}  // namespace TavrinPlatform
