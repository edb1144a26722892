// The Popov criterion: classification of the nonlinear chain, the sector of
// its characteristic, the Popov line on the modified hodograph and the
// report texts.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>

#include "contour_fixture.h"
#include "frequency/analysis_state.h"
#include "frequency/contour.h"
#include "frequency/hodograph.h"
#include "frequency/popov.h"
#include "model/compile.h"
#include "model/scheme_builder.h"
#include "scheme_fixtures.h"
#include "shell/program.h"

namespace vemo {
namespace {

using testing::TChainBlocks;

class PopovTest : public testing::ContourFieldTest {
 protected:
  TChainClass Classify(TChainBlocks blocks) {
    const TNonlinearPart p = PrepareChain(blocks);
    return ClassifyNonlinearChain(p.Entry, p.Last);
  }

  TPopovSector Sector(TChainBlocks blocks) {
    const TNonlinearPart p = PrepareChain(blocks);
    return PopovSector(ClassifyNonlinearChain(p.Entry, p.Last), p.Entry, p.Last);
  }

  // The whole verdict of the command on the chain.
  TPopovVerdict Verdict(TChainBlocks blocks) {
    const TNonlinearPart p = PrepareChain(blocks);
    TPopovVerdict v;
    v.Sector = PopovSector(ClassifyNonlinearChain(p.Entry, p.Last), p.Entry, p.Last);
    if (v.Sector.Fits) v.Line = FindPopovLine(Modified(), v.Sector.K);
    return v;
  }

  TPointList Modified() {
    THodographOptions o;
    o.Popov = true;
    THodograph h;
    EXPECT_TRUE(BuildHodograph(Analysis.Form, Analysis.Delay, -3, 3, o, h));
    return h.Points;
  }
};

TEST_F(PopovTest, ChainIsWalkedFromTheEntry) {
  const TNonlinearPart p = PrepareChain({{20, {0.1}}, {21, {1, -1}}, {10, {1, 1}}});
  const auto chain = NonlinearChain(p.Entry, p.Last);
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0]->TypeCode, 20);
  EXPECT_EQ(chain[1]->TypeCode, 21);
}

TEST_F(PopovTest, SymmetricElementsAreStandard) {
  TChainClass c = Classify({{21, {2, -2}}});
  EXPECT_EQ(c.Code, 21);
  EXPECT_EQ(c.Params[0], 2);
}

TEST_F(PopovTest, AsymmetricSaturationIsNumeric) {
  EXPECT_EQ(Classify({{21, {1, -0.5}}}).Code, kChainNumeric);
}

TEST_F(PopovTest, DeadZoneThenSaturationIsOneElement) {
  TChainClass c = Classify({{20, {0.2}}, {21, {1, -1}}});
  EXPECT_EQ(c.Code, 22);
  EXPECT_EQ(c.Params[0], 0.2);
  EXPECT_EQ(c.Params[1], 1);
}

TEST_F(PopovTest, SaturationBelowTheDeadZoneIsABreak) {
  EXPECT_EQ(Classify({{21, {0.1, -0.1}}, {20, {0.5}}}).Code, kChainBreak);
}

TEST_F(PopovTest, ZeroLimitsAreABreak) {
  const TChainClass c = Classify({{21, {0, 0}}});
  EXPECT_EQ(c.Code, kChainBreak);
  EXPECT_STREQ(ChainRefusalText(c.Code),
               "Невозможно построить ЭККУ, потому что нелинейная часть эквивалентная разрыву цепи.");
}

TEST_F(PopovTest, ConstantOutputIsRefused) {
  EXPECT_EQ(Classify({{23, {1, 1, 0}}}).Code, kChainConstant);
  // A break followed by cos: cos 0 = 1 at the output.
  const TChainClass c = Classify({{21, {0, 0}}, {44, {}}});
  EXPECT_EQ(c.Code, kChainConstant);
  EXPECT_STREQ(ChainRefusalText(c.Code),
               "Невозможно построить ЭККУ, потому что на выходе нелинейной части постоянный ненулевой сигнал.");
}

TEST_F(PopovTest, PulseElementInAChainIsUnsupported) {
  const TChainClass c = Classify({{13, {0.1, 1}}, {21, {1, -1}}});
  EXPECT_EQ(c.Code, kChainUnsupported);
  EXPECT_STREQ(ChainRefusalText(c.Code), "Недопустимое сочитание нелинейных звеньев. Невозможно построить ЭККУ.");
  EXPECT_STREQ(ChainRefusalText(21), "");
}

TEST_F(PopovTest, SectorsOfStandardElements) {
  TPopovSector s = Sector({{21, {1, -1}}});
  EXPECT_TRUE(s.Fits);
  EXPECT_EQ(s.K, 1.0);
}

TEST_F(PopovTest, IdealRelaySector) {
  TPopovSector s = Sector({{23, {1, -1, 0}}});
  EXPECT_TRUE(s.Fits);
  EXPECT_EQ(s.K, 1e10);
}

TEST_F(PopovTest, ThreePositionRelaySector) {
  TPopovSector s = Sector({{25, {1, -1, 0.5, -0.5}}});
  EXPECT_TRUE(s.Fits);
  EXPECT_DOUBLE_EQ(s.K, 2.0);
}

TEST_F(PopovTest, QuantiserSector) { EXPECT_EQ(Sector({{27, {0.5}}}).K, 2.0); }

TEST_F(PopovTest, HysteresisRelayDoesNotFit) {
  EXPECT_FALSE(Sector({{24, {1, -1, 0.1, -0.1}}}).Fits);
}

TEST_F(PopovTest, BacklashDoesNotFit) { EXPECT_FALSE(Sector({{28, {0.1}}}).Fits); }

TEST_F(PopovTest, SampledSectorOfAsymmetricSaturation) {
  TPopovSector s = Sector({{21, {1, -0.5}}});
  EXPECT_TRUE(s.Fits);
  EXPECT_NEAR(s.K, 1.0, 1e-12);
}

TEST_F(PopovTest, SampledSectorOfArctangent) {
  TPopovSector s = Sector({{48, {}}});
  EXPECT_TRUE(s.Fits);
  EXPECT_NEAR(s.K, 1.0, 1e-6);
}

TEST_F(PopovTest, SineLeavesTheSector) { EXPECT_FALSE(Sector({{43, {}}}).Fits); }

TEST_F(PopovTest, ModulusLeavesTheSector) { EXPECT_FALSE(Sector({{80, {}}}).Fits); }

TEST_F(PopovTest, FirstOrderPlantIsStableForAnySector) {
  PrepareChain({{21, {1, -1}}, {10, {1, 1}}});
  const TPointList m = Modified();
  for (double k : {0.01, 1.0, 100.0, 1e10}) {
    const TPopovLine line = FindPopovLine(m, k);
    EXPECT_TRUE(line.Found) << k;
    EXPECT_LE(line.ThetaMax - line.ThetaMin, kPopovSpread);
  }
}

TEST_F(PopovTest, FirstOrderVerdictTexts) {
  const TPopovVerdict v = Verdict({{21, {1, -1}}, {10, {1, 2}}});
  EXPECT_EQ(PopovReportText(v),
            "Нелинейность: Вписывается в сектор [0,90°]\n"
            "Прямая Попова: Найдена -1/K=-1\n"
            "Вывод: Замкнутая система устойчива.\n");
}

TEST_F(PopovTest, ThirdOrderLagIsJudgedBySectorBound) {
  // K/(s+1)^3 crosses the negative real axis at -K/8: the Popov line through
  // -1 exists for K below 8.
  for (double k : {2.0, 4.0, 6.0}) {
    SetUp();
    const TPopovVerdict v = Verdict({{6, {k}}, {21, {1, -1}}, {10, {1, 1}}, {10, {1, 1}}, {10, {1, 1}}});
    EXPECT_TRUE(v.Sector.Fits);
    EXPECT_TRUE(v.Line.Found) << k;
    EXPECT_EQ(PopovConclusionText(v), "Замкнутая система устойчива.");
  }
  for (double k : {10.0, 20.0}) {
    SetUp();
    const TPopovVerdict v = Verdict({{6, {k}}, {21, {1, -1}}, {10, {1, 1}}, {10, {1, 1}}, {10, {1, 1}}});
    EXPECT_FALSE(v.Line.Found) << k;
    EXPECT_EQ(PopovLineText(v), "Провести невозможно.");
    EXPECT_EQ(PopovConclusionText(v), "Критерий не дает ответа об устойчивости.");
  }
}

TEST_F(PopovTest, SpreadOfExactlyPiStillGivesALine) {
  TPointList pts;
  pts.Append(1, 0, 0);   // angle 0 seen from -1
  pts.Append(-2, 0, 1);  // angle pi
  const TPopovLine line = FindPopovLine(pts, 1.0);
  EXPECT_TRUE(line.Found);
  EXPECT_NEAR(line.Angle, 0.0, 1e-12);
}

TEST_F(PopovTest, NotFittingNonlinearityMakesTheCriterionMisplaced) {
  TPopovVerdict v;
  EXPECT_EQ(PopovReportText(v),
            "Нелинейность: НЕ вписывается в сектор [0,90°]\n"
            "Прямая Попова: -\n"
            "Вывод: Критерий неуместен!\n");
  EXPECT_EQ(PopovPlotLabel(2.0), "-1/k=-0.5");
}

TEST_F(PopovTest, LinearContourHasNoNonlinearPart) {
  testing::BuildOpenChain(*F, {{10, {1, 1}}});
  ASSERT_TRUE(RunContourCommand(*F, 0, 1, true));
  FindNonlinearPart(*F, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, 16);
}

}  // namespace
}  // namespace vemo
