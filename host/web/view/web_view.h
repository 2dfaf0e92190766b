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
#include "web_door.h"

namespace vorn_host {

// Serves on the door's address until the page or a client posts /quit; returns false, saying
// why on `err`, when the address cannot be listened on. Requests that the door refuses are
// answered with their status and written to `err`.
bool serveWeb(session_player& player, session_report& report, const web_door& door, std::ostream& out,
              std::ostream& err);

}  // namespace vorn_host
