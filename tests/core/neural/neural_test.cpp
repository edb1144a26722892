// The neural network: layer edits and their weight initialisation, the
// forward pass, the block in a run, its project data, the network file, and
// training through the optimiser.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/model/test_support.h"
#include "model/scheme_builder.h"
#include "neural/net_file.h"
#include "neural/neural_block.h"
#include "neural/neural_training.h"
#include "optimisation/opt_params.h"
#include "shell/settings.h"
#include "simulation/engine.h"

namespace vemo {
namespace {

using testing::ProgramTest;

double NetOutput(TNeuroNet& net, double a, double b, double c) {
  StartRun(net);
  net.InputValues = {a, b, c};
  double y = -7.0;
  Forward(net, &y);
  EndRun(net);
  return y;
}

TEST(NeuroNet, ActivationFunctions) {
  EXPECT_DOUBLE_EQ(Activation(0, 3.0), 0.75);
  EXPECT_DOUBLE_EQ(Activation(0, -1.0), -0.5);
  EXPECT_DOUBLE_EQ(Activation(1, 1.0), 0.75);
  EXPECT_DOUBLE_EQ(Activation(1, -3.0), 0.125);
  EXPECT_EQ(Activation(2, 0.0), -1.0);
  EXPECT_EQ(Activation(2, 1e-300), 1.0);
  EXPECT_EQ(Activation(3, 0.0), 0.0);
  EXPECT_EQ(Activation(3, 2.0), 1.0);
  EXPECT_EQ(Activation(4, -2.5), -2.5);
}

TEST(NeuroNet, ForwardPassByHand) {
  TNeuralBlock block;
  // All inputs 0: hidden sums 1 (bias 1) and 0 (the layer's last weight),
  // outputs 0.5 and 0; the output neuron 1·0.5 + 1·0 + 0.
  EXPECT_DOUBLE_EQ(NetOutput(block.Net, 0, 0, 0), 0.5);
  // Inputs 1, 2, -4: sums 0 and -1 -> 0 and -0.5 -> -0.5.
  EXPECT_DOUBLE_EQ(NetOutput(block.Net, 1, 2, -4), -0.5);
  // Weights in storage order: neuron j's inputs, then its bias.
  TNeuroNet net;
  AddLayer(net, 1, 4);
  net.Layers[0].Weights = {2, -3, 0.5, 10};
  EXPECT_DOUBLE_EQ(NetOutput(net, 1, 1, 2), 2 - 3 + 1 + 10);
  ClearNet(net);
  EXPECT_EQ(NetOutput(net, 1, 1, 1), -7.0);  // no layers: the output stays as it was
}

TEST(NeuroNet, ResizingReinitialisesTheLayerAndTheNextOnly) {
  TNeuroNet net;
  AddLayer(net, 2, 0);
  AddLayer(net, 3, 1);
  AddLayer(net, 1, 4);
  for (auto& l : net.Layers) std::fill(l.Weights.begin(), l.Weights.end(), 7.0);
  SetLayerSize(net, 1, 4);
  EXPECT_EQ(net.Layers[0].Weights, std::vector<double>(8, 7.0));
  std::vector<double> fresh(12, 1.0);  // (2 + 1) × 4, the last one 0
  fresh.back() = 0.0;
  EXPECT_EQ(net.Layers[1].Weights, fresh);
  EXPECT_EQ(net.Layers[2].Weights, (std::vector<double>{1, 1, 1, 1, 0}));
  EXPECT_EQ(net.Layers[2].NeuronCount, 1u);
  for (auto& l : net.Layers) std::fill(l.Weights.begin(), l.Weights.end(), 7.0);
  SetLayerSize(net, 1, 4);  // the same count: nothing changes
  EXPECT_EQ(net.Layers[1].Weights, std::vector<double>(12, 7.0));
  // Deleting the first layer: the next one now reads the 3 inputs.
  DeleteLayer(net, 0);
  ASSERT_EQ(net.Layers.size(), 2u);
  EXPECT_EQ(net.Layers[0].Weights.size(), 16u);
  EXPECT_EQ(net.Layers[0].Weights.back(), 0.0);
  EXPECT_EQ(net.Layers[1].Weights, std::vector<double>(5, 7.0));
}

class NeuralBlockTest : public ProgramTest {
 protected:
  std::unique_ptr<TField> F = CreateField();
  TSchemeBuilder B{*F};
};

TEST_F(NeuralBlockTest, RunsInASchemeAndChecksItsOutputSide) {
  B.Block(2, 2, 0, {3.0});
  B.Block(4, 2, 102);
  B.Line({{2, 2}, {4, 2}});
  B.Line({{4, 2}, {6, 2}});
  B.Point(0, 5, 2);
  PrepareRun(*F);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  SimInit(*F);
  SimStepAll(*F);
  // Left input 3: sums 3 + 1 and 3 -> 0.8 and 0.75 -> 1.55.
  EXPECT_DOUBLE_EQ(F->Points[0].Source->Output, 1.55);
  SimDone(*F);
  EXPECT_TRUE(static_cast<TNeuralBlock*>(F->Cell(4, 2))->Net.Layers[0].Outputs.empty());

  auto g = CreateField();
  TSchemeBuilder b(*g);
  b.Block(4, 2, 102);
  b.Line({{4, 2}, {4, 5}});
  PrepareRun(*g);
  EXPECT_EQ(Prog.Err.ErrorCode, 40);
  EXPECT_EQ(Prog.Err.ErrorCol, 4);
}

TEST_F(NeuralBlockTest, ProjectDataCarriesTheNetwork) {
  auto* n = static_cast<TNeuralBlock*>(B.Block(4, 2, 102));
  SetLayerSize(n->Net, 0, 3);
  n->Net.Layers[0].Function = 2;
  n->Net.Layers[0].Weights[5] = -1.25e-7;
  auto copy = CloneObject(*n);
  auto* m = dynamic_cast<TNeuralBlock*>(copy.get());
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->Net.Layers.size(), 2u);
  EXPECT_EQ(m->Net.Layers[0].Function, 2);
  EXPECT_EQ(m->Net.Layers[0].Weights, n->Net.Layers[0].Weights);
  EXPECT_EQ(m->Net.Layers[1].Weights, n->Net.Layers[1].Weights);
}

TEST(NetFile, WrittenAndReadBackIsByteIdentical) {
  TNeuroNet net;
  AddLayer(net, 2, 0);
  AddLayer(net, 3, 3);
  AddLayer(net, 1, 4);
  double v = 0.1;
  for (auto& l : net.Layers)
    for (double& w : l.Weights) w = (v *= -1.7);
  const std::string text = NetFileText(net);
  EXPECT_EQ(text.substr(0, 64),
            "Vemo Neuro Netware File\r\nLayer Count:3\r\nLayers:\r\nLayer 0\r\n  Func");
  EXPECT_NE(text.find("  Neuron Count:3\r\n  Weights:\r\n    -"), std::string::npos);
  TNeuroNet back;
  ASSERT_TRUE(ParseNetFile(text, back));
  EXPECT_EQ(NetFileText(back), text);
  for (size_t i = 0; i < 3; ++i)
    for (size_t k = 0; k < net.Layers[i].Weights.size(); ++k)
      EXPECT_NEAR(back.Layers[i].Weights[k] / net.Layers[i].Weights[k], 1.0, 1e-14);

  TNeuroNet fresh;
  AddLayer(fresh, 1, 4);
  EXPECT_EQ(NetFileText(fresh),
            "Vemo Neuro Netware File\r\nLayer Count:1\r\nLayers:\r\nLayer 0\r\n  Function:4\r\n"
            "  Neuron Count:1\r\n  Weights:\r\n     1.00000000000000E+0000\r\n"
            "     1.00000000000000E+0000\r\n     1.00000000000000E+0000\r\n"
            "     0.00000000000000E+0000\r\n");
}

TEST(NetFile, DamagedFilesLeaveAnEmptyNet) {
  TNeuroNet net;
  AddLayer(net, 2, 0);
  AddLayer(net, 1, 4);
  const std::string good = NetFileText(net);
  auto fails = [](const std::string& text) {
    TNeuroNet n;
    AddLayer(n, 1, 0);
    const bool ok = ParseNetFile(text, n);
    return !ok && n.Layers.empty();
  };
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = good;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  EXPECT_TRUE(fails(replaced("Netware", "NetWare")));  // any character of the header
  EXPECT_TRUE(fails(replaced("Layer Count:2", "Layer count:2")));
  EXPECT_TRUE(fails(replaced("Layer Count:2", "Layer Count:3")));  // lines missing
  EXPECT_TRUE(fails(replaced("Layer Count:2", "Layer Count:99999999999")));
  EXPECT_TRUE(fails(replaced("Function:0", "Function:5")));
  EXPECT_TRUE(fails(replaced("Neuron Count:2", "Neuron Count:0")));
  EXPECT_TRUE(fails(replaced("Neuron Count:2", "Neuron Count:1001")));
  EXPECT_TRUE(fails(replaced("Neuron Count:2", "Neuron Count:x")));
  EXPECT_TRUE(fails(replaced("     1.00000000000000E+0000", "   1.00000000000000E+0000")));
  EXPECT_TRUE(fails(replaced(" 1.00000000000000E+0000", " 1.0000000000000OE+0000")));
  // Cut anywhere before the last weight (a cut inside it may still read).
  for (size_t cut = 0; cut < good.size() - 29; cut += 3) EXPECT_TRUE(fails(good.substr(0, cut))) << cut;
  // Unix line ends read as well; the heading lines are not checked.
  std::string lf;
  for (char ch : replaced("Layer 1", "Слой 1"))
    if (ch != '\r') lf += ch;
  TNeuroNet n;
  EXPECT_TRUE(ParseNetFile(lf, n));
  EXPECT_EQ(NetFileText(n), good);
  EXPECT_FALSE(LoadNetFile(n, "/nonexistent/net.txt"));
  EXPECT_TRUE(n.Layers.empty());
}

// A saw from -2 to 2 over two seconds drives the network (left input) and an
// arctangent block, whose output is the reference (point A); the network's
// output is point B. The default network (two soft-sign neurons and a linear
// one) learns the arctangent over [-2, 2] to within 0.04 (0.025 measured).
class TrainingTest : public NeuralBlockTest {};

TEST_F(TrainingTest, TrainedNetworkReproducesAnArctangent) {
  B.Block(2, 2, 29, {2.0, 2.0, 0.0});
  auto* n = static_cast<TNeuralBlock*>(B.Block(8, 2, 102));
  B.Block(4, 5, 48);
  B.Line({{2, 2}, {8, 2}});
  B.Line({{8, 2}, {10, 2}});
  B.Line({{4, 2}, {4, 5}});
  B.Line({{4, 5}, {6, 5}});
  B.Point(0, 5, 5);
  B.Point(1, 9, 2);
  F->AutoStep = 0;
  F->Step = 0.01;
  PrepareRun(*F);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);

  TSettings s;
  s.OptMethod = 1;
  s.OptCritery = 0;
  s.SpeedDownSingleIters = 12;  // lines refined to 5/2^11 of a weight
  TTrainRequest r;
  r.ReferencePoint = 0;
  r.OutputPoint = 1;
  r.Time = 2.0;
  r.Workers = 2;
  TOptProgress progress;
  TOptOutcome out;
  ASSERT_TRUE(TrainNetwork(*F, *n, s, r, progress, out));
  EXPECT_EQ(OptState().OptParamCount, 11);
  EXPECT_EQ(OptState().TargetMode, 0);
  double worst = 0.0;
  for (double x = -2.0; x <= 2.0; x += 0.01)
    worst = std::max(worst, std::fabs(NetOutput(n->Net, 0, x, 0) - std::atan(x)));
  RecordProperty("max_error", std::to_string(worst));
  RecordProperty("runs", std::to_string(out.Runs));
  std::printf("training: %ld runs, largest error %.4f\n", out.Runs, worst);
  EXPECT_LT(worst, 0.04);
}

}  // namespace
}  // namespace vemo
