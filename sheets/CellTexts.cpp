#include "sheets/CellTexts.h"

#include "sheets/ExcelBiff.h"

#include <cstring>

namespace {

constexpr int kEntryBits = 12;

} // namespace

CellTexts::CellTexts() : m_entries(size_t(1) << kEntryBits) {}

QString CellTexts::text(double value, DateShape shape, bool date1904, bool& isDate)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int code = shape.isDate ? 1 | shape.withDate << 1 | shape.withTime << 2 | date1904 << 3 : 0;
    Entry& entry = m_entries[size_t(((bits ^ (bits >> 32) ^ quint64(code)) * 0x9E3779B97F4A7C15ull) >>
                                    (64 - kEntryBits))];
    if (entry.shape != code || entry.bits != bits) {
        entry.bits = bits;
        entry.shape = code;
        entry.text =
            shape.isDate ? ExcelDateText(value, date1904, shape.withDate, shape.withTime) : QString();
        entry.isDate = !entry.text.isEmpty();
        if (!entry.isDate)
            entry.text = ExcelNumberText(value);
    }
    isDate = entry.isDate;
    return entry.text;
}
