#pragma once
#include "vorn_host_command.h"

// A query reply from the host, handed back with code 5 exactly once: when this goes out of
// scope, or earlier through handBack(). A null reply is never handed back.
class host_reply {
public:
    host_reply(vorn_host_command* host, char* reply) : m_host(host), m_reply(reply) {}
    ~host_reply() { handBack(); }
    host_reply(const host_reply&) = delete;
    host_reply& operator=(const host_reply&) = delete;

    const char* text() const { return m_reply; }
    bool empty() const { return m_reply == nullptr; }

    void handBack() {
        if (m_reply) m_host->hostCommand(m_reply, kHostRelease);
        m_reply = nullptr;
    }

private:
    vorn_host_command* m_host;
    char* m_reply;
};
