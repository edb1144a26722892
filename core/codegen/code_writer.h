// The code writer: one object per program generation. Blocks emit their
// statements through its operations; each target language derives its own
// writer and gives the operations their text.
//
// A generation walks the contour three times. Pass 1 writes the file
// header and the declarations, pass 2 the initialisation routine, pass 3
// the controller routine; every block makes the same calls in every pass
// and the writer keeps only what belongs to the current one.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace vemo {

class TBlock;

// Relations of If, written as in Pascal.
enum class TRelation : uint8_t { Less, LessEqual, Equal, NotEqual, GreaterEqual, Greater };
const char* RelationText(TRelation r);  // "<", "<=", "=", "<>", ">=", ">"
TRelation Negated(TRelation r);

// An operand after FormatOperand: a variable of the target (its text is the
// target's form of the name) or a number.
struct TOperand {
  bool Literal = false;
  std::string Text;    // target form of a variable, or the number's text
  double Value = 0.0;  // the number (literals only)
};

class TCodeWriter {
 public:
  // The file is written when the writer is closed (or destroyed): the whole
  // text in CP866 with CR LF line ends, replacing the file only once every
  // byte is written, so a failed generation never leaves a torn file.
  TCodeWriter(std::string fileName, double step);
  virtual ~TCodeWriter();
  TCodeWriter(const TCodeWriter&) = delete;
  TCodeWriter& operator=(const TCodeWriter&) = delete;

  // --- The operations, in the order of the writer's table. ---
  // 1. Destroy: writes and closes the file; false when it cannot be written.
  bool Close();
  // 2, 3. Switch passes; the variable counter restarts.
  void StartPass2();
  void StartPass3();
  // 4. The operand texts blocks use: "" the block's own variable, letters
  // ("Old") the block's variable followed by them, "%1".."%9" the names of
  // the block's inputs, "Z1".. temporaries, and numbers (a text starting
  // with a blank, "$", "-" or a digit) copied as they are.
  TOperand FormatOperand(const std::string& text) const;
  // 5, 6. Opening and closing text of the current pass.
  void BeginPass();
  void EndPass();
  // 7. The block's own variable: its code name followed by its number.
  // Pass 1 declares it (with the block's name as comment), pass 2 gives it
  // the value the block has when a run starts, pass 3 writes the comment
  // line that opens the block's statements. Returns the name.
  std::string NewStateVar(TBlock& block, double startValue);
  // 8. The largest number of temporaries any block asked for.
  void ReserveTemps(int n);
  // 9. A further variable of the block (its name + suffix): declared in
  // pass 1, set to value in pass 2.
  void NewVarWithValue(const std::string& suffix, const std::string& value);
  // 10. An array of the block (its name + suffix), length elements, 0 at
  // the start of a run.
  void NewArray(const std::string& suffix, int length);
  // 11, 12. A constant array with its values.
  void NewConstArray(const std::string& suffix, const std::vector<std::string>& values);
  // 13. array[index + Count] := value (inside a loop).
  void StoreToArray(const std::string& array, int index, const std::string& value);
  // 14. array[index] := value, at a fixed place (outside loops).
  void StoreToArrayAt(const std::string& array, int index, const std::string& value);
  // 15. dest := array[index + Count]; LoadFromArrayAt reads a fixed place.
  void LoadFromArray(const std::string& dest, const std::string& array, int index);
  void LoadFromArrayAt(const std::string& dest, const std::string& array, int index);
  // 16-22. dest := src; dest := a + b, a - b, a * b, a / b; -a; abs(a).
  void Assign(const std::string& dest, const std::string& src);
  void Add(const std::string& dest, const std::string& a, const std::string& b);
  void Sub(const std::string& dest, const std::string& a, const std::string& b);
  void Mul(const std::string& dest, const std::string& a, const std::string& b);
  void Div(const std::string& dest, const std::string& a, const std::string& b);
  void Neg(const std::string& dest, const std::string& a);
  void Abs(const std::string& dest, const std::string& a);
  // 23-25. If a relation b ... Else ... EndIf.
  void If(const std::string& a, TRelation r, const std::string& b);
  void Else();
  void EndIf();
  // 26, 27. A label of the controller routine and a jump to it.
  void Label(const std::string& name);
  void Goto(const std::string& name);
  // 28, 29. Loop: for Count := count downto 1 ... EndLoop.
  void Loop(int count);
  void EndLoop();

  // --- The programmed contour and the walk over it. ---
  // The blocks at the input points and at the output points, in list order.
  std::vector<TBlock*> Inputs, Outputs;
  // The result name of a block (the contract of GenerateCode): its
  // statements are emitted first when it has not been reached in this pass.
  // Feeders are reached by an explicit walk, so a chain of any length never
  // deepens the call stack.
  std::string Generate(TBlock* block);

  // --- What blocks call from GenerateCode. ---
  // The contract's first steps: false when the name is already known (an
  // input of the contour, or a block reached before in this pass).
  bool BeginBlock(TBlock& block, std::string& name);
  // The names of the feeders on the given sides become "%1", "%2", ... in
  // side order; a side with nothing connected reads as 0.
  void UseInputs(TBlock& block, std::initializer_list<int> sides);
  // All connected sides, in side order (top, left, bottom, right).
  void UseConnectedInputs(TBlock& block);
  // The single input x of a one-input element: the first connected side.
  void UseFirstInput(TBlock& block);
  int StoredCount() const { return static_cast<int>(stored_.size()); }
  // The driver's closing statement of each output: OutputN := name.
  void AssignOutput(int index, const std::string& name);
  // A block that passes another's output on (the macro block).
  void Delegate(TBlock& block, TBlock* source, std::string& name);
  // A block that cannot be programmed: "Input i" when it is an input of
  // the contour, otherwise the message and ErrorCode 1.
  void Refuse(TBlock& block, std::string& name, const std::string& message);
  // A number for a statement; a value that has no text form (an infinity
  // from a zero parameter) stops the generation with the parameter message.
  std::string Number(double x);
  // The sampling step.
  double Step() const { return step_; }

  // --- State. ---
  int Pass() const { return pass_; }
  const std::string& FileName() const { return fileName_; }
  const std::string& UnitName() const { return unitName_; }
  // The generated text so far (UTF-8, "\n" line ends).
  const std::string& Text() const { return text_; }
  // Bytes of the variable block (assembler targets; 0 for the others).
  virtual int VarBlockSize() const { return 0; }
  // The blocks whose visited mark this generation set (the driver clears
  // them between passes).
  std::vector<TBlock*>& Touched() { return touched_; }

 protected:
  // --- What each target writes. ---
  // Pass openings and closings.
  virtual void WriteHeader() = 0;          // pass 1 opening
  virtual void WriteDeclarationsEnd() {}   // pass 1 closing
  virtual void WriteInitBegin() = 0;       // pass 2 opening (temporaries included)
  virtual void WriteInitEnd() = 0;
  virtual void WriteControllerBegin() = 0;  // pass 3 opening (labels included)
  virtual void WriteControllerEnd() = 0;
  // Declarations (pass 1) and starting values (pass 2).
  virtual void DeclareScalar(const std::string& name, const std::string& comment) = 0;
  virtual void DeclareArray(const std::string& name, int length) = 0;
  virtual void DeclareConstArray(const std::string& name, const std::vector<TOperand>& values) = 0;
  virtual void WriteVarComment(const std::string& name) = 0;
  // Pass 2: every element of an array := 0 (by default a loop of stores).
  virtual void InitArray(const std::string& name, int length);
  // The loop counter, declared once in pass 1 when a loop or an array is
  // first met (targets whose header does not hold it).
  virtual void DeclareCounter() {}
  // Statements (pass 3; starting values also in pass 2).
  virtual void WriteAssign(const TOperand& d, const TOperand& s) = 0;
  virtual void WriteArith(char op, const TOperand& d, const TOperand& a, const TOperand& b) = 0;
  virtual void WriteNeg(const TOperand& d, const TOperand& a) = 0;
  virtual void WriteAbs(const TOperand& d, const TOperand& a) = 0;
  virtual void WriteIf(const TOperand& a, TRelation r, const TOperand& b) = 0;
  virtual void WriteElse() = 0;
  virtual void WriteEndIf() = 0;
  virtual void WriteLabel(const std::string& name) = 0;
  virtual void WriteGoto(const std::string& name) = 0;
  virtual void WriteLoop(int count) = 0;
  virtual void WriteEndLoop() = 0;
  // withCount: the index is index + Count.
  virtual void WriteStore(const std::string& array, int index, bool withCount, const TOperand& v) = 0;
  virtual void WriteLoad(const TOperand& d, const std::string& array, int index, bool withCount) = 0;
  // The target's form of a variable name (inputs, outputs, block
  // variables, temporaries).
  virtual std::string MapName(const std::string& name) const { return name; }

  // Text output: one line at the current indentation, or as given.
  void Line(const std::string& text);
  void RawLine(const std::string& text);
  void Indent(int delta) { indent_ += delta; }
  // "step" written with three decimals.
  std::string StepText() const;
  // ", "-joined lists of the contour's input and output names.
  std::string NameList(const char* prefix, size_t count, const char* sep = ", ") const;

  int Temps() const { return temps_; }
  const std::vector<std::string>& Labels() const { return labels_; }
  bool UsesLoops() const { return usesLoops_; }
  // Pass 1 noted an Abs (the C target then includes its maths header).
  bool UsesAbs() const { return usesAbs_; }
  // Internal label numbers, unique in the file.
  int NextLabel() { return ++labelNo_; }

 private:
  bool Quiet() const;  // nothing is written: the walk only looks for feeders
  bool Statements() const { return !Quiet() && pass_ == 3; }
  std::string CurrentOr(const std::string& suffix) const { return current_ + suffix; }
  int InputIndex(const TBlock* b) const;
  std::string VarName(const TBlock& b) const;
  void NoteLoop();
  TOperand Resolve(const std::string& name) const;

  std::string fileName_, unitName_;
  double step_;
  int pass_ = 1;
  int varCount_ = 0;
  int temps_ = 0;
  int indent_ = 0;
  int labelNo_ = 0;
  bool closed_ = false;
  bool usesLoops_ = false, usesAbs_ = false;
  std::string current_;
  std::vector<std::string> stored_;
  std::vector<std::string> labels_;
  std::string text_;
  std::vector<TBlock*> touched_;
  // The walk: while a block only reports its feeders, nothing is written.
  bool discovering_ = false;
  std::vector<TBlock*>* feeders_ = nullptr;
  bool refusing_ = false;  // the block being looked at cannot be programmed
  TBlock* finishing_ = nullptr;
};

}  // namespace vemo
