#include "files/summitlist.h"
#include "state/numberformat.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace karte;
using namespace karte::test;

Q_DECLARE_METATYPE(karte::TextEncoding)

namespace {

const QByteArray fullHeader = "GEBIET\tTEILGEBIET\tGIPFELNAME_D\tGIPFELNAME_CZ\tTYP\tGIPFELNR\tGIPFELOST\tGIPFELNORD\tPOSFEHLER";

QString fixture(const char* name)
{
    return QStringLiteral(KARTE_FIXTURES "/") + QLatin1String(name);
}


// A table that already holds something, to see that a load replaces it.
SummitTable filledTable()
{
    SummitTable t;
    t.count = 3;
    t.entries[0].GIPFELNAME_D = QStringLiteral("alt");
    return t;
}

} // namespace

class TestSummitList : public QObject {
    Q_OBJECT
private slots:
    void blocksWithTheirOwnHeaders();
    void headerKeywordsMatchExactly();
    void shortDataLinesAndDecimalComma();
    void blockStartOnTheLastLine();
    void lineFeedAlone();
    void fileWithoutBlockEmptiesTable();
    void missingFileChangesNothing();
    void posfehler_data();
    void posfehler();
    void capacity();
    void afterEachLineSeesTheGrowingTable();
    void savedListLoadsBack_data();
    void savedListLoadsBack();
    void unchangedListSavesSameBytes_data();
    void unchangedListSavesSameBytes();
    void emptyTableWritesHeaderOnly();
    void textsWindows1250CannotHoldAreNotLost();
    void writeReplacesFileAtomically();
    void writeToDirectoryFails();
    void longLineAndGarbage();
    void loadStartedWhileLoading();
};

void TestSummitList::blocksWithTheirOwnHeaders()
{
    SummitTable t = filledTable();
    QVERIFY(readSummitList(fixture("summits_two_blocks.txt"), t));
    QCOMPARE(t.count, 4);
    QCOMPARE(t.encoding, TextEncoding::Windows1250);

    const Summit& a = t.entries[0];
    QCOMPARE(a.GIPFELNAME_D, QStringLiteral("Großer Stein"));
    QCOMPARE(a.GIPFELOST, 14.1);
    QCOMPARE(a.GIPFELNORD, 50.9);
    QCOMPARE(a.TYP, QStringLiteral("G"));
    QCOMPARE(a.GEBIET, QStringLiteral("Nordwand"));

    // "$GIPFEL: " with its blank is a data line inside a block.
    const Summit& b = t.entries[1];
    QCOMPARE(b.GIPFELNAME_D, QStringLiteral("$GIPFEL: "));
    QCOMPARE(b.GEBIET, QString());
    QCOMPARE(b.GIPFELOST, 0.0);

    // The second block reads by its own header; GEBIET and GIPFELNAME_D are
    // absent there.
    const Summit& c = t.entries[2];
    QCOMPARE(c.TYP, QStringLiteral("W"));
    QCOMPARE(c.GIPFELNAME_CZ, QStringLiteral("Čertova věž"));
    QCOMPARE(c.GIPFELNAME_D, QString());
    QCOMPARE(c.GEBIET, QString());
    QCOMPARE(c.GIPFELNORD, 50.91);
    QCOMPARE(c.GIPFELOST, 14.21);
    QCOMPARE(c.POSFEHLER, int16_t(20));
    QCOMPARE(c.GIPFELNR, 7.0f);
    QCOMPARE(t.entries[3].GIPFELNAME_CZ, QStringLiteral("Kostelní"));
    QCOMPARE(t.entries[3].GIPFELNR, 8.5f);
    QCOMPARE(c.displayName(), QStringLiteral("Čertova věž"));
}

void TestSummitList::headerKeywordsMatchExactly()
{
    SummitTable t;
    QVERIFY(readSummitList(fixture("summits_header_columns.txt"), t));
    QCOMPARE(t.count, 2);
    // "gebiet" and "GEBIET " are other names; the empty column does not
    // shift the ones after it.
    QCOMPARE(t.entries[0].GEBIET, QString());
    QCOMPARE(t.entries[0].GIPFELNAME_D, QStringLiteral("Name eins"));
    QCOMPARE(t.entries[0].TYP, QStringLiteral("G"));
    // A keyword in two columns: the later one counts.
    QCOMPARE(t.entries[1].GIPFELNAME_D, QStringLiteral("zweite"));
    QCOMPARE(t.entries[1].GIPFELNR, 3.0f);
}

void TestSummitList::shortDataLinesAndDecimalComma()
{
    SummitTable t;
    QVERIFY(readSummitList(fixture("summits_short_lines.txt"), t));
    QCOMPARE(t.count, 3);
    const Summit& s = t.entries[0];
    QCOMPARE(s.GIPFELNAME_D, QStringLiteral("Name"));
    QCOMPARE(s.GIPFELNAME_CZ, QString());
    QCOMPARE(s.TYP, QString());
    QCOMPARE(s.GIPFELNR, 0.0f);
    QCOMPARE(s.GIPFELOST, 0.0);
    QCOMPARE(s.GIPFELNORD, 0.0);
    QCOMPARE(s.POSFEHLER, int16_t(0));

    QCOMPARE(t.entries[1].GIPFELNAME_CZ, QStringLiteral("Jméno"));
    QCOMPARE(t.entries[1].GIPFELOST, 14.0);  // "14,25"
    QCOMPARE(t.entries[1].GIPFELNORD, 50.0); // "50,9"
    QCOMPARE(t.entries[1].POSFEHLER, int16_t(12));
    // A column beyond the header changes nothing.
    QCOMPARE(t.entries[2].GEBIET, QStringLiteral("Gebiet"));
    QCOMPARE(t.entries[2].POSFEHLER, int16_t(0));
}

void TestSummitList::blockStartOnTheLastLine()
{
    SummitTable t;
    int lines = 0;
    QVERIFY(readSummitList(fixture("summits_block_start_last_line.txt"), t, [&] { ++lines; }));
    QCOMPARE(t.count, 1);
    QCOMPARE(t.entries[0].TYP, QStringLiteral("P"));
    QCOMPARE(lines, 5);

    // Without a line end after it, too.
    readSummitListBytes("$GIPFEL:\r\nTYP\r\nG\r\n$GIPFEL:", t);
    QCOMPARE(t.count, 1);
}

void TestSummitList::lineFeedAlone()
{
    SummitTable t;
    QVERIFY(readSummitList(fixture("summits_lf_only.txt"), t));
    QCOMPARE(t.count, 2);
    QCOMPARE(t.entries[0].GIPFELNAME_D, QStringLiteral("Weißer Turm"));
    QCOMPARE(t.entries[0].TYP, QStringLiteral("G"));
    QCOMPARE(t.entries[1].TYP, QStringLiteral("C"));

    // A CR before the line feed, or at the end of the file, is no part of
    // the last column; one inside a line is.
    readSummitListBytes("$GIPFEL:\r\nTYP\tGEBIET\r\nG\tA\rB\r\nH\tC\r", t);
    QCOMPARE(t.count, 2);
    QCOMPARE(t.entries[0].GEBIET, QStringLiteral("A\rB"));
    QCOMPARE(t.entries[1].GEBIET, QStringLiteral("C"));
}

void TestSummitList::fileWithoutBlockEmptiesTable()
{
    SummitTable t = filledTable();
    readSummitListBytes("GEBIET\tTYP\r\nA\tG\r\n", t);
    QCOMPARE(t.count, 0);
    t = filledTable();
    readSummitListBytes(QByteArray(), t);
    QCOMPARE(t.count, 0);
}

void TestSummitList::missingFileChangesNothing()
{
    SummitTable t = filledTable();
    QString error;
    QVERIFY(!readSummitList(fixture("no_such_file.txt"), t, {}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(t.count, 3);
    QCOMPARE(t.entries[0].GIPFELNAME_D, QStringLiteral("alt"));
    QVERIFY(!readSummitList(QString(), t));
    QCOMPARE(t.count, 3);
}

void TestSummitList::posfehler_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("error");

    QTest::newRow("plain") << QByteArray(" 25") << 25;
    QTest::newRow("half to even down") << QByteArray("12.5") << 12;
    QTest::newRow("half to even up") << QByteArray("13.5") << 14;
    QTest::newRow("negative") << QByteArray("-7") << -7;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("no number") << QByteArray("abc") << 0;
    QTest::newRow("NaN") << QByteArray("NaN") << 0;
    QTest::newRow("inf") << QByteArray("inf") << 0;
    QTest::newRow("number with text after it") << QByteArray("12 m") << 12;
    QTest::newRow("32767") << QByteArray("32767") << 32767;
    QTest::newRow("32768 clamped") << QByteArray("32768") << 32767;
    QTest::newRow("-32768") << QByteArray("-32768") << -32768;
    QTest::newRow("-1E9 clamped") << QByteArray("-1E9") << -32768;
    QTest::newRow("1E400 beyond a double") << QByteArray("1E400") << 32767;
    QTest::newRow("-1E400 beyond a double") << QByteArray("-1E400") << -32768;
    QTest::newRow("1E-400 is nothing") << QByteArray("1E-400") << 0;
    QTest::newRow("0.0001E400 beyond a double") << QByteArray(".0001E400") << 32767;
}

void TestSummitList::posfehler()
{
    QFETCH(QByteArray, text);
    QFETCH(int, error);
    SummitTable t;
    readSummitListBytes("$GIPFEL:\r\nGIPFELNAME_D\tPOSFEHLER\r\nx\t" + text + "\r\n", t);
    QCOMPARE(t.count, 1);
    QCOMPARE(t.entries[0].POSFEHLER, int16_t(error));
}

void TestSummitList::capacity()
{
    // 10003 data lines, and a second block after them that must stay unread.
    QByteArray bytes = "$GIPFEL:\r\nGIPFELNR\r\n";
    for (int i = 1; i <= SummitTable::capacity + 2; ++i)
        bytes += QByteArray::number(i) + "\r\n";
    bytes += "$GIPFEL:\r\nGIPFELNR\r\n99999\r\n";

    SummitTable t;
    int lines = 0;
    readSummitListBytes(bytes, t, [&] { ++lines; });
    QCOMPARE(t.count, int16_t(SummitTable::capacity));
    QCOMPARE(t.entries[0].GIPFELNR, 1.0f);
    QCOMPARE(t.entries[10000].GIPFELNR, 10001.0f);
    QCOMPARE(lines, 2 + SummitTable::capacity); // the 10002nd data line is not read
}

void TestSummitList::afterEachLineSeesTheGrowingTable()
{
    SummitTable t = filledTable();
    QList<int> counts;
    QVERIFY(readSummitList(fixture("summits_two_blocks.txt"), t, [&] { counts << t.count; }));
    // One call per line of the file; the table is empty from the first line on.
    QCOMPARE(counts, (QList<int>{0, 0, 0, 0, 0, 0, 1, 2, 2, 2, 2, 2, 3, 4, 4}));
}

void TestSummitList::savedListLoadsBack_data()
{
    QTest::addColumn<TextEncoding>("encoding");
    QTest::newRow("Windows-1250") << TextEncoding::Windows1250;
    QTest::newRow("UTF-8") << TextEncoding::Utf8;
    QTest::newRow("UTF-8 with BOM") << TextEncoding::Utf8WithBom;
}

void TestSummitList::savedListLoadsBack()
{
    QFETCH(TextEncoding, encoding);
    SummitTable t;
    t.encoding = encoding;
    t.count = 3;
    t.entries[0] = {QStringLiteral("Böhmische Schweiz"), QStringLiteral(" Teil mit Blanks "), QStringLiteral("Weißer Stein"),
                    QStringLiteral("Řeřichová skála"), QStringLiteral("G"), 12.0f, 14.227187, 50.899743, 10};
    t.entries[1] = {QString(), QString(), QString(), QStringLiteral("Čertův ůžas ěš"), QStringLiteral("W"),
                    1.0f / 3.0f, 1.0 / 7.0, -0.000012345, -32768};
    t.entries[2] = {QStringLiteral("A"), QString(), QStringLiteral("\"Zitat\""), QString(), QString(),
                    123456789.0f, 14.123456789012345678, 50.98765432109876, 32767};

    const QByteArray saved = summitListBytes(t);
    SummitTable back;
    readSummitListBytes(saved, back);
    QCOMPARE(back.count, t.count);
    QCOMPARE(back.encoding, encoding);
    for (int i = 0; i < t.count; ++i) {
        const Summit& a = t.entries[static_cast<size_t>(i)];
        const Summit& b = back.entries[static_cast<size_t>(i)];
        QCOMPARE(b.GEBIET, a.GEBIET);
        QCOMPARE(b.TEILGEBIET, a.TEILGEBIET);
        QCOMPARE(b.GIPFELNAME_D, a.GIPFELNAME_D);
        QCOMPARE(b.GIPFELNAME_CZ, a.GIPFELNAME_CZ);
        QCOMPARE(b.TYP, a.TYP);
        // Numbers come back to the digits written.
        QCOMPARE(b.GIPFELNR, static_cast<float>(valueOf(generalForm(a.GIPFELNR))));
        QCOMPARE(b.GIPFELOST, valueOf(generalForm(a.GIPFELOST)));
        QCOMPARE(b.GIPFELNORD, valueOf(generalForm(a.GIPFELNORD)));
        QCOMPARE(b.POSFEHLER, a.POSFEHLER);
    }
    QCOMPARE(back.entries[0].GIPFELOST, 14.227187);
    QVERIFY(saved.contains("\tG\t 12\t 14.227187\t 50.899743\t 10\r\n"));
    QVERIFY(saved.contains("\t-.000012345\t-32768\r\n"));
    QCOMPARE(summitListBytes(back), saved);
}

void TestSummitList::unchangedListSavesSameBytes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::newRow("Windows-1250 example list") << QStringLiteral(KARTE_EXAMPLES "/gipfelliste.txt") << TextEncoding::Windows1250;
    QTest::newRow("UTF-8 with BOM") << fixture("summits_utf8_bom.txt") << TextEncoding::Utf8WithBom;
}

void TestSummitList::unchangedListSavesSameBytes()
{
    QFETCH(QString, path);
    QFETCH(TextEncoding, encoding);
    SummitTable t;
    QVERIFY(readSummitList(path, t));
    QVERIFY(t.count > 0);
    QCOMPARE(t.encoding, encoding);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("gespeichert.txt"));
    QString error;
    QVERIFY2(writeSummitList(t, out, &error), qPrintable(error));
    QCOMPARE(fileBytes(out), fileBytes(path));
}

void TestSummitList::emptyTableWritesHeaderOnly()
{
    SummitTable t;
    QCOMPARE(summitListBytes(t), "$GIPFEL:\r\n" + fullHeader + "\r\n");
    t.encoding = TextEncoding::Utf8WithBom;
    QCOMPARE(summitListBytes(t), "\xEF\xBB\xBF$GIPFEL:\r\n" + fullHeader + "\r\n");
}

void TestSummitList::textsWindows1250CannotHoldAreNotLost()
{
    SummitTable t;
    t.count = 1;
    t.entries[0].GIPFELNAME_D = QStringLiteral("Gipfel 山");
    SummitTable back;
    readSummitListBytes(summitListBytes(t), back);
    QCOMPARE(back.entries[0].GIPFELNAME_D, t.entries[0].GIPFELNAME_D);
    QCOMPARE(back.encoding, TextEncoding::Utf8WithBom);
}

void TestSummitList::writeReplacesFileAtomically()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("liste.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("alter Inhalt, viel laenger als die neue Liste ...................................");
    old.close();

    SummitTable t;
    QVERIFY(writeSummitList(t, path));
    QCOMPARE(fileBytes(path), summitListBytes(t));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("liste.txt")});
}

void TestSummitList::writeToDirectoryFails()
{
    // Running as root, file modes stop nothing; a directory at the target
    // path, or a file in place of the parent directory, still does.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("liste.txt"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("liste.txt")));
    QFile inside(target + QStringLiteral("/drin.txt"));
    QVERIFY(inside.open(QIODevice::WriteOnly));
    inside.write("bleibt");
    inside.close();

    SummitTable t = filledTable();
    QString error;
    QVERIFY(!writeSummitList(t, target, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(fileBytes(target + QStringLiteral("/drin.txt")), QByteArray("bleibt"));

    error.clear();
    QVERIFY(!writeSummitList(t, target + QStringLiteral("/drin.txt/unter.txt"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileBytes(target + QStringLiteral("/drin.txt")), QByteArray("bleibt"));
    QVERIFY(!writeSummitList(t, QString()));
}

void TestSummitList::longLineAndGarbage()
{
    // A 1 MB name is kept whole.
    const QByteArray longName(1024 * 1024, 'x');
    SummitTable t;
    readSummitListBytes("$GIPFEL:\r\nTYP\tGIPFELNAME_D\r\nG\t" + longName + "\r\nH\tkurz\r\n", t);
    QCOMPARE(t.count, 2);
    QCOMPARE(t.entries[0].GIPFELNAME_D.size(), longName.size());
    QCOMPARE(t.entries[1].GIPFELNAME_D, QStringLiteral("kurz"));

    // Random bytes, with a block start in the middle: whatever it reads, it
    // stays within the table and ends.
    QRandomGenerator random(1234);
    QByteArray garbage(2 * 1024 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(garbage.data()), garbage.size() / 4);
    garbage.insert(garbage.size() / 2, "\n$GIPFEL:\nGEBIET\tTYP\n");
    readSummitListBytes(garbage, t);
    QCOMPARE(t.encoding, TextEncoding::Windows1250);
    QVERIFY(t.count >= 1 && t.count <= SummitTable::capacity);
}

void TestSummitList::loadStartedWhileLoading()
{
    // The events handled after a line may start a second load into the same
    // table; here it fills the table to the brim.
    QByteArray full = "$GIPFEL:\r\nGIPFELNR\r\n";
    for (int i = 0; i < SummitTable::capacity; ++i)
        full += "7\r\n";
    SummitTable t;
    int calls = 0;
    readSummitListBytes("$GIPFEL:\r\nGIPFELNR\r\n1\r\n2\r\n", t, [&] {
        if (++calls == 3) // after the first data line is read, before it is stored
            readSummitListBytes(full, t);
    });
    // The outer load stops where the table is full and writes past no end.
    QCOMPARE(t.count, int16_t(SummitTable::capacity));
    QCOMPARE(calls, 3);
    QCOMPARE(t.entries[SummitTable::capacity - 1].GIPFELNR, 7.0f);
}

QTEST_GUILESS_MAIN(TestSummitList)
#include "tst_summitlist.moc"
