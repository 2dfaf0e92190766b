// The browser view's door on any request: whatever it lets in names this server in its Host,
// carries the run's token (but for the page on loopback), and, when it changes something,
// comes from the page's own origin with a body within bounds.
#include <cstdint>
#include <string>

#include "web_door.h"

using namespace vorn_host;

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

// The input's fields, separated by NUL bytes: method, path, Host, Origin, token, body.
std::string field(const std::string& input, std::size_t& at) {
    const std::size_t end = input.find('\0', at);
    const std::string text = input.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? input.size() : end + 1;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const std::string input(reinterpret_cast<const char*>(data + 2), size - 2);
    web_door door;
    const char* listens[] = {"127.0.0.1", "0.0.0.0", "192.0.2.7", "localhost"};
    door.listenHost = listens[data[0] % 4];
    door.port = 8080;
    door.token = "0123456789abcdef0123456789abcdef";
    std::size_t at = 0;
    web_request_view request;
    request.method = field(input, at);
    request.path = field(input, at);
    request.host = field(input, at);
    request.origin = field(input, at);
    request.token = data[1] % 2 ? door.token : field(input, at);
    const std::string body = field(input, at);
    request.bodySize = body.size();

    const door_verdict verdict = admit(door, request);
    require((verdict.status == 0) == verdict.reason.empty());
    if (verdict.status != 0) return 0;
    require(request.host.size() > 5 && request.host.compare(request.host.size() - 5, 5, ":8080") == 0);
    const bool page = request.method == "GET" && request.path == "/";
    if (!(page && isLoopbackHost(door.listenHost))) require(request.token == door.token);
    if (request.method != "GET") {
        require(request.method == "POST");
        require(request.origin == "http://" + request.host);
        require(request.bodySize <= kMaxActionBytes);
        const door_verdict action = admitAction(body);
        if (action.status == 0) require(body.find_first_of("\r\n") == std::string::npos);
    }
    return 0;
}
