#include "blocks/property_dlg.h"

namespace vemo {

struct TPropertyDlg::TImpl {};

TPropertyDlg::TPropertyDlg(TParamBlock&, QWidget* parent) : QDialog(parent), impl_(new TImpl) {}
TPropertyDlg::~TPropertyDlg() { delete impl_; }
bool TPropertyDlg::Edit(TParamBlock&, QWidget*) { return false; }

}  // namespace vemo
