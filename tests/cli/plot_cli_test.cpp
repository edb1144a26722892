// vemo-cli simulate/phase --plot: the pictures of the time-domain windows
// written as PNG without a display.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli_support.h"

#ifdef VEMO_CLI_PLOT
#include <QColor>
#include <QImage>
#endif

namespace fs = std::filesystem;
using namespace vemo::clitest;

namespace {

class PlotCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("vemo_plot_cli_" + std::to_string(::getpid()));
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string Path(const char* name) const { return (Dir / name).string(); }
  fs::path Dir;
};

TEST_F(PlotCliTest, BadSizesAreUsageErrors) {
  const std::string png = Path("bad.png");
  for (const char* size : {"800", "10x300", "300x9000", "axb", "300x200x", "-300x200"}) {
    TRun r = Cli("simulate " + Example("first_order_lag.vmo") + " --plot " + png +
                 " --size " + size);
    EXPECT_EQ(r.Status, 2) << size;
  }
  EXPECT_FALSE(fs::exists(png));
  EXPECT_NE(Cli("simulate --help").Out.find("--plot OUT.png"), std::string::npos);
  EXPECT_NE(Cli("phase --help").Out.find("--size WxH"), std::string::npos);
}

#ifdef VEMO_CLI_PLOT

// Rows of column x holding a pixel of colour c.
std::vector<int> RowsOf(const QImage& img, int x, QColor c) {
  std::vector<int> rows;
  for (int y = 0; y < img.height(); ++y)
    if (img.pixelColor(x, y) == c) rows.push_back(y);
  return rows;
}

int CountColour(const QImage& img, QColor c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == c;
  return n;
}

TEST_F(PlotCliTest, TransientPictureShowsBothCurvesOnTheGrid) {
  const std::string png = Path("osc.png");
  TRun r = Cli("simulate " + Example("oscillatory_step.vmo") + " --plot " + png +
               " --size 640x400");
  ASSERT_EQ(r.Status, 0);
  EXPECT_TRUE(r.Out.empty());  // the picture replaces the text
  EXPECT_FALSE(fs::exists(png + ".part"));
  QImage img(QString::fromStdString(png));
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), QSize(640, 400));

  const QColor red(255, 0, 0), black(0, 0, 0), green(0, 128, 0), grey(192, 192, 192);
  EXPECT_GT(CountColour(img, grey), 500);   // grid lines
  EXPECT_GT(CountColour(img, green), 200);  // both axes
  // B is the unit step (red): a horizontal line at one height across the
  // right part of the plot; A (black) overshoots above it and settles on it.
  const int x = 560;
  const std::vector<int> stepRows = RowsOf(img, x, red);
  ASSERT_EQ(stepRows.size(), 1u);
  const int one = stepRows[0];
  for (int xx = 200; xx < 600; xx += 50) EXPECT_EQ(RowsOf(img, xx, red), stepRows) << xx;
  int top = img.height();
  for (int xx = 100; xx < img.width(); ++xx)
    for (int y : RowsOf(img, xx, black))
      if (y < one - 2 && y > 8) top = std::min(top, y);
  EXPECT_LT(top, one - 40);  // overshoot by about half of the step
  for (int y : RowsOf(img, 600, black)) EXPECT_LE(std::abs(y - one), 3);
  // The zero axis lies below the step line.
  const std::vector<int> axis = RowsOf(img, x, green);
  ASSERT_FALSE(axis.empty());
  EXPECT_GT(axis.front(), one + 40);
}

TEST_F(PlotCliTest, TextAndPictureTogether) {
  const std::string png = Path("lag.png"), txt = Path("lag.txt");
  TRun r = Cli("simulate " + Example("first_order_lag.vmo") + " --time 1 -o " + txt +
               " --plot " + png);
  ASSERT_EQ(r.Status, 0);
  EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(800, 560));
  EXPECT_EQ(Lines(ReadAll(txt)).size(), Lines(Cli("simulate " + Example("first_order_lag.vmo") +
                                                  " --time 1").Out).size());
}

TEST_F(PlotCliTest, PhasePictureIsAClosedCurve) {
  const std::string png = Path("phase.png");
  TRun r = Cli("phase " + Example("oscillatory_step.vmo") + " --x A --y dx/dt --plot " + png +
               " --size 400x400");
  ASSERT_EQ(r.Status, 0);
  QImage img(QString::fromStdString(png));
  ASSERT_EQ(img.size(), QSize(400, 400));
  const QColor blue(0, 0, 255);
  EXPECT_GT(CountColour(img, blue), 300);
  // The spiral winds around the settled point (1, 0): blue both above and
  // below the abscissa axis.
  const std::vector<int> axis = RowsOf(img, 300, QColor(0, 128, 0));
  ASSERT_FALSE(axis.empty());
  int above = 0, below = 0;
  for (int x = 0; x < 400; ++x)
    for (int y : RowsOf(img, x, blue)) (y < axis.front() ? above : below)++;
  EXPECT_GT(above, 50);
  EXPECT_GT(below, 50);
}

// The libraries the dynamic loader opens for vemo-cli ARGS (its trace).
std::string LoadedLibraries(const std::string& args) {
  return Shell("LD_DEBUG=files " + std::string(VEMO_CLI_PATH) + " " + args + " 2>&1 >/dev/null").Out;
}

TEST_F(PlotCliTest, OnlyPicturesLoadQt) {
  const std::string lag = Example("first_order_lag.vmo");
  for (const std::string& args : {"check " + lag, "simulate " + lag + " --time 1", "info " + lag}) {
    const std::string libs = LoadedLibraries(args);
    EXPECT_NE(libs.find("libstdc++"), std::string::npos) << args;  // the trace works
    EXPECT_EQ(libs.find("libQt6"), std::string::npos) << args;
  }
  EXPECT_NE(LoadedLibraries("simulate " + lag + " --time 1 --plot " + Path("q.png")).find("libQt6Gui"),
            std::string::npos);
}

TEST_F(PlotCliTest, MissingPlotLibraryIsAnErrorForPicturesOnly) {
  // A copy of the program without its plot library beside it.
  const std::string program = (Dir / "vemo-cli").string();
  fs::copy_file(VEMO_CLI_PATH, program);
  const std::string lag = Example("first_order_lag.vmo");
  const std::string png = Path("none.png");
  const TRun r = Shell(program + " simulate " + lag + " --plot " + png + " 2>&1");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Out.find("vemo-cli-plot.so"), std::string::npos) << r.Out;
  EXPECT_FALSE(fs::exists(png));
  EXPECT_EQ(Shell(program + " check " + lag).Out, "OK\n");
}

TEST_F(PlotCliTest, UnwritablePlotFails) {
  TRun r = Cli("simulate " + Example("first_order_lag.vmo") + " --plot " +
               (Dir / "missing" / "x.png").string());
  EXPECT_EQ(r.Status, 1);
}

#endif

}  // namespace
