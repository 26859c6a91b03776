#include "shell/MeridianModel.h"

#include <QtTest>

class TestMeridianModel : public QObject {
  Q_OBJECT
  static std::array<int, 13> identity() {
    std::array<int, 13> o{};
    for (int i = 1; i <= 12; ++i)
      o[i] = i;
    return o;
  }
  static MeridianArray ones() {
    MeridianArray f;
    f.fill(1.0);
    return f;
  }

private slots:
  void tableOrderIsIdentity() {
    MeridianModel m;
    ApplyOrderAndFactorModes(m, 0, identity(), 0, ones());
    for (int p = 1; p <= 24; ++p)
      QCOMPARE(m.PositionSlot[p], p);
    const int expected[25] = {0, 1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 7, 8, 9, 10, 11, 12};
    for (int p = 1; p <= 24; ++p)
      QCOMPARE(m.PositionMeridian[p], expected[p]);
  }

  void pairedOrder() {
    MeridianModel m;
    ApplyOrderAndFactorModes(m, 1, identity(), 0, ones());
    QCOMPARE(m.PositionSlot[2], 6);
    QCOMPARE(m.PositionSlot[8], 12);
    QCOMPARE(m.PositionSlot[14], 18);
    QCOMPARE(m.PositionSlot[20], 24);
    QCOMPARE(m.OrderPairs[2].left, 6);
    QCOMPARE(m.OrderPairs[2].right, 12);
    QCOMPARE(m.PositionMeridian[14], 12);
  }

  void customOrder_data() {
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<QList<int>>("expectedMeasuringOrder");
    QTest::newRow("default custom = table order") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}
                                                  << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    QTest::newRow("reversed") << QList<int>{12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}
                              << QList<int>{12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    QTest::newRow("repeated meridian falls back") << QList<int>{1, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}
                                                  << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    QTest::newRow("out of range falls back") << QList<int>{0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13}
                                             << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  }
  void customOrder() {
    QFETCH(QList<int>, order);
    QFETCH(QList<int>, expectedMeasuringOrder);
    std::array<int, 13> o{};
    for (int i = 0; i < 12; ++i)
      o[i + 1] = order[i];
    MeridianModel m;
    ApplyOrderAndFactorModes(m, 2, o, 0, ones());
    for (int i = 1; i <= 12; ++i)
      QCOMPARE(m.MeasuringOrder[i], expectedMeasuringOrder[i - 1]);
    // Every slot is measured exactly once.
    std::array<int, 25> seen{};
    for (int p = 1; p <= 24; ++p)
      ++seen[m.PositionSlot[p]];
    for (int s = 1; s <= 24; ++s)
      QCOMPARE(seen[s], 1);
  }

  void footMeridianInHandBlockKeepsItsSlots() {
    std::array<int, 13> o = {0, 7, 2, 3, 4, 5, 6, 1, 8, 9, 10, 11, 12};
    MeridianModel m;
    ApplyOrderAndFactorModes(m, 5, o, 0, ones());
    QCOMPARE(m.PositionSlot[1], 13); // left SP measured first
    QCOMPARE(m.PositionSlot[7], 19);
    QCOMPARE(m.PositionSlot[13], 1); // left LU in the foot block
    QCOMPARE(int(SideOfPosition(7)), int(Side::Right));
  }

  void factors() {
    MeridianModel m;
    ApplyOrderAndFactorModes(m, 0, identity(), 0, ones());
    QCOMPARE(m.MeridianFactor[1], 0.8541);
    QCOMPARE(m.MeridianFactor[12], 1.1388);
    QCOMPARE(CorrectedValue(m, 21, 10.0), 10.0); // KI factor 1.0
    QVERIFY(qAbs(CorrectedValue(m, 20, 10.0) - 12.424) < 1e-12);

    ApplyOrderAndFactorModes(m, 0, identity(), 1, ones());
    for (int s = 1; s <= 24; ++s)
      QCOMPARE(CorrectedValue(m, s, 37.5), 37.5);

    MeridianArray custom;
    custom.fill(0.5);
    ApplyOrderAndFactorModes(m, 0, identity(), 7, custom);
    QCOMPARE(CorrectedValue(m, 3, 10.0), 5.0);
  }

  void lookupsAndPictures() {
    QCOMPARE(SlotOf(Side::Right, 9), 21);
    QCOMPARE(SlotOf(Side::Left, 12), 18);
    QCOMPARE(SlotOf(Side::Right, 6), 12);
    QCOMPARE(PictureFileName(2, 21), QStringLiteral("GRf3.bmp"));
    QCOMPARE(PictureFileName(1, 1), QStringLiteral("PLh1.bmp"));
    QCOMPARE(PictureFileName(3, 12), QStringLiteral("CRh6.bmp"));
    QCOMPARE(PictureFileName(1, 18), QStringLiteral("PLf6.bmp"));
    for (int s = 1; s <= 24; ++s) {
      QCOMPARE(SlotOf(SideOfSlot(s), MeridianOfSlot(s)), s);
      QCOMPARE(LimbOfSlot(s) == Limb::Foot, IsFootMeridian(MeridianOfSlot(s)));
    }
  }

  void tableTexts() {
    MeridianModel m;
    QCOMPARE(m.MeridianTable[10].Name, QStringLiteral("膀胱"));
    QCOMPARE(m.MeridianTable[3].Element, QStringLiteral("君火"));
    for (int i = 1; i <= 12; ++i)
      QCOMPARE(m.MeridianTable[i].Channel.startsWith(u"足"), IsFootMeridian(i));
    QCOMPARE(GradeColour(m, -1), QColor(254, 249, 141));
    QCOMPARE(GradeColour(m, 3), QColor(255, 70, 70));
    QCOMPARE(GradeColour(m, 0), QColor(145, 255, 113));
  }
};

QTEST_GUILESS_MAIN(TestMeridianModel)
#include "test_meridian_model.moc"
