// Whether Windows' sockets start in a process of this build's width here: exit 0 when WS2_32
// loads, 1 when it does not (Wine's 32-bit mode fails it with error 1114).
#include <windows.h>

int main() {
    return LoadLibraryA("ws2_32.dll") ? 0 : 1;
}
