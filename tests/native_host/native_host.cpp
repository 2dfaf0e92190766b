// A host built as a native panel host is built: with the platform's own C++ ABI (on Windows,
// Microsoft's), knowing the module only through the interface headers. It loads the module,
// plays the typical take, a request whose answer it hands back, and a timer, then deletes the
// script with `delete` and prints everything that crossed, one line each. The same source built
// for Linux prints the same transcript.
//
// On Windows it is built freestanding, as Microsoft's compiler would build it but without that
// compiler's libraries: the only imports are KERNEL32's. There it plays on a thread it starts
// after loading the module.
#include "vorn_module_export.h"
#include "vorn_records.h"

#if defined(_WIN32)

extern "C" {
__declspec(dllimport) void* __stdcall LoadLibraryA(const char* name);
__declspec(dllimport) void* __stdcall GetProcAddress(void* module, const char* name);
__declspec(dllimport) int __stdcall FreeLibrary(void* module);
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size,
                                              unsigned long* written, void* overlapped);
__declspec(dllimport, noreturn) void __stdcall ExitProcess(unsigned status);
__declspec(dllimport) void* __stdcall CreateThread(void* attributes, unsigned long stackSize,
                                                   unsigned long(__stdcall* start)(void*), void* parameter,
                                                   unsigned long flags, unsigned long* threadId);
__declspec(dllimport) unsigned long __stdcall WaitForSingleObject(void* handle, unsigned long milliseconds);
__declspec(dllimport) int __stdcall GetExitCodeThread(void* thread, unsigned long* code);
__declspec(dllimport) int __stdcall CloseHandle(void* handle);
}

namespace {

void writeOut(const char* text, unsigned long length) {
    unsigned long written = 0;
    WriteFile(GetStdHandle(static_cast<unsigned long>(-11)), text, length, &written, nullptr);
}

}  // namespace

#else
#  include <dlfcn.h>
#  include <unistd.h>

namespace {

void writeOut(const char* text, unsigned long length) {
    if (write(1, text, length) < 0) return;
}

}  // namespace

#endif

namespace {

unsigned long lengthOf(const char* text) {
    unsigned long n = 0;
    while (text[n]) ++n;
    return n;
}

// Writes the pieces, then a line end.
void line(const char* a, const char* b = "", const char* c = "", const char* d = "") {
    const char* pieces[] = {a, b, c, d};
    for (const char* piece : pieces) writeOut(piece, lengthOf(piece));
    writeOut("\n", 1);
}

void copyText(char* to, const char* from) {
    while ((*to++ = *from++)) {
    }
}

class transcript_host : public vorn_host_command {
public:
    void hostReserved() override {}
    char* hostCommand(const char* text, int code) override {
        line(code == kHostRelease ? "module < hands back " : "module > ", text);
        return nullptr;
    }
};

const char kEmpty[] = "";

// The event record of "value=N" for a control on panel 1, with the text cut in place.
struct pick {
    pick(const char* control, const char* valueText) {
        copyText(text, "value");
        copyText(text + 6, valueText);
        message.command = text;
        for (const char*& part : message.parts) part = kEmpty;
        message.value = text + 6;
        message.partCount = 0;
        message.hasValue = true;
        message.buffer = text;
        record.hostReserved1 = 0;
        record.hostReserved2 = 0;
        record.panel = "1";
        record.control = control;
        record.event = &message;
    }
    char text[32];
    parsed_message message;
    host_control_event record;
};

void event(vorn_client_callback* script, const char* control, const char* value) {
    line("host > event 1 ", control, " value=", value);
    pick p(control, value);
    script->callback(&p.record, kCodeControlEvent);
}

void request(vorn_client_callback* script, const char* text) {
    char copy[64];
    copyText(copy, text);
    line("host > request ", text);
    char* answer = script->callback(copy, kCodeParameterRequest);
    line("host < answer ", answer ? answer : "null");
    if (answer) script->callback(answer, kCodeRelease);
}

int play(load_vorn_client_script_fn factory) {
    transcript_host host;
    line("host > create");
    vorn_client_callback* script = factory(&host, "");
    if (!script) return 1;
    request(script, "RouterDeviceNo=12");
    event(script, "Sources", "7");
    event(script, "Destinations", "3");
    event(script, "500", "1");
    request(script, "return=all");
    line("host > timer 1");
    script->callback(reinterpret_cast<void*>(static_cast<intptr_t>(1)), kCodeTimer);
    line("host > delete");
    delete script;
    return 0;
}

}  // namespace

#if defined(_WIN32)

unsigned long __stdcall playOnThread(void* factory) {
    return static_cast<unsigned long>(play(reinterpret_cast<load_vorn_client_script_fn>(factory)));
}

// Plays on a thread started after the module was loaded, as a host with its own interface
// thread does: the module has asked not to hear of new threads, and must answer them all the same.
int playOnNewThread(load_vorn_client_script_fn factory) {
    void* thread = CreateThread(nullptr, 0, playOnThread, reinterpret_cast<void*>(factory), 0, nullptr);
    if (!thread) return 2;
    unsigned long status = 2;
    WaitForSingleObject(thread, 0xFFFFFFFFul);
    GetExitCodeThread(thread, &status);
    CloseHandle(thread);
    return static_cast<int>(status);
}

// No C runtime start-up of its own: the console entry point loads the module beside it.
extern "C" int entry() {
    int status = 2;
    void* module = LoadLibraryA("Router.dll");
    if (module) {
        auto factory = reinterpret_cast<load_vorn_client_script_fn>(
            reinterpret_cast<void*>(GetProcAddress(module, kExportName)));
        status = factory ? playOnNewThread(factory) : 2;
        FreeLibrary(module);
    }
    ExitProcess(static_cast<unsigned>(status));
}

#else

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!module) return 2;
    auto factory = reinterpret_cast<load_vorn_client_script_fn>(dlsym(module, kExportName));
    const int status = factory ? play(factory) : 2;
    dlclose(module);
    return status;
}

#endif
