// vemo-cli print: the scheme on a one-page PDF, placed across the printable
// width in its own proportions; read back with pdftoppm.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli_support.h"

#ifdef VEMO_CLI_PLOT
#include "pdf_raster.h"
#endif

namespace fs = std::filesystem;
using namespace vemo::clitest;

namespace {

class PrintCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("vemo_print_cli_" + std::to_string(::getpid()));
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string Path(const char* name) const { return (Dir / name).string(); }
  fs::path Dir;
};

TEST_F(PrintCliTest, BadUsage) {
  const std::string pdf = Path("x.pdf");
  const std::string file = Example("feedback_loop.vmo");
  EXPECT_EQ(Cli("print " + file).Status, 2);
  EXPECT_EQ(Cli("print -o " + pdf).Status, 2);
  EXPECT_EQ(Cli("print " + file + " -o " + pdf + " --range some").Status, 2);
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_NE(Cli("print --help").Out.find("--range visible|all"), std::string::npos);
}

#ifdef VEMO_CLI_PLOT

constexpr double kMargin = 10 / 25.4 * 96;   // page pixels at 96 dpi
constexpr double kWidth = 190 / 25.4 * 96;   // the printable width

bool Coloured(const QImage& img) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      if (std::abs(c.red() - c.blue()) > 60 || std::abs(c.green() - c.blue()) > 60) return true;
    }
  return false;
}

TEST_F(PrintCliTest, SchemeFillsThePrintableWidthInItsProportions) {
  const std::string pdf = Path("loop.pdf");
  ASSERT_EQ(Cli("print " + Example("feedback_loop.vmo") + " -o " + pdf).Status, 0);
  EXPECT_EQ(ReadAll(pdf).substr(0, 5), "%PDF-");
  const QImage page = vemo::testing::RasterisePdf(QString::fromStdString(pdf), 96);
  ASSERT_FALSE(page.isNull());
  EXPECT_LT(page.width(), page.height());
  // The feedback loop's occupied cells, columns 2..12 and rows 2..4: its
  // outer block and wire reach close to both ends.
  const QRect ink = vemo::testing::InkBox(page);
  EXPECT_GE(ink.left(), kMargin - 1);
  EXPECT_LE(ink.right(), kMargin + kWidth + 1);
  EXPECT_GT(ink.width(), 0.85 * kWidth);
  EXPECT_LT(ink.height(), 0.5 * ink.width());
  EXPECT_TRUE(Coloured(page));
}

TEST_F(PrintCliTest, MonoVisibleAndLandscape) {
  const std::string mono = Path("mono.pdf"), wide = Path("wide.pdf"), visible = Path("vis.pdf");
  const std::string file = Example("feedback_loop.vmo");
  ASSERT_EQ(Cli("print " + file + " -o " + mono + " --mono").Status, 0);
  EXPECT_FALSE(Coloured(vemo::testing::RasterisePdf(QString::fromStdString(mono), 72)));
  ASSERT_EQ(Cli("print " + file + " -o " + wide + " --landscape").Status, 0);
  const QImage turned = vemo::testing::RasterisePdf(QString::fromStdString(wide), 48);
  EXPECT_GT(turned.width(), turned.height());
  // The visible part starts at cell (0, 0): 21 columns drawn over the width,
  // the loop in columns 2..12 of them.
  ASSERT_EQ(Cli("print " + file + " -o " + visible + " --range visible").Status, 0);
  const QRect ink =
      vemo::testing::InkBox(vemo::testing::RasterisePdf(QString::fromStdString(visible), 96));
  EXPECT_GT(ink.left(), kMargin + kWidth * 2 / 21 - 2);
  EXPECT_LT(ink.right(), kMargin + kWidth * 13 / 21 + 2);
}

TEST_F(PrintCliTest, FailuresLeaveNoFile) {
  const std::string pdf = Path("missing/x.pdf");
  EXPECT_EQ(Cli("print " + Example("feedback_loop.vmo") + " -o " + pdf).Status, 1);
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_EQ(Cli("print " + Path("none.vmo") + " -o " + Path("y.pdf")).Status, 1);
  EXPECT_FALSE(fs::exists(Path("y.pdf")));
}

#endif

}  // namespace
