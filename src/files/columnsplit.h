#pragma once

#include <QByteArrayView>

#include <array>

namespace karte {

// Splits one line of a list file into columns at a separator byte (tab for the
// summit list, comma for the track file). A line has at most 20 columns; the
// last one holds everything after the 19th separator, separators included.
// Quotes have no meaning. The columns are views into the line, which must
// outlive the split.
class ColumnSplit {
public:
    static constexpr int maxColumns = 20;

    ColumnSplit(QByteArrayView line, char separator);

    // Number of columns the line has, 1 .. 20 (an empty line has one empty column).
    int count() const { return _count; }

    // Column n counted from 1; empty for a column the line does not have.
    QByteArrayView column(int n) const
    {
        return n >= 1 && n <= _count ? _columns[static_cast<size_t>(n - 1)] : QByteArrayView();
    }

private:
    std::array<QByteArrayView, maxColumns> _columns{};
    int _count = 0;
};

} // namespace karte
