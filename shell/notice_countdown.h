#pragma once

#include <string>

#include "link/link_host.h"

namespace zentrik {

// The timed notice after a configuration was downloaded or uploaded: its caption and message
// by kind, and the countdown on its OK button. A window's notice dialog shows this state,
// runs a one-second timer (108) that calls Tick, and closes itself when Tick says so.
class NoticeCountdown {
  public:
    // Set up once per showing: title and message for the kind (another kind keeps them),
    // 15 seconds left. Showing the same dialog again (the window restored from minimised)
    // must not call this again.
    void Start(int kind);
    // One tick of the timer: true when the countdown has run out and the dialog closes.
    bool Tick();

    int Kind() const { return m_kind; }
    int SecondsLeft() const { return m_secondsLeft; }
    const std::string& Title() const { return m_title; }
    const std::string& Message() const { return m_message; }
    // "OK [15 sec]" down to "OK [1 sec]", then "OK [0 sec]" as it closes.
    std::string ButtonText() const;

  private:
    int m_kind = 0;
    int m_secondsLeft = 0;
    std::string m_title;
    std::string m_message;
};

}  // namespace zentrik
