#pragma once
// vorn-host's exit status, the same for a session and for validate.

namespace vorn_host {

const int kExitClean = 0;     // every expectation met, no breach; every check passed or skipped
const int kExitProblems = 1;  // a failed expectation or a breach; a failed check
const int kExitUnusable = 2;  // arguments or files that cannot be used

}  // namespace vorn_host
