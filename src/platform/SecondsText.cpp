#include "SecondsText.h"

namespace TavrinPlatform {

SecondsText::SecondsText(const QLocale& locale) : locale_(locale)
{
    locale_.setNumberOptions(locale_.numberOptions() | QLocale::OmitGroupSeparator);
    point_ = locale_.decimalPoint();
    const QString zero = locale_.zeroDigit();
    plainDigits_ = zero.size() == 1;
    if (plainDigits_) zero_ = zero.front().unicode();
}

QString SecondsText::operator()(uint64_t milliseconds) const
{
    if (!plainDigits_) return locale_.toString(static_cast<double>(milliseconds) / 1000.0, 'g', 15);
    char16_t digits[24];
    int n = 0;
    uint64_t whole = milliseconds / 1000;
    do {
        digits[n++] = static_cast<char16_t>(zero_ + whole % 10);
        whole /= 10;
    } while (whole);
    QString text;
    text.reserve(n + point_.size() + 3);
    while (n)
        text.append(QChar(digits[--n]));
    unsigned fraction = static_cast<unsigned>(milliseconds % 1000);
    if (fraction) {
        text.append(point_);
        for (unsigned unit = 100; fraction; unit /= 10) {
            text.append(QChar(static_cast<char16_t>(zero_ + fraction / unit)));
            fraction %= unit;
        }
    }
    return text;
}

}  // namespace TavrinPlatform
