#include "checks.h"

namespace vorn_host {

const std::vector<validate_check>& validateChecks() {
    static const std::vector<validate_check> checks = {
        {"module-loads", "the module loads with every symbol resolved and has the factory",
         "link every library the module needs; export load_vorn_client_script undecorated", checkModuleLoads},
        {"exports-only-factory", "the module exports load_vorn_client_script and nothing else",
         "build with hidden visibility (vorn_add_script_module does)", checkExportsOnlyFactory},
        {"factory-paths", "the factory makes a script for an empty, a null, a 64 KiB and a non-ASCII path",
         "copy the path; never keep the host's pointer", checkFactoryPaths},
        {"delete-after-create", "a script deleted right after it was made sends AS once, last",
         "send AS from the base destructor only", checkDeleteAfterCreate},
        {"callback-codes", "codes 1 to 7 and unknown codes with null and garbage parameters",
         "read code 1 and 6 pointers never; treat codes 4 and 7 as numbers; ignore unknown codes", checkCallbackCodes},
        {"control-event-texts", "control events with null, empty and 1 MiB texts and with 32 and 40 parts",
         "read every event field as possibly null; bound loops by the part count", checkControlEventTexts},
        {"request-texts", "requests without \"=\", with 40 dots, empty, and 1 MiB long",
         "copy the request text before splitting it", checkRequestTexts},
        {"answers-freed", "every answer is handed back once, and after delete the module holds no memory",
         "free code-3 answers on code 5 with the allocator that made them", checkAnswersFreed},
        {"allocation-failure", "allocation failure at every point of a session: no crash, no leak, no breach",
         "catch at the host's entries (the script base's guard does)", checkAllocationFailure},
        {"instances-separate", "interleaved instances keep separate state, each sending what it sends alone",
         "keep every pick, device and name in the script object, never in a static", checkInstancesSeparate},
        {"load-unload", "load, create, delete and unload 100 times", "leave nothing behind that outlives the module",
         checkLoadUnload},
        {"quick-callbacks", "every kind of call returns within the slow-callback limit of processor time",
         "do long work outside the host's calls, or in steps on a timer", checkQuickCallbacks},
        {"random-session", "a random session from the seed keeps every contract rule",
         "replay it with --seed, then run the session printed with vorn-host MODULE SESSION", checkRandomSession},
    };
    return checks;
}

}  // namespace vorn_host
