// The field as a whole: a new field, its duplicate, clearing and deleting.
#include <gtest/gtest.h>

#include "core/model/test_support.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "model/wire.h"

namespace vemo {
namespace {

using testing::BlockAt;
using FieldTest = testing::ProgramTest;

TEST_F(FieldTest, CloneDuplicatesTheSchemeAndResetsAutoStep) {
  auto src = CreateField();
  TSchemeBuilder b(*src);
  auto* lag = static_cast<TParamBlock*>(b.Block(4, 2, 10, {2.5, 3.0, 0.5})->AsBlock());
  b.Block(2, 2, 0, {7.0});
  b.Line({{2, 2}, {4, 2}});
  b.Point(3, 3, 2);
  src->Points[3].Color = 0x123456;
  src->Points[3].Low = -4;
  src->AutoStep = 0;
  src->Step = 0.125;
  src->Modified = 1;
  TField other;
  src->Owner = &other;

  auto copy = Clone(*src);
  EXPECT_EQ(copy->AutoStep, 1);
  EXPECT_EQ(copy->Modified, 0);
  EXPECT_EQ(copy->Step, 0.125);
  EXPECT_EQ(copy->Owner, &other);
  EXPECT_EQ(copy->RunList, nullptr);
  EXPECT_EQ(copy->Points[3].Placed, 1);
  EXPECT_EQ(copy->Points[3].Color, 0x123456u);
  EXPECT_EQ(copy->Points[3].Low, -4.0);

  auto* lagCopy = dynamic_cast<TParamBlock*>(BlockAt(*copy, 4, 2));
  ASSERT_NE(lagCopy, nullptr);
  EXPECT_NE(lagCopy, lag);
  EXPECT_EQ(lagCopy->TypeCode, 10);
  EXPECT_EQ(lagCopy->Params[0], 2.5);
  EXPECT_EQ(lagCopy->Params[1], 3.0);
  EXPECT_EQ(lagCopy->Params[2], 0.5);
  auto* wire = dynamic_cast<TWire*>(copy->Cell(3, 2));
  ASSERT_NE(wire, nullptr);
  EXPECT_EQ(wire->LineSides, (1 << Left) | (1 << Right));
  EXPECT_EQ(wire->OutSides, 1 << Right);
  // Same cells, same records: the file images agree byte for byte.
  src->Owner = src.get();
  EXPECT_EQ(FieldImage(*copy, 10.0), FieldImage(*src, 10.0));
}

TEST_F(FieldTest, ClearEmptiesCellsAndZeroesEveryPoint) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(1, 1, 10);
  b.Line({{1, 1}, {5, 1}});
  for (int k = 0; k < kPointCount; ++k) b.Point(k, k, 3);
  Clear(*f);
  for (int c = 0; c < 6; ++c) EXPECT_EQ(f->Cell(c, 1), nullptr);
  for (const TViewPoint& p : f->Points) {
    EXPECT_EQ(p.Placed, 0);
    EXPECT_EQ(p.Shown, 0);
    EXPECT_EQ(p.Color, 0u);
    EXPECT_EQ(p.Low, 0.0);
    EXPECT_EQ(p.High, 0.0);
    EXPECT_EQ(p.Col, 0);
    EXPECT_EQ(p.Source, nullptr);
  }
}

}  // namespace
}  // namespace vemo
