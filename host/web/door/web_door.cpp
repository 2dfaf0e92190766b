#include "web_door.h"

#include <cstdlib>
#include <fstream>
#include <random>

namespace vorn_host {

namespace {

const char kPagePath[] = "/";
const char kStatePath[] = "/state";
const char kEventsPath[] = "/events";
const char kActionPath[] = "/action";
const char kQuitPath[] = "/quit";
const std::size_t kMinTokenLength = 16;

const int kForbidden = 403;
const int kNotFound = 404;
const int kTooLarge = 413;
const int kBadRequest = 400;

door_verdict refused(int status, const std::string& reason) {
    return {status, reason};
}

// "host:port" -> "host"; "[::1]:8080" -> "::1".
std::string hostName(const std::string& hostHeader) {
    if (!hostHeader.empty() && hostHeader.front() == '[') {
        const std::size_t close = hostHeader.find(']');
        return close == std::string::npos ? hostHeader : hostHeader.substr(1, close - 1);
    }
    const std::size_t colon = hostHeader.rfind(':');
    return colon == std::string::npos ? hostHeader : hostHeader.substr(0, colon);
}

std::string hostPort(const std::string& hostHeader) {
    const std::size_t close = hostHeader.rfind(']');
    const std::size_t colon = hostHeader.rfind(':');
    if (colon == std::string::npos || (close != std::string::npos && colon < close)) return "";
    return hostHeader.substr(colon + 1);
}

// The Host must name this server: its port, and a name that reaches it. On loopback that is a
// loopback name; on one address, that address; listening everywhere, any name (the token
// guards it then).
bool namesThisServer(const web_door& door, const std::string& hostHeader) {
    if (hostPort(hostHeader) != std::to_string(door.port)) return false;
    const std::string name = hostName(hostHeader);
    if (isWildcardHost(door.listenHost)) return !name.empty();
    if (isLoopbackHost(door.listenHost)) return isLoopbackHost(name);
    return name == door.listenHost;
}

// Compares in time that does not depend on where the texts first differ.
bool sameToken(const std::string& given, const std::string& expected) {
    if (given.size() != expected.size()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < given.size(); ++i) difference |= static_cast<unsigned char>(given[i] ^ expected[i]);
    return difference == 0;
}

bool changesSomething(const std::string& path) {
    return path == kActionPath || path == kQuitPath;
}

bool known(const web_request_view& request) {
    if (request.method == "GET")
        return request.path == kPagePath || request.path == kStatePath || request.path == kEventsPath;
    if (request.method == "POST") return changesSomething(request.path);
    return false;
}

}  // namespace

bool isLoopbackHost(const std::string& host) {
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

bool isWildcardHost(const std::string& host) {
    return host.empty() || host == "0.0.0.0" || host == "::";
}

door_verdict admit(const web_door& door, const web_request_view& request) {
    if (!namesThisServer(door, request.host))
        return refused(kForbidden, "Host \"" + request.host + "\" does not name this server");
    if (!known(request)) return refused(kNotFound, request.method + " " + request.path + " is not served");
    // What changes something comes from the page itself, whatever else it carries.
    if (changesSomething(request.path) && request.origin != "http://" + request.host) {
        return refused(kForbidden, "Origin \"" + request.origin + "\" is not the page's own");
    }
    // The page itself carries the token on loopback; listening further out, it needs it too.
    const bool pageOnLoopback = request.path == kPagePath && isLoopbackHost(door.listenHost);
    if (!pageOnLoopback && !sameToken(request.token, door.token)) {
        return refused(kForbidden, request.token.empty() ? "no token" : "a wrong token");
    }
    if (request.bodySize > kMaxActionBytes)
        return refused(kTooLarge, "a body over " + std::to_string(kMaxActionBytes) + " bytes");
    return {};
}

door_verdict admitAction(const std::string& body) {
    if (body.size() > kMaxActionBytes)
        return refused(kTooLarge, "a body over " + std::to_string(kMaxActionBytes) + " bytes");
    if (body.find_first_of("\r\n") != std::string::npos) return refused(kBadRequest, "a body of more than one line");
    return {};
}

std::string newToken() {
    std::random_device random;
    static const char kDigits[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 8; ++i) {
        const unsigned word = random();
        for (int shift = 0; shift < 32; shift += 8) token += kDigits[(word >> shift) & 0xF];
    }
    return token;
}

std::string tokenFromFile(const std::string& path, std::string& error) {
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line)) {
        error = "--web-token-file " + path + ": cannot read a token";
        return "";
    }
    const std::size_t first = line.find_first_not_of(" \t\r");
    const std::size_t last = line.find_last_not_of(" \t\r");
    const std::string token = first == std::string::npos ? "" : line.substr(first, last - first + 1);
    if (token.size() < kMinTokenLength) {
        error = "--web-token-file " + path + ": the token is shorter than " + std::to_string(kMinTokenLength) +
                " characters";
        return "";
    }
    return token;
}

std::optional<web_door> doorFor(const std::string& address, const std::string& tokenFile, std::string& error) {
    web_door door;
    const size_t colon = address.rfind(':');
    door.listenHost = colon == std::string::npos ? address : address.substr(0, colon);
    door.port = colon == std::string::npos ? kWebPort : std::atoi(address.c_str() + colon + 1);
    door.token = tokenFile.empty() ? newToken() : tokenFromFile(tokenFile, error);
    if (door.token.empty()) return std::nullopt;
    return door;
}

}  // namespace vorn_host
