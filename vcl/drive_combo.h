// TDriveComboBox: a drop-down list of the machine's drives. Its current drive is one letter, kept
// in lower case as the list shows it; OnChange fires only when the current drive really changes.
#pragma once

#include "vcl/control.h"

namespace vcl {

class TDriveComboBox : public TControl {
  public:
    explicit TDriveComboBox(TControl* parent);
    // The current drive's letter, or 0 when there is none (a current folder with no drive letter).
    char Drive() const { return drive_; }
    void SetDrive(char letter);
    // Positions and sizes the closed box; the list drops below it.
    void SetBoxBounds(int left, int top, int width, int height);
    TNotifyEvent OnChange;

  protected:
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    void Fill();
    int IndexOf(char letter) const;
    char drive_ = 0;
};

} // namespace vcl
