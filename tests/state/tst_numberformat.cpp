#include "state/numberformat.h"
#include "state/palette.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace karte;

class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void generalSingle_data();
    void generalSingle();
    void generalDouble_data();
    void generalDouble();
    void valueOfText_data();
    void valueOfText();
    void int16Text_data();
    void int16Text();
    void rounding();
    void palette();
};

void TestNumberFormat::generalSingle_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("half") << 0.5f << " .5";
    QTest::newRow("negative quarter") << -0.25f << "-.25";
    QTest::newRow("three") << 3.0f << " 3";
    QTest::newRow("zero") << 0.0f << " 0";
    QTest::newRow("negative zero") << -0.0f << " 0";
    QTest::newRow("1e-4 fixed") << 0.0001f << " .0001";
    QTest::newRow("1/300") << static_cast<float>(1.0 / 300.0) << " 3.333333E-03";
    QTest::newRow("1e7") << 10000000.0f << " 1E+07";
    QTest::newRow("9999999 fixed") << 9999999.0f << " 9999999";
    QTest::newRow("1.5e-7") << 1.5e-07f << " 1.5E-07";
    QTest::newRow("Lx of the worked example") << 1.42714e-04f << " 1.42714E-04";
    QTest::newRow("zoom after + then -") << 0.99999994f << " .9999999";
    QTest::newRow("zoom after four -") << 0.49999997f << " .5";
    QTest::newRow("fourth root of two") << 1.1892071f << " 1.189207";
    QTest::newRow("rounds up to a new digit") << 9.9999999f << " 10";
    QTest::newRow("negative E form") << -1.5e-07f << "-1.5E-07";
    QTest::newRow("E form three digits") << 1e30f << " 1E+30";
    QTest::newRow("E form negative exponent") << 1e-30f << " 1E-30";
}

void TestNumberFormat::generalSingle()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(generalForm(value), text);
}

void TestNumberFormat::generalDouble_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1/300") << 1.0 / 300.0 << " 3.33333333333333E-03";
    QTest::newRow("1e7 fixed") << 10000000.0 << " 10000000";
    QTest::newRow("1e15") << 1e15 << " 1E+15";
    QTest::newRow("1e16") << 1e16 << " 1E+16";
    QTest::newRow("999999999999999") << 999999999999999.0 << " 999999999999999";
    QTest::newRow("longitude") << 14.227187 << " 14.227187";
    QTest::newRow("negative longitude") << -13.5 << "-13.5";
    QTest::newRow("single pi widened") << double(3.1415927f) << " 3.14159274101257";
    QTest::newRow("huge") << 1e300 << " 1E+300";
    QTest::newRow("single x widened") << double(84.089645f) << " 84.0896453857422";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << " NaN";
}

void TestNumberFormat::generalDouble()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(generalForm(value), text);
}

void TestNumberFormat::valueOfText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("trailing letters") << "12.5abc" << 12.5;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("leading blank") << " 7" << 7.0;
    QTest::newRow("blank inside") << "1 5" << 15.0;
    QTest::newRow("tab and line feed inside") << "\t1\n2" << 12.0;
    QTest::newRow("decimal comma ends the number") << "50,9" << 50.0;
    QTest::newRow("no zero before point") << " .5" << 0.5;
    QTest::newRow("negative") << "-.25" << -0.25;
    QTest::newRow("plus sign") << "+3" << 3.0;
    QTest::newRow("exponent") << " 1.5E-07" << 1.5e-07;
    QTest::newRow("lower-case exponent") << "2e3" << 2000.0;
    QTest::newRow("exponent without digits") << "5E" << 5.0;
    QTest::newRow("exponent sign without digits") << "5E+x" << 5.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("beyond double range") << "1E400" << 0.0;
    QTest::newRow("negative zero") << "-0" << 0.0;
    QTest::newRow("NaN text") << "NaN" << 0.0;
    QTest::newRow("carriage return stops") << "1\r2" << 1.0;
}

void TestNumberFormat::valueOfText()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(valueOf(text), value);
}

void TestNumberFormat::int16Text_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("ten") << "10" << true << 10;
    QTest::newRow("blanks around") << " 10 " << true << 10;
    QTest::newRow("half to even down") << "2.5" << true << 2;
    QTest::newRow("half to even up") << "3.5" << true << 4;
    QTest::newRow("negative half") << "-0.5" << true << 0;
    QTest::newRow("maximum") << "32767" << true << 32767;
    QTest::newRow("minimum") << "-32768" << true << -32768;
    QTest::newRow("above range") << "32768" << false << 0;
    QTest::newRow("rounds above range") << "32767.5" << false << 0;
    QTest::newRow("rounds to minimum") << "-32768.5" << true << -32768;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("number then letters") << "12abc" << false << 0;
    QTest::newRow("huge") << "1E400" << false << 0;
    QTest::newRow("eight nines") << "99999999" << false << 0;
}

void TestNumberFormat::int16Text()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<int16_t> result = toInt16(text);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(int(*result), value);
}

void TestNumberFormat::rounding()
{
    QCOMPARE(roundHalfEven(272.5), 272);
    QCOMPARE(roundHalfEven(627.5), 628);
    QCOMPARE(roundHalfEven(-2.5), -2);
    QCOMPARE(roundHalfEven(2.4999), 2);
    QCOMPARE(roundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    QCOMPARE(roundHalfEven(1e300), std::numeric_limits<int32_t>::max());
    QCOMPARE(roundHalfEven16(40000.0), int16_t(32767));
    QCOMPARE(roundHalfEven16(-1e9), int16_t(-32768));
}

void TestNumberFormat::palette()
{
    QCOMPARE(paletteColor(1), (PaletteColor{0, 0, 128}));
    QCOMPARE(paletteColor(7), (PaletteColor{192, 192, 192}));
    QCOMPARE(paletteColor(12), (PaletteColor{255, 0, 0}));
    QCOMPARE(paletteColor(14), (PaletteColor{255, 255, 0}));
    QCOMPARE(paletteColor(99), (PaletteColor{0, 0, 0}));
}

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "tst_numberformat.moc"
