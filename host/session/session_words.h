#pragma once
// The words of a session file, read by the session parser and written by the recorder.

namespace vorn_host {

namespace session_words {
const char kEvent[] = "event";
const char kRequest[] = "request";
const char kTimer[] = "timer";
const char kCode[] = "code";
const char kShow[] = "show";
const char kDelete[] = "delete";
const char kExpect[] = "expect";
const char kAnswer[] = "answer";
const char kNothing[] = "nothing";
const char kNull[] = "null";
}  // namespace session_words

}  // namespace vorn_host
