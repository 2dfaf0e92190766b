#pragma once
// Who the browser view lets in. The view plays what it is sent on a module, and with --router
// on a real router: any web page that the operator's browser opens could send it a take, and a
// page that rebinds its own name to this machine could read it. So every request must name
// this server in its Host, carry the run's token, and, when it changes something, come from
// the page's own origin. Nothing here touches a socket: the server asks, the door answers.
#include <cstddef>
#include <optional>
#include <string>

namespace vorn_host {

// Where --web listens unless told: loopback only.
const char kWebHost[] = "127.0.0.1";
const int kWebPort = 8080;

struct web_door {
    std::string listenHost;  // the address listened on, as given: "127.0.0.1", "0.0.0.0", ...
    int port = 0;
    std::string token;  // the run's token: random, or read from --web-token-file
};

// The parts of a request that the door reads. Empty texts are headers the request lacks.
struct web_request_view {
    std::string method;        // "GET", "POST", ...
    std::string path;          // without the query
    std::string host;          // the Host header
    std::string origin;        // the Origin header
    std::string token;         // the X-Vorn-Token header, or else the query's token
    std::size_t bodySize = 0;  // as its Content-Length says
};

struct door_verdict {
    int status = 0;      // 0: let in; otherwise the HTTP status to answer with
    std::string reason;  // why it was refused, for the server's log
};

// The largest body of an action: one session line.
const std::size_t kMaxActionBytes = 4096;
// The header through which the page sends its token.
const char kTokenHeader[] = "X-Vorn-Token";
// The query parameter through which the page's event stream sends it.
const char kTokenQuery[] = "token";

// True for an address of this machine's loopback: 127.0.0.0/8, ::1, "localhost".
bool isLoopbackHost(const std::string& host);
// True for an address that listens on every interface: "0.0.0.0", "::", "".
bool isWildcardHost(const std::string& host);

// What the server answers before it reads the request's body.
door_verdict admit(const web_door& door, const web_request_view& request);
// What it answers an action once the body is read: one line, of at most kMaxActionBytes.
door_verdict admitAction(const std::string& body);

// A new random token of 32 hexadecimal digits.
std::string newToken();
// The token in the first line of `path`, without surrounding blanks; empty, with the reason in
// `error`, when the file cannot be read or its token is shorter than 16 characters.
std::string tokenFromFile(const std::string& path, std::string& error);

// The door of `--web ADDRESS[:PORT]` (the port kWebPort when none is given), with a new
// random token, or the one in `tokenFile` when one is named. Null, with the reason in `error`,
// when that token cannot be had.
std::optional<web_door> doorFor(const std::string& address, const std::string& tokenFile, std::string& error);

}  // namespace vorn_host
