#include "platform/filedialog.h"
#include "platform/filterstring.h"

#include <QDir>
#include <QTest>

using namespace karte;

class TestFileDialog : public QObject {
    Q_OBJECT
private slots:
    void filter_data();
    void filter();
    void remembersItsOwnLastChoice();
    void cancelKeepsTheLastChoice();
};

void TestFileDialog::filter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trailing semicolon") << "Karten|*.bmp;" << "Karten (*.bmp)";
    QTest::newRow("two patterns") << "Gipfelliste|*.kf3;*.txt" << "Gipfelliste (*.kf3 *.txt)";
    QTest::newRow("two pairs") << "Karten|*.bmp|Alle|*.*" << "Karten (*.bmp);;Alle (*.*)";
    QTest::newRow("description only") << "Alles" << "Alles (*)";
    QTest::newRow("empty") << "" << "";
}

void TestFileDialog::filter()
{
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(toQtFilter(filter), expected);
}

void TestFileDialog::remembersItsOwnLastChoice()
{
    FileDialog maps;
    FileDialog summits;
    QString seenFilter;
    QString seenStart;
    auto chooser = [&](const QString& qtFilter, const QString& startPath) {
        seenFilter = qtFilter;
        seenStart = startPath;
        return QStringLiteral("/data/karten/blatt12.bmp");
    };
    maps.setChooserForTests(chooser);
    summits.setChooserForTests(chooser);

    QCOMPARE(maps.open(nullptr, QStringLiteral("Karten|*.bmp;")), QStringLiteral("/data/karten/blatt12.bmp"));
    QCOMPARE(seenFilter, QStringLiteral("Karten (*.bmp)"));
    QCOMPARE(seenStart, QDir::currentPath());

    maps.save(nullptr, QStringLiteral("Karten|*.bmp;"));
    QCOMPARE(seenStart, QStringLiteral("/data/karten/blatt12.bmp"));

    // The other instance has not chosen anything yet.
    summits.open(nullptr, QStringLiteral("Gipfelliste|*.kf3;*.txt"));
    QCOMPARE(seenStart, QDir::currentPath());
}

void TestFileDialog::cancelKeepsTheLastChoice()
{
    FileDialog dialog;
    QString answer = QStringLiteral("/data/a.txt");
    dialog.setChooserForTests([&](const QString&, const QString&) { return answer; });
    dialog.open(nullptr, QStringLiteral("Track|*.txt;*.csv"));
    answer.clear();
    QCOMPARE(dialog.open(nullptr, QStringLiteral("Track|*.txt;*.csv")), QString());
    QCOMPARE(dialog.startPath(), QStringLiteral("/data/a.txt"));
}

QTEST_GUILESS_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
