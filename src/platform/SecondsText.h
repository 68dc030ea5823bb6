// Elapsed times as the user reads them: seconds with the user's decimal
// separator, no group separator and no trailing zeros (12 340 ms is "12.34").
// The locale's symbols are looked up once: a running test writes a time on
// every tick, and asking the system locale each time costs more than the rest
// of the line.
#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace TavrinPlatform {

class SecondsText {
  public:
    explicit SecondsText(const QLocale& locale = QLocale());

    QString operator()(uint64_t milliseconds) const;

  private:
    QLocale locale_;
    QString point_;
    char16_t zero_ = u'0';
    bool plainDigits_ = true;  // the locale's digits are ten consecutive single units
};

}  // namespace TavrinPlatform
