#include "calibration/calibrationmodel.h"
#include "state/numberformat.h"

#include <QTest>

#include <cmath>

using namespace karte;
using namespace karte::calibration;

class TestCalibrationModel : public QObject {
    Q_OBJECT
private slots:
    void startUpIsIdentity();
    void workedExample_data();
    void workedExample();
    void acceptanceRule();
    void onePointOnlyRefreshes();
    void northUpGivesZeroRotation();
    void rotatedPointBelowLeftMapsOntoItself();
    void inverseUndoesForward();
    void derivedValues();
    void deriveKeepsTheSignOfAlpha();
    void deriveOnIdentityAndZeroLx();
    void resetKeepsScaleAndAlpha();
};

void TestCalibrationModel::startUpIsIdentity()
{
    ProgramState state;
    QCOMPARE(state.pi, 3.1415927f);
    const GeoPoint p = forward(state.calibration, 300, 200);
    QCOMPARE(p.longitude, 300.0);
    QCOMPARE(p.latitude, 200.0);
    QVERIFY(!state.calibration.isCalibrated());
}

void TestCalibrationModel::workedExample_data()
{
    QTest::addColumn<bool>("swapped");
    QTest::newRow("point 1 first") << false;
    QTest::newRow("points exchanged") << true;
}

void TestCalibrationModel::workedExample()
{
    QFETCH(bool, swapped);
    ProgramState state;
    int refreshed = 0;
    state.textaktualisieren = [&] { ++refreshed; };
    const int a = swapped ? 2 : 1;
    const int b = swapped ? 1 : 2;
    setReferencePoint(state, a, 112, 830, 14.1203, 50.8711);
    setReferencePoint(state, b, 975, 245, 14.2318, 50.9346);
    QCOMPARE(refreshed, 2);
    const CalibrationRecord& r = state.calibration;
    QCOMPARE(generalForm(r.maß), QStringLiteral(" 9.087455E-05"));
    QCOMPARE(generalForm(r.alpha), QStringLiteral(" .1387889"));
    QCOMPARE(generalForm(r.Lx), QStringLiteral(" 1.42714E-04"));
    QCOMPARE(generalForm(r.Ly), QStringLiteral(" 1.993528E-05"));
    QCOMPARE(generalForm(r.Bx), QStringLiteral(" 1.257193E-05"));
    QCOMPARE(generalForm(r.By), QStringLiteral("-9.000072E-05"));
    QVERIFY(std::fabs(r.L0 - 14.0877698) < 1e-7);
    QVERIFY(std::fabs(r.B0 - 50.9443925) < 1e-7);
    QCOMPARE(generalForm(metresPerPixel(r.maß)), QStringLiteral(" 10.09717"));
    QCOMPARE(generalForm(northDeviationDegrees(r, state.pi)), QStringLiteral(" 7.95202"));
    QCOMPARE(generalForm(scaleRatio(r, state.pi)), QStringLiteral(" .9991416"));
    // Point 1 maps exactly onto its degrees, point 2 within single rounding.
    const GeoPoint p2 = forward(r, 975, 245);
    QVERIFY(std::fabs(p2.longitude - 14.2318) < 1e-5);
    QVERIFY(std::fabs(p2.latitude - 50.9346) < 1e-5);
}

void TestCalibrationModel::acceptanceRule()
{
    ProgramState state;
    setReferencePoint(state, 2, 975, 245, 14.2318, 50.9346);
    QCOMPARE(state.calibration.cx2, 975.0f);
    // Same image row as point 2: point 1 is cleared, coefficients untouched.
    setReferencePoint(state, 1, 112, 245, 14.1203, 50.8711);
    QCOMPARE(state.calibration.cx1, 0.0f);
    QCOMPARE(state.calibration.Lx, 1.0f);
    QCOMPARE(state.calibration.cx2, 975.0f);
    // Same degrees as point 2: cleared.
    setReferencePoint(state, 1, 112, 830, 14.2318, 50.9346);
    QCOMPARE(state.calibration.cx1, 0.0f);
    QCOMPARE(state.calibration.Lgrd1, 0.0);
    // With the other point cleared a point at x 0 is refused.
    ProgramState fresh;
    setReferencePoint(fresh, 1, 0, 10, 14, 50);
    QCOMPARE(fresh.calibration.cy1, 0.0f);
    setReferencePoint(fresh, 1, 10, 0, 14, 50);
    QCOMPARE(fresh.calibration.cx1, 0.0f);
    setReferencePoint(fresh, 1, 10, 10, 0, 0);
    QCOMPARE(fresh.calibration.cx1, 0.0f);
    setReferencePoint(fresh, 1, 10, 10, 14, 0);
    QCOMPARE(fresh.calibration.cx1, 10.0f);
}

void TestCalibrationModel::onePointOnlyRefreshes()
{
    ProgramState state;
    int refreshed = 0;
    state.textaktualisieren = [&] { ++refreshed; };
    QVERIFY(!kalibrechnen(state));
    QCOMPARE(refreshed, 1);
    QCOMPARE(state.calibration.maß, 0.0f);
}

void TestCalibrationModel::northUpGivesZeroRotation()
{
    ProgramState state;
    setReferencePoint(state, 1, 100, 900, 14.0, 50.0);
    setReferencePoint(state, 2, 100.5f, 100, 14.0, 50.1);
    // x differs by half a pixel so the points are accepted; the rest is
    // straight north on the image and in the terrain.
    ProgramState exact;
    exact.calibration.cx1 = 100; exact.calibration.cy1 = 900; exact.calibration.Lgrd1 = 14; exact.calibration.Bgrd1 = 50;
    exact.calibration.cx2 = 100; exact.calibration.cy2 = 100; exact.calibration.Lgrd2 = 14; exact.calibration.Bgrd2 = 50.1;
    // cx1 == cx2 would be refused by the rule; compute() still runs on them.
    QVERIFY(compute(exact.calibration, exact.pi));
    QCOMPARE(exact.calibration.alpha, 0.0f);
    QCOMPARE(exact.calibration.Ly, 0.0f);
    QCOMPARE(exact.calibration.Bx, 0.0f);
}

void TestCalibrationModel::rotatedPointBelowLeftMapsOntoItself()
{
    ProgramState state;
    setReferencePoint(state, 1, 975, 245, 14.2318, 50.9346);
    setReferencePoint(state, 2, 112, 830, 14.1203, 50.8711);
    const GeoPoint p = forward(state.calibration, 112, 830);
    QVERIFY(std::fabs(p.longitude - 14.1203) < 1e-5);
    QVERIFY(std::fabs(p.latitude - 50.8711) < 1e-5);
}

void TestCalibrationModel::inverseUndoesForward()
{
    ProgramState state;
    setReferencePoint(state, 1, 112, 830, 14.1203, 50.8711);
    setReferencePoint(state, 2, 975, 245, 14.2318, 50.9346);
    const GeoPoint g = forward(state.calibration, 500, 400);
    const std::optional<ImagePoint> back = inverse(state.calibration, g.longitude, g.latitude);
    QVERIFY(back);
    QVERIFY(std::fabs(back->x - 500) < 1e-3);
    QVERIFY(std::fabs(back->y - 400) < 1e-3);
    CalibrationRecord flat;
    flat.Lx = 0; flat.Ly = 0;
    QVERIFY(!inverse(flat, 14, 50));
}

void TestCalibrationModel::derivedValues()
{
    ProgramState state;
    CalibrationRecord r;
    r.alpha = 0.01f;
    QCOMPARE(generalForm(northDeviationDegrees(r, state.pi)), QStringLiteral(" .5729578"));
    QCOMPARE(generalForm(metresPerPixel(0.0001f)), QStringLiteral(" 11.11111"));
    r.alpha = -0.0123f;
    QCOMPARE(generalForm(northDeviationDegrees(r, state.pi)), QStringLiteral("-.704738"));
    QCOMPARE(generalForm(metresPerPixel(0.000025f)), QStringLiteral(" 2.777778"));
    QCOMPARE(scaleRatio(CalibrationRecord{}, state.pi), 1.0f);
    CalibrationRecord zero;
    zero.By = 0;
    QCOMPARE(scaleRatio(zero, state.pi), 0.0f);
}

void TestCalibrationModel::deriveKeepsTheSignOfAlpha()
{
    ProgramState state;
    setReferencePoint(state, 1, 112, 830, 14.1203, 50.8711);
    setReferencePoint(state, 2, 975, 245, 14.2318, 50.9346);
    CalibrationRecord loaded = state.calibration;
    loaded.maß = 0;
    loaded.alpha = 0;
    deriveScaleAndAlpha(loaded);
    QCOMPARE(generalForm(loaded.maß), QStringLiteral(" 9.087455E-05"));
    QVERIFY(std::fabs(loaded.alpha - state.calibration.alpha) < 1e-6f);
}

void TestCalibrationModel::deriveOnIdentityAndZeroLx()
{
    CalibrationRecord identity;
    deriveScaleAndAlpha(identity);
    QCOMPARE(identity.maß, 1.0f);
    QCOMPARE(generalForm(identity.alpha), QStringLiteral(" 0"));
    CalibrationRecord zeroLx;
    zeroLx.Lx = 0;
    zeroLx.Ly = 0.5f;
    deriveScaleAndAlpha(zeroLx);
    QCOMPARE(zeroLx.alpha, static_cast<float>(std::atan2(0.5, 0.0)));
    CalibrationRecord mirrored;
    mirrored.Lx = -1;
    mirrored.Ly = -0.0f;
    deriveScaleAndAlpha(mirrored);
    QVERIFY(std::isfinite(mirrored.alpha));
}

void TestCalibrationModel::resetKeepsScaleAndAlpha()
{
    ProgramState state;
    setReferencePoint(state, 1, 112, 830, 14.1203, 50.8711);
    setReferencePoint(state, 2, 975, 245, 14.2318, 50.9346);
    const float maß = state.calibration.maß;
    resetToIdentity(state.calibration);
    QCOMPARE(state.calibration.maß, maß);
    QCOMPARE(state.calibration.L0, 0.0);
    QCOMPARE(state.calibration.Lx, 1.0f);
    QCOMPARE(state.calibration.By, 1.0f);
    QCOMPARE(state.calibration.cx1, 0.0f);
    QVERIFY(!state.calibration.isCalibrated());
}

QTEST_GUILESS_MAIN(TestCalibrationModel)
#include "tst_calibrationmodel.moc"
