// The structure commands of the main window: the input-output
// characteristic (its table opens in the table editor window
// "Входо-выходная хар-ка") and the three syntheses, whose field opens in a
// new editor window "<Cинтез>". The analysed scheme is never changed.
#pragma once
#include <memory>

#include "blocks/point_table.h"

namespace vemo {

class TMainForm;
class TMDIChild;
class TnlEditorForm;
struct TField;

// "Входо-выходная характеристика": compile, order, check loops,
// TInOutUnlDlg, InOut, the table window.
void RunInOutCharacteristic(TMainForm& form);
// "Упрощение структуры": compile, TStructEasyDlg, Contour, ZeroPoles,
// BuildStructure.
void RunStructureSimplification(TMainForm& form);
// "Синтез структуры по W(s)": TEditWSDlg, ZeroPoles, BuildStructure.
void RunStructureSynthesis(TMainForm& form);
// "Синтез регулятора": compile, TSyntezDlg, Contour, ZeroPoles,
// InvertForPopov, BuildStructure.
void RunControllerSynthesis(TMainForm& form);

// BuildStructure's window: a new editor "<Cинтез>" takes the synthesised
// scheme (marked modified, so that it is not lost unsaved).
TMDIChild* OpenSynthesisWindow(TMainForm& form, std::unique_ptr<TField> field);
// InOut's window: the table editor as a document window.
TnlEditorForm* OpenInOutWindow(const PointTable& table);

}  // namespace vemo
