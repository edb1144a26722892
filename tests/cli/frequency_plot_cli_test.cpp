// vemo-cli bode/nyquist --plot: the pictures of the Bode and hodograph
// windows written as PNG, the rectangle of the plane, and what is refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli_support.h"
#include "model/project_file.h"
#include "scheme_fixtures.h"

#ifdef VEMO_CLI_PLOT
#include <QColor>
#include <QImage>
#endif

namespace fs = std::filesystem;
using namespace vemo::clitest;

namespace {

class FrequencyPlotCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("vemo_freq_plot_cli_" + std::to_string(::getpid()));
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string Path(const char* name) const { return (Dir / name).string(); }
  fs::path Dir;
};

TEST_F(FrequencyPlotCliTest, BadPlanesAreUsageErrors) {
  const std::string png = Path("bad.png");
  for (const char* plane : {"-2,1,-2", "-2,1,-2,2,3", "1,-2,-2,2", "-2,1,2,-2", "a,1,-2,2", "-2;1;-2;2"}) {
    TRun r = Cli("nyquist " + Example("feedback_loop.vmo") + " --from B --to A --plot " + png +
                 " --plane '" + plane + "'");
    EXPECT_EQ(r.Status, 2) << plane;
  }
  EXPECT_FALSE(fs::exists(png));
  EXPECT_NE(Cli("bode --help").Out.find("--plot OUT.png"), std::string::npos);
  EXPECT_NE(Cli("nyquist --help").Out.find("--plane"), std::string::npos);
}

#ifdef VEMO_CLI_PLOT

int CountColour(const QImage& img, QColor c, QRect r = {}) {
  if (r.isNull()) r = img.rect();
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += img.pixelColor(x, y) == c;
  return n;
}

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kPurple(128, 0, 128);

// L in blue in the upper half, the phase in red in the lower; the text
// still goes to -o beside the picture.
TEST_F(FrequencyPlotCliTest, BodePictureHoldsBothPlots) {
  const std::string png = Path("bode.png"), txt = Path("bode.txt");
  const std::string loop = Example("feedback_loop.vmo") + " --from B --to A";
  TRun r = Cli("bode " + loop + " --plot " + png + " --size 600x500 -o " + txt);
  ASSERT_EQ(r.Status, 0);
  EXPECT_TRUE(r.Out.empty());
  QImage img(QString::fromStdString(png));
  ASSERT_EQ(img.size(), QSize(600, 500));
  EXPECT_GT(CountColour(img, kBlue, QRect(0, 0, 600, 250)), 400);
  EXPECT_EQ(CountColour(img, kBlue, QRect(0, 250, 600, 250)), 0);
  EXPECT_GT(CountColour(img, kRed, QRect(0, 250, 600, 250)), 400);
  EXPECT_EQ(Lines(ReadAll(txt)).size(), 200u);
  // A contour that cannot be analysed (a delay inside its loop) draws no picture.
  auto f = vemo::CreateField();
  vemo::testing::BuildFeedbackLoop(*f, 12, {0.5, 1.0});
  ASSERT_TRUE(vemo::SaveField(*f, Path("delay.vmo")));
  TRun bad = Cli("bode " + Path("delay.vmo") + " --plot " + Path("no.png"));
  EXPECT_EQ(bad.Status, 1);
  EXPECT_NE(bad.Out.find("Ошибка 38"), std::string::npos) << bad.Out;
  EXPECT_FALSE(fs::exists(Path("no.png")));
}

// The relay loop in the rectangle of --plane: the hodograph (blue), the
// relay's curve (red, a horizontal line below the axis); Popov's picture of
// the saturation loop holds the line through -1/K (purple).
TEST_F(FrequencyPlotCliTest, PlanePictures) {
  const std::string png = Path("relay.png");
  TRun r = Cli("nyquist " + Example("relay_loop.vmo") +
               " --from B --to A --dfc --plane -2,0.5,-1.5,0.5 --plot " + png + " --size 500x400");
  ASSERT_EQ(r.Status, 0);
  QImage img(QString::fromStdString(png));
  ASSERT_EQ(img.size(), QSize(500, 400));
  EXPECT_GT(CountColour(img, kBlue), 200);
  int longest = 0;  // the longest red run along one row
  for (int y = 0; y < img.height(); ++y) longest = std::max(longest, CountColour(img, kRed, QRect(0, y, 500, 1)));
  EXPECT_GT(longest, 200);

  const std::string popov = Path("popov.png");
  ASSERT_EQ(Cli("nyquist " + Example("saturation_loop.vmo") + " --from B --to A --popov --plot " + popov).Status, 0);
  EXPECT_GT(CountColour(QImage(QString::fromStdString(popov)), kPurple), 100);
}

#endif

}  // namespace
