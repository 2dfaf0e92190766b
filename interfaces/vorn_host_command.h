#pragma once
// The panel host's command object, as a script module sees it.
//
// Owned by the host for the whole life of every script object it is given to; the module
// keeps the pointer and never deletes it. May be null: the module then sends nothing.
// The module calls it only on the thread of the host call that is in progress (the factory,
// callback or the deletion), never later and never from another thread.
class vorn_host_command {
public:
    // The host's first operation. Script modules never call it.
    virtual void hostReserved() = 0;

    // Code kHostPerform: perform or answer the one-line command `text`. The text belongs to
    // the module and lives only until this call returns; the host copies what it keeps.
    // The reply belongs to the host. Replies to the two queries ("TG", "XI") are copied by the
    // module and handed back exactly once with code kHostRelease; replies to every other
    // command are never handed back, and only the panel command looks at whether it is null.
    //
    // What the module does, and a host may rely on:
    //   - each text is one command on one line: it never holds a CR or LF (a command whose
    //     fields would bring one is not sent, and is traced instead);
    //   - fields are quoted with apostrophes and go out as given, apostrophes inside included;
    //   - "AS" is sent exactly once by each script object, during its deletion, and is its last
    //     command: nothing follows it.
    //
    // Code kHostRelease: `text` is a query reply that this host returned earlier; the host
    // releases it. The module never touches it again. The return value is ignored.
    virtual char* hostCommand(const char* text, int code) = 0;

protected:
    // Script modules never delete the host's object.
    ~vorn_host_command() = default;
};

const int kHostPerform = 0;
const int kHostRelease = 5;
