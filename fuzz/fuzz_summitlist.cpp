// The summit list as "Gipfelliste laden" reads it, through readSummitList
// on a file; what was read must save and load back to the same table, as
// "Gipfelliste speichern" would write it.
#include "fuzzsupport.h"

#include "files/summitlist.h"
#include "state/tables.h"

#include <QStringList>

#include <cmath>
#include <cstdio>
#include <limits>

using namespace karte;

namespace {

bool near(double written, double read, double relative)
{
    return std::fabs(written - read) <= relative * std::fabs(written) + 4 * std::numeric_limits<double>::denorm_min();
}

// One table for the whole run, as the program has; reading must empty it.
SummitTable& table()
{
    static SummitTable t;
    return t;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeInput(QStringLiteral("gipfel.txt"), data, size);
    SummitTable& read = table();
    int lines = 0;
    int lastCount = -1;
    QString error;
    const bool opened = readSummitList(
        path, read,
        [&] {
            ++lines;
            if (read.count < lastCount)
                fuzz::fail("the table shrank while reading");
            lastCount = read.count;
        },
        &error);
    if (!opened)
        fuzz::fail("an existing file was not read");
    if (read.count < 0 || read.count > SummitTable::capacity)
        fuzz::fail("count outside 0 .. 10001");
    if (read.count > 0 && lines == 0)
        fuzz::fail("entries without a line read");
    if (read.entries.size() != size_t(SummitTable::capacity))
        fuzz::fail("the table's capacity changed");

    for (int i = 0; i < read.count; ++i) {
        const Summit& s = read.entries[size_t(i)];
        if (!std::isfinite(s.GIPFELNR) || !std::isfinite(s.GIPFELOST) || !std::isfinite(s.GIPFELNORD))
            fuzz::fail("a number that is not finite");
    }

    // Saved and loaded again: texts exactly, numbers to the digits written.
    const QByteArray saved = summitListBytes(read);
    static SummitTable again; // the table is large; reading empties it
    readSummitListBytes(saved, again);
    if (again.count != read.count)
        fuzz::fail("a saved list loads back with another count");
    for (int i = 0; i < read.count; ++i) {
        const Summit& a = read.entries[size_t(i)];
        const Summit& b = again.entries[size_t(i)];
        if (a.GEBIET != b.GEBIET || a.TEILGEBIET != b.TEILGEBIET || a.GIPFELNAME_D != b.GIPFELNAME_D
            || a.GIPFELNAME_CZ != b.GIPFELNAME_CZ || a.TYP != b.TYP) {
            auto show = [](const Summit& e) {
                return QStringList{e.GEBIET, e.TEILGEBIET, e.GIPFELNAME_D, e.GIPFELNAME_CZ, e.TYP}
                    .join(u'|')
                    .toUtf8()
                    .toPercentEncoding(" |");
            };
            std::fprintf(stderr, "entry %d: %s read, %s after saving\n", i, show(a).constData(),
                         show(b).constData());
            fuzz::fail("a saved list loads back with other texts");
        }
        if (!near(a.GIPFELNR, b.GIPFELNR, 1e-6) || !near(a.GIPFELOST, b.GIPFELOST, 1e-14)
            || !near(a.GIPFELNORD, b.GIPFELNORD, 1e-14) || a.POSFEHLER != b.POSFEHLER) {
            std::fprintf(stderr, "entry %d: %.9g %.17g %.17g %d read, %.9g %.17g %.17g %d after saving\n", i,
                         double(a.GIPFELNR), a.GIPFELOST, a.GIPFELNORD, a.POSFEHLER, double(b.GIPFELNR),
                         b.GIPFELOST, b.GIPFELNORD, b.POSFEHLER);
            fuzz::fail("a saved list loads back with other numbers");
        }
    }
    return 0;
}
