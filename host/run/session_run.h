#pragma once
// `vorn-host MODULE [SESSION]`: loads the module, plays actions against it, and reports the
// exchange and every breach. The actions come from a session file, from lines typed on
// standard input, or, with --web, from what is clicked on a page after the session's own.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "contract_rules.h"
#include "session_player.h"
#include "session_report.h"
#include "web_door.h"

namespace vorn_host {

struct session_run_options {
    std::string module;
    std::optional<std::string> sessionFile;  // none: actions are typed on standard input
    player_options player;
    int repeat = 1;  // load, play, delete and unload this many times
    output_mode mode = output_mode::people;
    rule_settings rules;
    std::string recordFile;            // save the actions played, with what the module did
    bool update = false;               // rewrite the session's expect and answer lines
    std::vector<std::string> routers;  // DEVICE=videohub://HOST:PORT
    unsigned routerTimeoutMs = 2000;
    std::optional<std::string> web;  // ADDRESS:PORT to serve the page on, after the session
    std::string webTokenFile;        // a fixed token instead of a random one
};

// Plays as the options say, writing the report to `out` and what went wrong to `err`; reads
// typed actions from `in`. Returns the exit status.
int runSessions(session_run_options options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace vorn_host
