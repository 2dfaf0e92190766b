#pragma once
// `vorn-host MODULE [SESSION] --web [ADDRESS:PORT]`: a browser page that shows the panels the
// module has shown, the crosspoints of each device and the exchange as it happens, and that
// plays what is clicked on it as session lines.
//
// The page's requests are served on threads of the HTTP library; every call into the module is
// made on this program's main thread, one at a time, as a panel host makes them.
#include <ostream>
#include <string>

#include "session_player.h"
#include "session_report.h"

// Serves until the page or a client posts /quit; returns false, saying why on `err`, when the
// address cannot be listened on.
bool serveWeb(session_player& player, session_report& report, const std::string& address, std::ostream& out,
              std::ostream& err);
