#pragma once

#include <string>

namespace zentrik {

// The state of the firmware upgrade's progress dialog: the bar, the text line and whether the
// dialog may be closed. The whole word transfer runs inside the dialog's modal loop; until one
// of the Finish operations has run it cannot be closed (OK is hidden, Enter, Escape and the
// close box do nothing); afterwards OK or Enter closes it, Escape still not.
class UpgradeProgress {
  public:
    // The dialog opens for `total` packets: bar 0..total (a 16-bit bound), OK hidden.
    void Begin(int total);
    // -1: "Checking Firmware Checksum", the bar stays; otherwise the bar moves to the packet
    // and the text says which one is being sent.
    void ShowStep(int step);
    void FinishWithText(const std::string& text);
    void FinishWithSuccess();

    int Total() const { return m_total; }
    int BarMaximum() const { return m_total & 0xFFFF; }
    int BarValue() const { return m_barValue; }
    // The last step shown: a packet number, -1 for the checksum, 0 before the first.
    int Step() const { return m_step; }
    bool BarShown() const { return !m_finished; }
    bool OkShown() const { return m_finished; }
    const std::string& Text() const { return m_text; }
    // Between Begin and a Finish operation.
    bool Transferring() const { return m_running && !m_finished; }
    bool Finished() const { return m_finished; }
    // OK (the button or Enter) closes the dialog only once the result is shown; Escape and
    // the close box never do.
    bool MayCloseWithOk() const { return m_finished; }
    // The dialog was closed.
    void End() { m_running = false; }

  private:
    int m_total = 0;
    int m_barValue = 0;
    int m_step = 0;
    bool m_running = false;
    bool m_finished = false;
    std::string m_text;
};

}  // namespace zentrik
