// A document window other than the structure editor that offers the Edit
// menu's Copy (the table editor of a nonlinearity shown as a document).
#pragma once

namespace vemo {

class TCopyTarget {
 public:
  virtual ~TCopyTarget() = default;
  virtual bool CopyAvailable() const = 0;
  virtual void CopyToClipboard() = 0;
};

}  // namespace vemo
