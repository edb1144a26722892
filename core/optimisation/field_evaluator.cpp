#include "optimisation/field_evaluator.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "model/field.h"
#include "optimisation/progress.h"
#include "shell/program.h"
#include "simulation/engine.h"

namespace vemo {

void TOptMonitor::Report(double running, bool force) {
  if (!Display) return;
  const int64_t now = SteadyMilliseconds();
  if (!force && now - last_ < 20) return;
  last_ = now;
  Display(static_cast<double>(Finished) * ViewTime + running);
}

TSequentialEvaluator::TSequentialEvaluator(TField& field, std::vector<TOptParam> params,
                                           const TCriterionSetup& crit, TOptMonitor& monitor)
    : field_(field), params_(std::move(params)), spec_(crit), monitor_(monitor) {}

TEvalResult TSequentialEvaluator::Result(size_t i) {
  const std::vector<double>& point = points_.at(i);
  for (size_t k = 0; k < params_.size() && k < point.size(); ++k)
    if (params_[k].Value) *params_[k].Value = point[k];
  TCriterionControl control;
  control.Stop = &monitor_.Stop;
  control.Progress = [this](double t) { monitor_.Report(t); };
  TEvalResult r;
  r.J = Criterion(field_, spec_, control);
  r.Stopped = monitor_.Stop.load() != 0;
  ++monitor_.Finished;
  monitor_.Report(0.0);
  return r;
}

bool CanRunOnCopies(const TField& field) {
  for (const TBlock* b = field.RunList; b; b = b->RunNext) {
    switch (b->TypeCode) {
      case 54:  // plug-in block
      case 40:  // parameter control
        return false;
      default: break;
    }
  }
  return true;
}

unsigned DefaultWorkers() {
  const unsigned n = std::thread::hardware_concurrency();
  return n ? n : 1;
}

namespace {

// One worker: its copy of the field, where the optimised values live in
// that copy, and the model time of its run under way.
struct TWorker {
  std::unique_ptr<TField> Field;
  std::vector<double*> Slots;
  std::atomic<double> T{0.0};
  std::thread Thread;
};

// Worker 0 is the calling thread itself: while it waits for a result it
// takes the next point of the batch and runs it on its own copy (keeping the
// display going from inside that run), so that a batch of short runs does
// not wait for sleeping threads to wake up. The other workers have threads.
class TParallelEvaluator : public TEvaluator {
 public:
  TParallelEvaluator(const TCriterionSetup& crit, TOptMonitor& monitor)
      : spec_(crit), monitor_(monitor) {}
  ~TParallelEvaluator() override;

  // Makes and prepares one copy per worker; false when a copy cannot run.
  bool AddWorkers(TField& field, const std::vector<TOptParam>& params, unsigned count);
  void Start();

  void Submit(std::vector<std::vector<double>> points) override;
  TEvalResult Result(size_t i) override;

 private:
  void Work(TWorker& w);
  // Takes the next point and runs it on w's copy; the lock is released
  // during the run.
  void RunNext(TWorker& w, const TCriterionControl& control, std::unique_lock<std::mutex>& lock);
  // Model time of the runs under way.
  double Running() const;
  // Gives up what is left of the batch and waits for the runs under way.
  void DropBatch(std::unique_lock<std::mutex>& lock);

  TCriterionSetup spec_;
  TOptMonitor& monitor_;
  std::vector<std::unique_ptr<TWorker>> workers_;
  std::mutex m_;
  std::condition_variable work_, done_;
  std::vector<std::vector<double>> points_;
  std::vector<TEvalResult> results_;
  std::vector<uint8_t> ready_;
  size_t next_ = 0;     // the next point to take
  size_t busy_ = 0;     // runs under way
  long finished_ = 0;   // runs ended
  bool quit_ = false;
  std::atomic<uint8_t> abandon_{0};
  // Mean length of the calling thread's runs, microseconds: runs shorter
  // than a thread takes to wake up are not handed to the other workers.
  double meanRun_ = 1e9;
};

// Runs shorter than this stay on the calling thread (a sleeping thread
// takes tens of microseconds to wake, more on a busy machine).
constexpr double kShortRunMicroseconds = 200.0;

bool TParallelEvaluator::AddWorkers(TField& field, const std::vector<TOptParam>& params,
                                    unsigned count) {
  // The copies compile as the field did; the questions the compile asks were
  // answered for the field already, so the copies ask nobody.
  TScriptedDialogs quiet;
  TUserDialogs* dialogs = Prog.Dialogs;
  const TErrorState err = Prog.Err;
  const TWiringState wiring = Prog.Wiring;
  const TRunClock clock = Prog.Clock;
  Prog.Dialogs = &quiet;
  bool ok = true;
  for (unsigned k = 0; k < count && ok; ++k) {
    auto w = std::make_unique<TWorker>();
    w->Field = Clone(field);
    w->Field->Step = field.Step;
    w->Field->AutoStep = 0;
    PrepareRun(*w->Field);
    ok = Prog.Err.ErrorCode == 0;
    for (const TOptParam& p : params) {
      if (!ok) break;
      TCellObject* obj = p.Cell >= 0 && p.Cell < kGridSize * kGridSize
                             ? w->Field->Cell(p.Cell / kGridSize, p.Cell % kGridSize)
                             : nullptr;
      double* slot = obj ? OptSlotAddress(*obj, p.Slot) : nullptr;
      ok = slot != nullptr;
      w->Slots.push_back(slot);
    }
    workers_.push_back(std::move(w));
  }
  Prog.Dialogs = dialogs;
  Prog.Err = err;
  Prog.Wiring = wiring;
  Prog.Clock = clock;
  return ok;
}

void TParallelEvaluator::Start() {
  for (size_t k = 1; k < workers_.size(); ++k) {
    TWorker* worker = workers_[k].get();
    worker->Thread = std::thread([this, worker] { Work(*worker); });
  }
}

TParallelEvaluator::~TParallelEvaluator() {
  {
    std::unique_lock<std::mutex> lock(m_);
    DropBatch(lock);
    quit_ = true;
  }
  work_.notify_all();
  for (auto& w : workers_)
    if (w->Thread.joinable()) w->Thread.join();
  for (auto& w : workers_)
    if (w->Field) ReleaseMacroBodies(*w->Field);
}

double TParallelEvaluator::Running() const {
  double t = 0.0;
  for (const auto& w : workers_) t += w->T.load(std::memory_order_relaxed);
  return t;
}

void TParallelEvaluator::RunNext(TWorker& w, const TCriterionControl& control,
                                 std::unique_lock<std::mutex>& lock) {
  const size_t i = next_++;
  ++busy_;
  for (size_t k = 0; k < w.Slots.size() && k < points_[i].size(); ++k) *w.Slots[k] = points_[i][k];
  lock.unlock();
  TEvalResult r{kDivergedCriterion, true};
  if (!monitor_.Stop.load()) {  // after a cancel no new run starts
    try {
      r.J = Criterion(*w.Field, spec_, control);
    } catch (...) {  // out of memory in a block's run buffers: a bad point
      r.J = kDivergedCriterion;
    }
    r.Stopped = monitor_.Stop.load() != 0;
  }
  w.T.store(0.0, std::memory_order_relaxed);
  lock.lock();
  results_[i] = r;
  ready_[i] = 1;
  --busy_;
  ++finished_;
  done_.notify_all();
}

void TParallelEvaluator::Work(TWorker& w) {
  TCriterionControl control;
  control.Stop = &monitor_.Stop;
  control.Abandon = &abandon_;
  control.Progress = [&w](double t) { w.T.store(t, std::memory_order_relaxed); };
  std::unique_lock<std::mutex> lock(m_);
  for (;;) {
    work_.wait(lock, [this] { return quit_ || next_ < points_.size(); });
    if (quit_) return;
    RunNext(w, control, lock);
  }
}

void TParallelEvaluator::DropBatch(std::unique_lock<std::mutex>& lock) {
  next_ = points_.size();
  if (busy_ == 0) return;
  abandon_ = 1;
  done_.wait(lock, [this] { return busy_ == 0; });
  abandon_ = 0;
}

void TParallelEvaluator::Submit(std::vector<std::vector<double>> points) {
  size_t count = 0;
  {
    std::unique_lock<std::mutex> lock(m_);
    DropBatch(lock);
    points_ = std::move(points);
    count = points_.size();
    results_.assign(count, TEvalResult{});
    ready_.assign(count, 0);
    next_ = 0;
  }
  // The calling thread takes the first point itself.
  if (count > 1 && meanRun_ >= kShortRunMicroseconds) work_.notify_all();
}

TEvalResult TParallelEvaluator::Result(size_t i) {
  TWorker& own = *workers_[0];
  TCriterionControl control;
  control.Stop = &monitor_.Stop;
  control.Progress = [this, &own](double t) {
    own.T.store(t, std::memory_order_relaxed);
    monitor_.Report(Running());
  };
  std::unique_lock<std::mutex> lock(m_);
  if (i >= ready_.size()) return TEvalResult{kDivergedCriterion, monitor_.Stop.load() != 0};
  for (;;) {
    monitor_.Finished = finished_;
    if (ready_[i]) {
      const TEvalResult r = results_[i];
      lock.unlock();
      monitor_.Report(Running());
      return r;
    }
    if (next_ < points_.size()) {
      const auto t0 = std::chrono::steady_clock::now();
      RunNext(own, control, lock);
      const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
      meanRun_ = meanRun_ > 1e8 ? us : 0.8 * meanRun_ + 0.2 * us;
      continue;
    }
    done_.wait_for(lock, std::chrono::milliseconds(20));
    if (!ready_[i]) {
      monitor_.Finished = finished_;
      lock.unlock();
      monitor_.Report(Running());
      lock.lock();
    }
  }
}

}  // namespace

std::unique_ptr<TEvaluator> MakeFieldEvaluator(TField& field, const std::vector<TOptParam>& params,
                                               const TCriterionSetup& crit, TOptMonitor& monitor,
                                               unsigned workers, bool* parallel) {
  if (parallel) *parallel = false;
  if (workers > 1 && CanRunOnCopies(field)) {
    // A copy for the calling thread and one for each further worker.
    auto p = std::make_unique<TParallelEvaluator>(crit, monitor);
    if (p->AddWorkers(field, params, workers)) {
      p->Start();
      if (parallel) *parallel = true;
      return p;
    }
  }
  return std::make_unique<TSequentialEvaluator>(field, params, crit, monitor);
}

}  // namespace vemo
