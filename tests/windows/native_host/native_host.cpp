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
#include "vorn_boundary_words.h"
#include "vorn_records.h"

#if defined(_WIN32)

#include "kernel32.h"

#else
#include <dlfcn.h>
#include <unistd.h>

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

// Off while the host reloads the module and counts what each reload leaves: writing may
// allocate in the process, and only the module's blocks are to be counted.
bool gTranscript = true;

// Writes the pieces, then a line end.
void line(const char* a, const char* b = "", const char* c = "", const char* d = "") {
    if (!gTranscript) return;
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
    script->callback(vorn_param_carrying(1), kCodeTimer);
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

bool hasArgument(const char* name) {
    const char* commandLine = GetCommandLineA();
    const unsigned long length = lengthOf(name);
    for (const char* p = commandLine; *p; ++p) {
        unsigned long i = 0;
        while (i < length && p[i] == name[i]) ++i;
        if (i == length) return true;
    }
    return false;
}

// The busy blocks of every heap of the process, and their bytes.
struct heap_count {
    unsigned long blocks = 0;
    unsigned long bytes = 0;
};

heap_count countHeaps() {
    void* heaps[64];
    const unsigned long count = GetProcessHeaps(64, heaps);
    heap_count total;
    for (unsigned long i = 0; i < count && i < 64; ++i) {
        HeapLock(heaps[i]);
        process_heap_entry entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (!(entry.flags & kHeapEntryBusy)) continue;
            ++total.blocks;
            total.bytes += entry.dataSize;
        }
        HeapUnlock(heaps[i]);
    }
    return total;
}

// The decimal text of n in `text`, which must hold 11 characters.
const char* decimal(unsigned long n, char* text) {
    char* p = text + 10;
    *p = '\0';
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n);
    return p;
}

// Loads Router.dll, plays the take, deletes the script and unloads the module.
bool reload() {
    void* module = LoadLibraryA("Router.dll");
    if (!module) return false;
    auto factory =
        reinterpret_cast<load_vorn_client_script_fn>(reinterpret_cast<void*>(GetProcAddress(module, kExportName)));
    const bool played = factory && play(factory) == 0;
    FreeLibrary(module);
    return played;
}

// --reloads: as a host that reloads its panels does, 200 times, on one thread; prints the blocks
// and bytes left in the process's heaps by the reloads after the first, which may set up what
// lasts (Wine's own loader state, say). --keep-string-library: the host holds vorn_string.dll
// loaded throughout, so that only Router.dll comes and goes.
int reloadAndCount() {
    const int kReloads = 200;
    if (hasArgument("--keep-string-library") && !LoadLibraryA("vorn_string.dll")) return 2;
    gTranscript = false;
    if (!reload()) return 2;
    const heap_count first = countHeaps();
    for (int i = 1; i < kReloads; ++i) {
        if (!reload()) return 2;
    }
    const heap_count last = countHeaps();
    gTranscript = true;
    char blocks[11];
    char bytes[11];
    const bool fewer = last.blocks < first.blocks;
    const unsigned long leftBlocks = fewer ? 0 : last.blocks - first.blocks;
    const unsigned long leftBytes = last.bytes < first.bytes ? 0 : last.bytes - first.bytes;
    line("reloads after the first left ", decimal(leftBlocks, blocks), " blocks");
    line("reloads after the first left ", decimal(leftBytes, bytes), " bytes");
    return leftBlocks == 0 ? 0 : 1;
}

// No C runtime start-up of its own: the console entry point loads the module beside it.
extern "C" int entry() {
    if (hasArgument("--reloads")) ExitProcess(static_cast<unsigned>(reloadAndCount()));
    int status = 2;
    void* module = LoadLibraryA("Router.dll");
    if (module) {
        auto factory =
            reinterpret_cast<load_vorn_client_script_fn>(reinterpret_cast<void*>(GetProcAddress(module, kExportName)));
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
