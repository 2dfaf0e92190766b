// Checks of single calls across the boundary: loading, the factory, every callback code and
// the texts a host may hand in.
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check_module.h"
#include "vorn_boundary_words.h"
#include "elf_exports.h"
#include "pe_exports.h"
#include "event_record.h"

namespace vorn_host {

namespace {

const size_t kHugeText = 1 << 20;

std::string dottedText(int dots) {
    std::string text = "command";
    for (int i = 0; i < dots; ++i) text += ".part" + std::to_string(i);
    return text + "=value";
}

#define OPEN_OR_FAIL(context, opened)                 \
    const opened_module opened = openModule(context); \
    if (!opened.library) return check_outcome::failed(opened.error);

}  // namespace

check_outcome checkModuleLoads(const check_context& context) {
    OPEN_OR_FAIL(context, opened);
    return check_outcome::passed();
}

// A Windows DLL's exports come from its PE export table, any other module's from its ELF
// dynamic symbols.
static std::optional<std::vector<std::string>> moduleExports(const std::string& path, std::string& error) {
    std::string notPe;
    if (auto names = peExportedSymbols(path, notPe)) return names;
    if (notPe != kNotAPeImage) return error = notPe, std::nullopt;
    return elfExportedSymbols(path, error);
}

check_outcome checkExportsOnlyFactory(const check_context& context) {
    std::string error;
    const auto symbols = moduleExports(context.modulePath, error);
    if (!symbols) return check_outcome::skipped(error);
    std::string others;
    bool factory = false;
    for (const std::string& name : *symbols) {
        if (name == kExportName) {
            factory = true;
        } else {
            others += (others.empty() ? "" : ", ") + name;
        }
    }
    if (!factory) return check_outcome::failed(std::string("no export named ") + kExportName);
    if (!others.empty()) return check_outcome::failed("it also exports " + others);
    return check_outcome::passed();
}

check_outcome checkFactoryPaths(const check_context& context) {
    OPEN_OR_FAIL(context, opened);
    const std::string longPath(64 * 1024, 'p');
    const struct {
        const char* name;
        const char* path;
    } paths[] = {{"an empty path", ""},
                 {"a null path", nullptr},
                 {"a 64 KiB path", longPath.c_str()},
                 {"a non-ASCII path", "p\xc3\xa4nels/\xe2\x82\xac\xff"}};
    for (const auto& p : paths) {
        direct_script script(opened.setup, p.path);
        if (!script.created()) return check_outcome::failed(kNoScript + (" for " + std::string(p.name)));
        script.remove();
        if (!script.clean()) return check_outcome::failed(std::string(p.name) + ": " + firstLine(script.problems()));
    }
    return check_outcome::passed();
}

check_outcome checkDeleteAfterCreate(const check_context& context) {
    OPEN_OR_FAIL(context, opened);
    direct_script script(opened.setup, "");
    if (!script.created()) return check_outcome::failed(kNoScript);
    // The ledger holds AS to once, last, and not missing.
    script.remove();
    return outcomeOf(script);
}

check_outcome checkCallbackCodes(const check_context& context) {
    OPEN_OR_FAIL(context, opened);
    direct_script script(opened.setup, "");
    if (!script.created()) return check_outcome::failed(kNoScript);
    char garbage[64];
    for (size_t i = 0; i < sizeof garbage; ++i) garbage[i] = static_cast<char>(0x80 + i * 7);
    garbage[sizeof garbage - 1] = '\0';
    host_control_event nullFields{0, 0, nullptr, nullptr, nullptr};
    for (int code : {kCodeRecord, kCodeAuxRecord}) {
        script.call("code " + std::to_string(code) + " null", nullptr, code);
        script.call("code " + std::to_string(code) + " garbage", garbage, code);
    }
    script.call("code 2 null", nullptr, kCodeControlEvent);
    script.call("code 2 record of nulls", &nullFields, kCodeControlEvent);
    script.call("code 3 null", nullptr, kCodeParameterRequest);
    script.call("code 3 garbage text", garbage, kCodeParameterRequest);
    for (intptr_t n : {intptr_t{0}, intptr_t{-1}, intptr_t{INT_MIN}, intptr_t{INT_MAX}, intptr_t{0x7fffffff}}) {
        script.call("code 4 " + std::to_string(n), vorn_param_carrying(n), kCodeTimer);
        script.call("code 7 " + std::to_string(n), vorn_param_carrying(n), kCodeWord);
    }
    script.call("code 5 null", nullptr, kCodeRelease);
    for (int code : {0, 8, 9, -1, 1000, INT_MIN, INT_MAX}) {
        script.call("code " + std::to_string(code) + " null", nullptr, code);
        script.call("code " + std::to_string(code) + " garbage", garbage, code);
    }
    script.remove();
    return outcomeOf(script);
}

check_outcome checkControlEventTexts(const check_context& context) {
    OPEN_OR_FAIL(context, opened);
    direct_script script(opened.setup, "");
    if (!script.created()) return check_outcome::failed(kNoScript);
    const std::string huge(kHugeText, 'h');
    std::vector<panel_control> targets = learnVocabulary(opened.setup).controlsToExercise();
    targets.emplace_back(huge, huge);
    targets.emplace_back("", "");
    for (const auto& [panel, control] : targets) {
        for (const std::string& text : {std::string(), std::string("="), huge, "value=" + huge, dottedText(32),
                                        dottedText(40), std::string("%1%2%3")}) {
            event_record event(panel, control, text);
            script.call("event", event.record(), kCodeControlEvent);
            host_control_event withoutEvent = *event.record();
            withoutEvent.event = nullptr;
            script.call("event without its text", &withoutEvent, kCodeControlEvent);
        }
    }
    script.remove();
    return outcomeOf(script);
}

check_outcome checkRequestTexts(const check_context& context) {
    OPEN_OR_FAIL(context, opened);
    direct_script script(opened.setup, "");
    if (!script.created()) return check_outcome::failed(kNoScript);
    for (std::string text :
         {std::string("plain"), dottedText(40), std::string(), std::string("="), std::string(kHugeText, 'r'),
          "instance=" + std::string(kHugeText, 'i'), std::string("return=all"), std::string("%1=%2")}) {
        script.call("request", &text[0], kCodeParameterRequest);
    }
    script.remove();
    return outcomeOf(script);
}

}  // namespace vorn_host
