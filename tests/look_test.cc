// The decoration both windows draw: every part of it inside its picture, none over another.

#include "form/look.h"

#include <gtest/gtest.h>

namespace tjvx::form {
namespace {

TEST(Decoration, StaysInsideItsPicture) {
  const Decoration& plan = kDecoration;
  int bottom = plan.column_top;
  for (const DecorationLayer& layer : plan.layers) {
    EXPECT_GT(layer.height, 0);
    bottom += layer.height;
  }
  EXPECT_LE(bottom, plan.height);
  const int right = plan.column_left + plan.column_width;
  EXPECT_LE(right + plan.rig_base_right, plan.width);
  // The scale stands left of the column, the borehole inside it, the rig right of it and below
  // the picture's top.
  EXPECT_GE(plan.tick_left, 0);
  EXPECT_LT(plan.tick_left, plan.scale_x);
  EXPECT_LT(plan.scale_x, plan.tick_right);
  EXPECT_LT(plan.tick_right, plan.column_left);
  EXPECT_LT(2 * plan.borehole_half_width, plan.column_width);
  EXPECT_GT(plan.rig_base_left, 0);
  EXPECT_LT(plan.rig_base_left, plan.rig_apex);
  EXPECT_LT(plan.rig_apex, plan.rig_base_right);
  EXPECT_GE(plan.rig_apex_top, 0);
  EXPECT_LT(plan.rig_apex_top, bottom);
}

}  // namespace
}  // namespace tjvx::form
