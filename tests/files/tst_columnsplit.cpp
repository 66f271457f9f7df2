#include "files/columnsplit.h"

#include <QTest>

using namespace karte;

class TestColumnSplit : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
};

void TestColumnSplit::split_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<char>("separator");
    QTest::addColumn<QList<QByteArray>>("columns");

    QTest::newRow("no separator is one column") << QByteArray("abc") << '\t' << QList<QByteArray>{"abc"};
    QTest::newRow("empty line is one empty column") << QByteArray() << '\t' << QList<QByteArray>{""};
    QTest::newRow("two tabs enclose an empty column") << QByteArray("a\t\tb") << '\t' << QList<QByteArray>{"a", "", "b"};
    QTest::newRow("tab at the end adds an empty column") << QByteArray("a\t") << '\t' << QList<QByteArray>{"a", ""};
    QTest::newRow("blanks belong to the column") << QByteArray(" a \t b") << '\t' << QList<QByteArray>{" a ", " b"};
    QTest::newRow("comma ignores tabs") << QByteArray("a\tb,c") << ',' << QList<QByteArray>{"a\tb", "c"};
    QTest::newRow("quotes have no meaning") << QByteArray("W,\"x, y\",1") << ','
                                            << QList<QByteArray>{"W", "\"x", " y\"", "1"};

    QList<QByteArray> twenty;
    QByteArray line;
    for (int i = 1; i <= 20; ++i) {
        twenty << QByteArray::number(i);
        line += QByteArray::number(i) + (i < 20 ? "," : "");
    }
    QTest::newRow("exactly twenty columns") << line << ',' << twenty;
    QList<QByteArray> capped = twenty;
    capped.last() = "20,21,,22,";
    QTest::newRow("column twenty keeps the rest") << line + ",21,,22," << ',' << capped;
}

void TestColumnSplit::split()
{
    QFETCH(QByteArray, line);
    QFETCH(char, separator);
    QFETCH(QList<QByteArray>, columns);

    const ColumnSplit split(line, separator);
    QCOMPARE(split.count(), int(columns.size()));
    for (int i = 0; i < int(columns.size()); ++i)
        QCOMPARE(split.column(i + 1).toByteArray(), columns[i]);
    QVERIFY(split.column(0).isEmpty());
    QVERIFY(split.column(int(columns.size()) + 1).isEmpty());
}

QTEST_GUILESS_MAIN(TestColumnSplit)
#include "tst_columnsplit.moc"
