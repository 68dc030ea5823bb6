#include "NaturalOrder.h"

namespace TavrinPlatform {
namespace {

// Compares the digit runs starting at i and j by value; advances past them.
int compareNumbers(const QString& a, qsizetype& i, const QString& b, qsizetype& j)
{
    while (i < a.size() && a[i] == QLatin1Char('0'))
        ++i;
    while (j < b.size() && b[j] == QLatin1Char('0'))
        ++j;
    const qsizetype startA = i;
    const qsizetype startB = j;
    while (i < a.size() && a[i].isDigit())
        ++i;
    while (j < b.size() && b[j].isDigit())
        ++j;
    const qsizetype lengthA = i - startA;
    const qsizetype lengthB = j - startB;
    if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
    return QStringView(a).mid(startA, lengthA).compare(QStringView(b).mid(startB, lengthB));
}

}  // namespace

int naturalCompare(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            if (int byValue = compareNumbers(a, i, b, j)) return byValue;
            continue;
        }
        // Case-folded characters compared as they stand: no string is built per character.
        const char16_t x = a[i].toCaseFolded().unicode();
        const char16_t y = b[j].toCaseFolded().unicode();
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace TavrinPlatform
