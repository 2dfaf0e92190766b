#pragma once
// The script base: what every panel script module is built on. A concrete script derives from
// vorn_script_helper, overrides the pure handlers and acts through the senders below.
#include "decimal_text.h"
#include "fixed_command.h"
#include "message_records.h"
#include "text_view.h"
#include "vorn_client_callback.h"
#include "vorn_host_command.h"
#include "vorn_string.h"

class filled_text;

class vorn_script_helper : public vorn_native_script {
public:
    // host: the host's command object, kept for the life of this object and never deleted;
    // may be null, and then nothing is ever sent. path: read during the call only and copied
    // into scriptPath; a null path is the empty path.
    vorn_script_helper(vorn_host_command* host, const char* path);
    // Sends "AS" to the host (when there is one) after the derived script's fields are gone:
    // it is the last command a script object sends. Never throws; a derived script's
    // destructor must not throw either.
    virtual ~vorn_script_helper();

    vorn_script_helper(const vorn_script_helper&) = delete;
    vorn_script_helper& operator=(const vorn_script_helper&) = delete;

    // The host's one entry: dispatches `code` to one handler below. See vorn_client_callback.
    // Nothing a handler throws leaves it: the call returns null and the failure is traced.
    char* callback(void* param, int code) override;

protected:
    // Handlers. Wrappers passed by reference read host records that live only during the call.
    virtual void controlCallback(control_event& event) = 0;
    virtual int recordCallback(host_record& record) = 0;
    // An empty answer makes callback return null; any other reaches the host as a copy that
    // the module owns until the host hands it back with code 5.
    virtual vorn_string parameterCallback(parameter_request& request) = 0;
    virtual void wordCallback(int& word);
    virtual void timerCallback(int id) = 0;
    virtual void auxRecordCallback(host_record& record);

    // Command senders. Each builds one line, sends it with code 0 when there is a host, and
    // never hands the reply back. The line lives until hostCommand returns. Fields are read in
    // place (a literal, a vorn_string, an event's text or a decimal_number) and go in as they
    // are, once: a "%1" in a field is sent as "%1". A line whose fields hold a CR or LF is not
    // sent (the host would read two commands); it is traced instead.
    //
    // "PS 'panel' 'file'", the file prefixed by scriptPath and "/" when there is a path, then
    // " 'extra'" when extra is not empty. True when there is no host or the host replied with
    // any text; false when it replied null.
    bool panelShow(text_view panel, text_view file, text_view extra);
    // "TP 'property=value' 'panel' 'control'"
    void textPut(text_view property, text_view value, text_view panel, text_view control);
    // "RC device source destination ',extra' flag", numbers in decimal, the flag as 0 or 1.
    void routerConnect(int device, int source, int destination, text_view extra, bool flag);
    // "ET id"
    void timerStop(int id);
    // A command filled when the module was compiled (fixed_command.h).
    template <unsigned Size>
    void sendCommand(const fixed_command<Size>& command) {
        sendFixed(command.text, command.lineBreakAt);
    }

    // Queries. The host's reply is copied and handed back exactly once with code 5; a null
    // reply is never handed back.
    //
    // Sends "TG 'panel' 'control' 'property'" and sets `value` to the value of the reply
    // property=value. For property "all" the whole reply is the value. A reply that names
    // another property (heeding case) is traced and gives the empty text, as do no host and a
    // null reply.
    void textGet(text_view property, text_view panel, text_view control, vorn_string& value);
    // Sends "XI 'panel' 'filter'" and returns the control identifiers of the reply, which
    // separates them with ","; empty without a host or reply.
    vorn_stringlist controlIdList(text_view panel, text_view filter);
    // Replaces each placeholder "%N" of `format` (N from 1 to 9) with the N-th text, in one
    // pass, and writes the result to the debugger output.
    static void debugTrace(const vorn_string& format, const vorn_string& a1, const vorn_string& a2,
                           const vorn_string& a3, const vorn_string& a4, const vorn_string& a5, const vorn_string& a6,
                           const vorn_string& a7, const vorn_string& a8, const vorn_string& a9);

    // The alarm group: puts `value` on the "alarm" property of every "alm_" control of panel 1,
    // then sets or acknowledges each control's "value" by the level the text selects.
    void alarmAction(const vorn_string& value);

    // Sends "AS" when there is a host.
    void hostDetach();

    vorn_host_command* hostLink;
    vorn_string scriptPath;
    // Turns on the handling of the alarm group controls for control events.
    bool alarmHandling;

private:
    // Sends `text` with code 0 and returns the host's reply; null when there is no host, and
    // when a field brought a line break into the text, which is then traced instead.
    char* send(const filled_text& text);
    void sendFixed(const char* text, unsigned lineBreakAt);
    char* dispatch(void* param, int code);
    char* answerRequest(const char* text);
    void dispatchControlEvent(const host_control_event* record);
    bool alarmGroupHandles(control_event& event);
    void acknowledgeAlarm(const vorn_string& panel, const vorn_string& control);
};
