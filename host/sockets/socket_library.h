#pragma once
// What vorn-host does with sockets, behind one C interface: the TCP connections of router links
// and the HTTP server of the browser view. On Windows it is a DLL of its own beside
// vorn-host.exe (vorn-host-sockets.dll), loaded only for --web or --router, so that the program
// itself imports no Windows sockets and starts where they cannot (Wine's 32-bit mode refuses to
// start any program that imports them). Elsewhere it is linked into the program.
//
// Only C types cross: no C++ object, and no exception. Every function here is noexcept in
// effect: what fails inside is caught there and reported through the result, with the reason
// copied into the caller's `error` buffer (NUL-terminated, cut to `errorSize`).
//
// Threads: the TCP functions run on the caller's thread, one call at a time per connection. The
// web server answers requests on threads of its own; webNextLine, webPublish and webStop are
// called from one thread, the program's main thread, which is the one that calls the module.
#include <cstddef>

extern "C" {

struct vorn_tcp;         // a connection; made by tcpOpen, released by tcpClose
struct vorn_web_server;  // a listening server; made by webStart, released by webStop

// What tcpReceive found.
enum vorn_tcp_received { vorn_tcp_data = 0, vorn_tcp_timed_out = 1, vorn_tcp_closed = 2 };
// What webNextLine found: the page or a client asked to quit, a line to play, nothing within
// the wait, or a watched connection with bytes to read.
enum vorn_web_next { vorn_web_quit = 0, vorn_web_line = 1, vorn_web_waited = 2, vorn_web_readable = 3 };

// The browser view's server, as webStart is told it. Every pointer is read during the call
// only: the server keeps copies.
struct vorn_web_settings {
    const char* listenHost;  // "127.0.0.1", "0.0.0.0", ...
    int port;
    const char* token;  // the run's token, which every request must carry
    const char* page;   // the page served at "/", its token already in it
    // Called on a server thread, one call at a time, for each request the server refuses, with
    // one line saying what and why ("refused GET /x (403): ..."); valid during the call only.
    // Must not throw.
    void (*refused)(void* context, const char* line);
    void* context;
};

struct vorn_socket_library {
    // sizeof(vorn_socket_library) of the library's build: a loader refuses any other.
    std::size_t size;

    // Connects to HOST:PORT within `waitMs`; null, with the reason in `error`, when that fails.
    vorn_tcp* (*tcpOpen)(const char* host, const char* port, long long waitMs, char* error, std::size_t errorSize);
    // Sends all `length` bytes within `waitMs`; 1 when sent, 0 with the reason in `error`.
    int (*tcpSend)(vorn_tcp* connection, const char* bytes, std::size_t length, long long waitMs, char* error,
                   std::size_t errorSize);
    // Receives what has arrived within `waitMs`, up to `capacity` bytes; `count` says how many.
    // With `waitMs` 0 it does not wait: it takes what has arrived, or says timed out.
    vorn_tcp_received (*tcpReceive)(vorn_tcp* connection, char* buffer, std::size_t capacity, long long waitMs,
                                    std::size_t* count);
    // Shuts the connection down and releases it. Null does nothing.
    void (*tcpClose)(vorn_tcp* connection);

    // Null where the library was built without the browser view's HTTP server.
    // Listens and starts serving; null, with the reason in `error`, when it cannot listen.
    vorn_web_server* (*webStart)(const vorn_web_settings* settings, char* error, std::size_t errorSize);
    // Waits at most `waitMs` for the first of: the page sending a session line to play, copied
    // into `line` (at most `capacity` - 1 bytes and a NUL); the page or a client asking to quit;
    // one of the `count` connections of `watched` having bytes to read, or being closed by its
    // peer, whose index goes to `readable`. Nothing is read from the connections: they are the
    // caller's again when it returns. One wait wakes for each, as it happens; nothing polls.
    vorn_web_next (*webNextLine)(vorn_web_server* server, char* line, std::size_t capacity, vorn_tcp* const* watched,
                                 std::size_t count, std::size_t* readable, long long waitMs);
    // The state the page shows from now on: `length` bytes of JSON, copied.
    void (*webPublish)(vorn_web_server* server, const char* state, std::size_t length);
    // Stops serving, ends the server's threads and releases it. Null does nothing.
    void (*webStop)(vorn_web_server* server);
};

// The one export of vorn-host-sockets.dll, by this plain name: the library's table, which
// lives as long as the library.
const vorn_socket_library* vorn_socket_library_table();
typedef const vorn_socket_library* (*vorn_socket_library_fn)();
}

const char kSocketLibraryExport[] = "vorn_socket_library_table";
// The DLL's file name, looked for beside vorn-host.exe.
const char kSocketLibraryFile[] = "vorn-host-sockets.dll";
// The longest text the library writes into an `error` buffer, with its NUL.
const std::size_t kSocketErrorSize = 512;
