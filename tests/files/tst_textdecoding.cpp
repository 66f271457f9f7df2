#include "files/textdecoding.h"

#include <QBuffer>
#include <QTest>

using namespace karte;

Q_DECLARE_METATYPE(karte::TextEncoding)

class TestTextDecoding : public QObject {
    Q_OBJECT
private slots:
    void detect_data();
    void detect();
    void windows1250Letters();
    void encodeRefusesWhatWindows1250CannotHold();
};

void TestTextDecoding::detect_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");

    const QByteArray czech = QStringEncoder("windows-1250").encode(QStringLiteral("Čertova věž, Kostelní, Großer Stein"));
    QTest::newRow("empty") << QByteArray() << TextEncoding::Windows1250;
    QTest::newRow("plain ASCII") << QByteArray("$GIPFEL:\r\nTYP\r\n") << TextEncoding::Windows1250;
    QTest::newRow("Windows-1250 letters") << czech << TextEncoding::Windows1250;
    QTest::newRow("UTF-8") << QStringLiteral("Čertova věž").toUtf8() << TextEncoding::Utf8;
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + QStringLiteral("ř").toUtf8()
                                    << TextEncoding::Utf8WithBom;
    QTest::newRow("BOM before ASCII") << QByteArray("\xEF\xBB\xBF$GIPFEL:") << TextEncoding::Utf8WithBom;
    QTest::newRow("BOM before Windows-1250") << QByteArray("\xEF\xBB\xBF") + czech << TextEncoding::Windows1250;
    QTest::newRow("UTF-8 cut off at the end") << QStringLiteral("abc ř").toUtf8().chopped(1) << TextEncoding::Windows1250;

    // A two-byte letter split by the 64 KiB chunks of the file read.
    QByteArray across(64 * 1024 - 1, 'a');
    across += QStringLiteral("ř").toUtf8();
    QTest::newRow("UTF-8 across a chunk boundary") << across << TextEncoding::Utf8;
    QByteArray invalidLate(200 * 1024, 'b');
    invalidLate += QStringLiteral("ř").toUtf8() + czech;
    QTest::newRow("UTF-8 first, invalid later") << invalidLate << TextEncoding::Windows1250;
}

void TestTextDecoding::detect()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);

    QCOMPARE(TextCodec::detect(bytes), encoding);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(TextCodec::detect(buffer), encoding);
    QCOMPARE(buffer.pos(), 0); // ready for reading the lines
}

void TestTextDecoding::windows1250Letters()
{
    // ä ö ü ß at their Windows-1252 bytes, the Czech letters at theirs.
    TextCodec codec(TextEncoding::Windows1250);
    QCOMPARE(codec.decode(QByteArray("\xE4\xF6\xFC\xDF")), QStringLiteral("äöüß"));
    QCOMPARE(codec.decode(QByteArray("\xF8\x9A\xE8\xEC\xF9\x9E\xFD\xE1\xED\xE9")), QStringLiteral("řščěůžýáíé"));
    QCOMPARE(*codec.encode(QStringLiteral("Řeka Žďár")), QByteArray("\xD8\x65ka \x8E\xEF\xE1r"));
}

void TestTextDecoding::encodeRefusesWhatWindows1250CannotHold()
{
    TextCodec windows(TextEncoding::Windows1250);
    QVERIFY(!windows.encode(QStringLiteral("山")).has_value());
    QVERIFY(windows.encode(QStringLiteral("ř")).has_value()); // the refusal does not stick
    TextCodec utf8(TextEncoding::Utf8WithBom);
    QCOMPARE(*utf8.encode(QStringLiteral("山")), QStringLiteral("山").toUtf8());
}

QTEST_GUILESS_MAIN(TestTextDecoding)
#include "tst_textdecoding.moc"
