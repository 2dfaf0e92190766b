// The checker's own parts, each driven as vorn-host drives it: the host's event records, the
// simulated host through hostCommand, the report, the recorder and what the checks learn from
// a module's answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include <elf.h>
#include <link.h>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <climits>
#include <cstdint>
#include <fstream>
#include <new>

#include <malloc.h>

#include "event_record.h"
#include "vorn_boundary_words.h"
#include "module_allocator.h"
#include "ownership_ledger.h"
#include "validate/elf_exports.h"
#include "validate/file_bytes.h"
#include "validate/pe_exports.h"
#include "whole_number.h"
#include "session_player.h"
#include "session_recorder.h"
#include "session_report.h"
#include "simulated_host.h"
#include "text_files.h"
#include "validate/module_vocabulary.h"
#include "validate/random_session.h"

using namespace vorn_host;

namespace {

std::string text(const char* field) {
    return field ? field : "<null>";
}

TEST(EventRecord, SplitsCommandPartsAndValueAtTheFirstEquals) {
    event_record event("1", "Sources", "alarm.b.c=d.e=f");
    const parsed_message& message = *event.record()->event;
    EXPECT_EQ(text(message.command), "alarm");
    ASSERT_EQ(message.partCount, 2u);
    EXPECT_EQ(text(message.parts[0]), "b");
    EXPECT_EQ(text(message.parts[1]), "c");
    EXPECT_TRUE(message.hasValue);
    EXPECT_EQ(text(message.value), "d.e=f");
    EXPECT_EQ(text(event.record()->panel), "1");
    EXPECT_EQ(text(event.record()->control), "Sources");
}

TEST(EventRecord, PartsBeyondTheTextPointAtAnEmptyText) {
    event_record event("1", "Sources", "a.b=c");
    const parsed_message& message = *event.record()->event;
    ASSERT_EQ(message.partCount, 1u);
    for (const char* part : message.parts) ASSERT_NE(part, nullptr);
    EXPECT_EQ(text(message.parts[1]), "");
    EXPECT_EQ(text(message.parts[kMaxMessageParts - 1]), "");
}

TEST(EventRecord, ATextWithoutEqualsHasNoValueAndAnEmptyOneNoBuffer) {
    event_record press("1", "500", "press");
    EXPECT_FALSE(press.record()->event->hasValue);
    EXPECT_EQ(text(press.record()->event->value), "");
    EXPECT_EQ(text(press.record()->event->command), "press");
    event_record empty("1", "500", "");
    EXPECT_EQ(empty.record()->event->buffer, nullptr);
    EXPECT_FALSE(empty.record()->event->hasValue);
    event_record bare("1", "500", "=");
    EXPECT_TRUE(bare.record()->event->hasValue);
    EXPECT_EQ(text(bare.record()->event->value), "");
}

class SimulatedHost : public ::testing::Test {
protected:
    char* send(const std::string& command) { return host.hostCommand(command.c_str(), kHostPerform); }
    std::ostringstream out;
    session_report report{out, output_mode::quiet};
    simulated_host host{0, {VORN_ROUTER_PANEL_DIR}, report};
};

// An answer the host may not keep: its own request text handed back as the answer, or one it
// holds already. Each is a breach, and none is held to be handed back to the module later.
TEST(OwnershipLedger, AnswersThatAreNotTheModulesOwnAreNotHeld) {
    std::vector<std::string> breaches;
    ownership_ledger ledger([&](const char* rule, const std::string&) { breaches.push_back(rule); });
    char request[] = "RouterDeviceNo=12";
    char answer[] = "RouterDeviceNo=12";
    EXPECT_FALSE(ledger.acceptAnswer(request, request));
    EXPECT_TRUE(ledger.acceptAnswer(answer, request));
    EXPECT_FALSE(ledger.acceptAnswer(answer, request));
    EXPECT_EQ(breaches.size(), 2u);
    EXPECT_EQ(ledger.takeHeldAnswers(), std::vector<char*>{answer});
}

TEST_F(SimulatedHost, TextGetAllGivesEveryPropertyPutAndEachOneByName) {
    ASSERT_NE(send("PS '1' 'p1.vorn_ui'"), nullptr);
    send("TP 'device=12' '1' 'Sources'");
    send("TP 'index=3' '1' 'Sources'");
    char* all = send("TG '1' 'Sources' 'all'");
    ASSERT_NE(all, nullptr);
    const std::string allText = all;
    host.hostCommand(all, kHostRelease);
    EXPECT_NE(allText.find("device=12"), std::string::npos) << allText;
    EXPECT_NE(allText.find("index=3"), std::string::npos) << allText;
    char* one = send("TG '1' 'Sources' 'device'");
    ASSERT_NE(one, nullptr);
    EXPECT_STREQ(one, "device=12");
    host.hostCommand(one, kHostRelease);
    char* other = send("TG '1' 'Destinations' 'device'");  // as the panel file sets it
    ASSERT_NE(other, nullptr);
    EXPECT_STREQ(other, "device=0");
    host.hostCommand(other, kHostRelease);
    EXPECT_TRUE(report.clean()) << out.str();
}

TEST_F(SimulatedHost, APutWithoutEqualsIsMalformedAndPutsNothing) {
    send("PS '1' 'p1.vorn_ui'");
    send("TP 'colour' '1' 'Sources'");
    EXPECT_FALSE(report.clean());
    EXPECT_NE(out.str().find("malformed"), std::string::npos) << out.str();
    EXPECT_FALSE(host.panels().get("1", "Sources", "colour").has_value());
}

TEST_F(SimulatedHost, AGetWithoutItsThreeFieldsIsMalformedAndGetsNothing) {
    send("PS '1' 'p1.vorn_ui'");
    EXPECT_EQ(send("TG '1' 'Sources'"), nullptr);
    EXPECT_FALSE(report.clean());
    EXPECT_NE(out.str().find("malformed"), std::string::npos) << out.str();
}

TEST_F(SimulatedHost, OnlyAControlThePanelFileDoesNotListDrawsAWarning) {
    send("PS '1' 'p1.vorn_ui'");
    send("TP 'device=1' '1' 'Sources'");
    send("TP 'device=1' '1' '500'");
    EXPECT_EQ(out.str().find(kRuleControlNotOnPanel), std::string::npos) << out.str();
    send("TP 'device=1' '1' 'Nowhere'");
    EXPECT_NE(out.str().find(kRuleControlNotOnPanel), std::string::npos) << out.str();
    EXPECT_TRUE(report.clean());
}

TEST_F(SimulatedHost, APanelFileThatCannotBeReadIsNotedAndShowsNothing) {
    EXPECT_EQ(send("PS '2' 'no_such_panel.vorn_ui'"), nullptr);
    const auto& entries = report.entries();
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const session_report::shown_entry& e) {
        return e.kind == "note" && e.text.find("cannot read panel file no_such_panel.vorn_ui") != std::string::npos;
    }));
    EXPECT_TRUE(host.panels().view().empty());
}

TEST_F(SimulatedHost, ATimerIdMustBeAWholeNumber) {
    send("ET ");
    EXPECT_FALSE(report.clean());
    EXPECT_FALSE(wholeNumber("").has_value());
    EXPECT_FALSE(wholeNumber("1x").has_value());
    EXPECT_EQ(wholeNumber("-12"), -12);
}

TEST_F(SimulatedHost, TimerStopEndsOnlyThatTimer) {
    host.startTimer(3);
    host.startTimer(7);
    send("ET 3");
    EXPECT_EQ(host.runningTimers(), (std::set<long>{7}));
}

// A script that stops timer 1, and timers 1 and 2 when timer 2 fires.
class timer_script final : public vorn_native_script {
public:
    explicit timer_script(vorn_host_command* host) : m_host(host) {}
    ~timer_script() { m_host->hostCommand("AS", kHostPerform); }
    char* callback(void* param, int code) override {
        if (code != kCodeTimer) return nullptr;
        if (vorn_number_in(param) == 2) m_host->hostCommand("ET 1", kHostPerform);
        m_host->hostCommand(vorn_number_in(param) == 2 ? "ET 2" : "ET 1", kHostPerform);
        return nullptr;
    }

private:
    vorn_host_command* m_host;
};

vorn_client_callback* timerScript(vorn_host_command* host, const char*) {
    return new timer_script(host);
}

// The failures a session's expectations draw, each once, as "line N: text".
std::vector<std::string> failuresOf(const std::string& sessionText, int instances = 1) {
    std::ostringstream out;
    session_report report(out, output_mode::quiet);
    {
        player_options options;
        options.instances = instances;
        session_player player(timerScript, options, report);
        std::istringstream in(sessionText);
        std::string error;
        const auto actions = readSession(in, "session", error);
        for (const session_action& action : actions.value()) player.play(action);
        player.finish();
    }
    std::vector<std::string> failures;
    for (const auto& entry : report.entries()) {
        if (entry.kind == "failure") failures.push_back("line " + std::to_string(entry.line) + ": " + entry.text);
    }
    return failures;
}

TEST(SessionPlayer, EachUnmetExpectationIsReportedOnceAtItsLine) {
    EXPECT_TRUE(failuresOf("timer 1\nexpect ET 1\ntimer 2\nexpect ET 1\nexpect ET 2\n").empty());
    EXPECT_EQ(failuresOf("timer 1\nexpect nothing\ntimer 1\nexpect ET 1\n"),
              (std::vector<std::string>{"line 2: expected nothing, received \"ET 1\""}));
    EXPECT_EQ(failuresOf("timer 2\nexpect ET 1\ntimer 1\nexpect ET 1\n"),
              (std::vector<std::string>{"line 2: received \"ET 2\" after the expected commands"}));
    EXPECT_EQ(failuresOf("timer 1\nexpect ET 1\nexpect ET 2\n"),
              (std::vector<std::string>{"line 3: expected \"ET 2\", received nothing more"}));
    EXPECT_EQ(failuresOf("timer 1\nexpect ET 2\n", 2),
              (std::vector<std::string>{"line 2: expected \"ET 2\", received \"ET 1\" (instance 0)",
                                        "line 2: expected \"ET 2\", received \"ET 1\" (instance 1)"}));
}

TEST(SessionPlayer, FinishingTwiceShowsTheEndStateOnce) {
    std::ostringstream out;
    session_report report(out, output_mode::quiet);
    {
        player_options options;
        options.instances = 2;
        session_player player(timerScript, options, report);
        player.finish();
        player.finish();
    }
    const auto entries = report.entries();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.kind == "state"; }), 2);
    EXPECT_TRUE(report.clean()) << out.str();
}

TEST(SessionReport, EachInstanceSentOnlyItsOwnCommands) {
    std::ostringstream out;
    session_report report(out, output_mode::quiet);
    report.moduleSends(0, "PS '1' 'p1.vorn_ui'", nullptr);
    report.moduleSends(1, "ET 1", nullptr);
    report.moduleSends(0, "AS", nullptr);
    EXPECT_EQ(report.sentBy(0), (std::vector<std::string>{"PS '1' 'p1.vorn_ui'", "AS"}));
    EXPECT_EQ(report.sentBy(1), (std::vector<std::string>{"ET 1"}));
    EXPECT_TRUE(report.sentBy(2).empty());
}

TEST(SessionRecorder, TheDiffKeepsCommonLinesAndMarksTheRest) {
    EXPECT_EQ(lineDiff({"a", "b", "c"}, {"a", "x", "c"}), lineDiff({"a", "b", "c"}, {"a", "x", "c"}));
    const std::string diff = lineDiff({"keep", "old", "same"}, {"keep", "new", "same"});
    EXPECT_NE(diff.find("-old"), std::string::npos) << diff;
    EXPECT_NE(diff.find("+new"), std::string::npos) << diff;
    EXPECT_EQ(diff.find("-keep"), std::string::npos) << diff;
    EXPECT_EQ(diff.find("-same"), std::string::npos) << diff;
    EXPECT_EQ(lineDiff({"a", "b"}, {"a", "b"}), "");
}

TEST(SessionRecorder, KeepsWhatCreationSentBeforeThePlayedActions) {
    session_recorder recorder;
    recorder.created({"PS '1' 'p1.vorn_ui'"});
    const parsed_line timer = parseSessionLine("timer 7", 1);
    ASSERT_TRUE(timer.action);
    recorder.played(*timer.action, {"ET 7"}, std::nullopt);
    const parsed_line request = parseSessionLine("request _events", 2);
    recorder.played(*request.action, {}, std::string("notify=*"));
    EXPECT_EQ(recorder.lines(), (std::vector<std::string>{"expect PS '1' 'p1.vorn_ui'", "timer 7", "expect ET 7",
                                                          "request _events", "answer notify=*"}));
}

TEST(SessionRecorder, AnUpdateWritesTheCreationLinesOnceBeforeTheFirstAction) {
    session_recorder recorder;
    recorder.created({"PS '1' 'p1.vorn_ui'"});
    const std::vector<std::string> session = {"timer 7", "timer 8"};
    for (int number = 1; number <= 2; ++number) {
        const parsed_line timer = parseSessionLine(session[static_cast<size_t>(number - 1)], number);
        ASSERT_TRUE(timer.action);
        recorder.played(*timer.action, {"ET " + std::to_string(6 + number)}, std::nullopt);
    }
    EXPECT_EQ(recorder.updated(session), (std::vector<std::string>{"expect PS '1' 'p1.vorn_ui'", "timer 7",
                                                                   "expect ET 7", "timer 8", "expect ET 8"}));
}

TEST(ModuleVocabulary, ParameterNamesAreTheNamesOfNameValueLines) {
    EXPECT_EQ(parameterNames("RouterDeviceNo=12"), (std::vector<std::string>{"RouterDeviceNo"}));
    EXPECT_EQ(parameterNames("a=1\nb=[value]\n=x\nplain\na=2"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(parameterNames("").empty());
}

TEST(ModuleVocabulary, RequestsAreTheHostsOwnThenASettingAndAQuestionForEachParameter) {
    module_vocabulary vocabulary;
    vocabulary.parameters = {"Device"};
    EXPECT_EQ(vocabulary.requests("5"), (std::vector<std::string>{"return=all", "_events", "_commands",
                                                                 "instance=5", "Device=5", "return=Device"}));
    EXPECT_EQ(vocabulary.settings("5"), (std::vector<std::string>{"instance=5", "Device=5"}));
    EXPECT_EQ(vocabulary.controlsToExercise().size(), 1u);
    vocabulary.shownControls = {{"3", "Go"}, {"3", "Inputs"}};
    EXPECT_EQ(vocabulary.controlsToExercise(), vocabulary.shownControls);
}

TEST(RandomSession, TheSeedGivesTheLinesAndEventsGoToTheModulesControls) {
    module_vocabulary vocabulary;
    vocabulary.shownControls = {{"3", "Go"}};
    vocabulary.parameters = {"Device"};
    const auto lines = randomSessionLines(7, vocabulary, 200);
    EXPECT_EQ(lines, randomSessionLines(7, vocabulary, 200));
    EXPECT_NE(lines, randomSessionLines(8, vocabulary, 200));
    bool deviceSet = false;
    for (const std::string& line : lines) {
        const parsed_line parsed = parseSessionLine(line, 1);
        ASSERT_TRUE(parsed.action) << line << ": " << parsed.error;
        if (line.rfind("event ", 0) == 0) {
            EXPECT_EQ(line.rfind("event 3 Go ", 0), 0u) << line;
        }
        deviceSet = deviceSet || line.rfind("request Device=", 0) == 0;
    }
    EXPECT_TRUE(deviceSet);
}

TEST(RandomSession, GivesAsManyLinesAsAsked) {
    EXPECT_EQ(randomSessionLines(1, module_vocabulary(), 60).size(), 60u);
    EXPECT_TRUE(randomSessionLines(1, module_vocabulary(), 0).empty());
}

vorn_client_callback* noScript(vorn_host_command*, const char*) {
    return nullptr;
}

TEST(ModuleVocabulary, AModuleWhoseFactoryFailsHasNoWords) {
    module_setup setup;
    setup.factory = noScript;
    const module_vocabulary vocabulary = learnVocabulary(setup);
    EXPECT_TRUE(vocabulary.shownControls.empty());
    EXPECT_TRUE(vocabulary.parameters.empty());
}

TEST(RandomSession, TheShortestFailingPartKeepsOnlyTheLinesThatFail) {
    const std::vector<std::string> lines = {"a", "crash", "b", "c", "then", "d"};
    const auto fails = [](const std::vector<std::string>& session) {
        const auto crash = std::find(session.begin(), session.end(), "crash");
        return crash != session.end() && std::find(crash, session.end(), "then") != session.end();
    };
    EXPECT_EQ(shortestFailing(lines, fails), (std::vector<std::string>{"crash", "then"}));
}

TEST(TextFiles, TheFolderOfAPathAndLinesJoined) {
    EXPECT_EQ(directoryOf("bin/Router.so"), "bin");
    EXPECT_EQ(directoryOf("C:\\panels\\p1.vorn_ui"), "C:\\panels");
    EXPECT_EQ(directoryOf("Router.so"), ".");
    EXPECT_EQ(joinLines({"a", "b"}), "a\nb\n");
}

std::string writtenFile(const std::string& name, const std::string& bytes) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// Reads from a file's bytes: a value ending at the last byte is read, one byte further is not,
// nor is an offset so large that adding the size would wrap around.
TEST(FileBytes, ReadsOnlyWhatLiesWhollyInsideTheFile) {
    const file_bytes file(std::vector<char>{1, 2, 3, 4, 5, 6});
    uint32_t value = 0;
    EXPECT_TRUE(file.read(2, value));
    EXPECT_EQ(value, 0x06050403u);
    value = 7;
    EXPECT_FALSE(file.read(3, value));
    EXPECT_FALSE(file.read(UINT64_MAX - 1, value));
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(file_bytes(std::vector<char>{'a', 'b', '\0', 'c'}).textAt(0), "ab");
    EXPECT_EQ(file_bytes(std::vector<char>{'a', 'b'}).textAt(1), "b");
    EXPECT_EQ(file_bytes(std::vector<char>{'a', 'b'}).textAt(2), "");
}

// A file that claims to be an ELF object with its section table far beyond its end: the
// reader must refuse it, not read past the bytes it has.
TEST(ElfExports, AHeaderPointingBeyondTheFileIsRefused) {
    std::string bytes(64, '\0');
    bytes.replace(0, 4, "\x7f" "ELF");
    bytes[4] = 2;  // 64-bit
    bytes[5] = 1;  // little-endian
    for (int i = 0; i < 8; ++i) bytes[40 + i] = static_cast<char>(0x7f);  // e_shoff, far away
    bytes[58] = 64;                                                        // e_shentsize
    bytes[60] = 1;                                                         // e_shnum
    const std::string path = ::testing::TempDir() + "beyond_the_end.so";
    std::ofstream(path, std::ios::binary) << bytes;
    std::string error;
    const auto names = elfExportedSymbols(path, error);
    EXPECT_TRUE(!names || names->empty()) << error;
}

// A real module whose dynamic symbol names are made to lie far past the file's end: they are left
// out, never read from where the file is not.
TEST(ElfExports, NamesPastTheFileAreLeftOut) {
    std::ifstream in(VORN_AN_ELF_MODULE, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), sizeof(ElfW(Ehdr)));
    ElfW(Ehdr) header;
    std::memcpy(&header, bytes.data(), sizeof header);
    const auto sectionAt = [&](unsigned index) { return header.e_shoff + std::uint64_t(index) * header.e_shentsize; };
    bool moved = false;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        ElfW(Shdr) section;
        std::memcpy(&section, bytes.data() + sectionAt(i), sizeof section);
        if (section.sh_type != SHT_DYNSYM) continue;
        ElfW(Shdr) names;
        std::memcpy(&names, bytes.data() + sectionAt(section.sh_link), sizeof names);
        names.sh_offset = std::uint64_t{1} << (sizeof(void*) == 8 ? 40 : 30);
        std::memcpy(&bytes[sectionAt(section.sh_link)], &names, sizeof names);
        moved = true;
    }
    ASSERT_TRUE(moved);
    std::string error;
    const auto symbols = elfExportedSymbols(writtenFile("names_past_the_end.so", bytes), error);
    ASSERT_TRUE(symbols) << error;
    EXPECT_TRUE(symbols->empty());
}

// A DLL's header read from its bytes: what is not one, and one this reader cannot read, are
// told apart, and neither is read past its end.
TEST(PeExports, HeadersThatAreNoneOrUnreadableAreRefused) {
    std::string error;
    EXPECT_FALSE(peExportedSymbols(writtenFile("plain.txt", "no image at all"), error));
    EXPECT_EQ(error, kNotAPeImage);

    std::string image(0x200, '\0');
    image.replace(0, 2, "MZ");
    image[0x3c] = static_cast<char>(0x80);                      // the PE header is at 0x80
    image.replace(0x80, 4, std::string("PE\0\0", 4));
    image[0x80 + 4 + 2] = 1;                                      // one section
    image[0x80 + 4 + 16] = static_cast<char>(0xe0);               // the optional header's size
    image[0x80 + 24] = 0x34;                                      // a magic that is neither PE32 nor PE32+
    image[0x80 + 25] = 0x12;
    error.clear();
    EXPECT_FALSE(peExportedSymbols(writtenFile("odd_magic.dll", image), error));
    EXPECT_EQ(error, "a PE image without a header this can read");

    error.clear();
    EXPECT_FALSE(peExportedSymbols(writtenFile("cut_short.dll", image.substr(0, 0x80 + 8)), error));
    EXPECT_EQ(error, "a PE image without a header this can read");
}

// A 32-bit DLL as a linker lays it out, cut down to what the export reader reads: one section
// at 0x1000 holding an export table with two named functions and one by ordinal alone.
std::string smallDll() {
    std::string image(0x400, '\0');
    const auto put16 = [&](size_t at, uint16_t v) { image[at] = char(v & 0xff), image[at + 1] = char(v >> 8); };
    const auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) image[at + size_t(i)] = char((v >> (8 * i)) & 0xff);
    };
    const size_t pe = 0x40, optional = pe + 24, sectionTable = optional + 0xe0, raw = 0x200;
    const auto rva = [&](size_t fileOffset) { return uint32_t(fileOffset - raw + 0x1000); };
    image.replace(0, 2, "MZ");
    put32(0x3c, pe);
    image.replace(pe, 4, std::string("PE\0\0", 4));
    put16(pe + 4, 0x14c);  // i386
    put16(pe + 6, 1);      // one section
    put16(pe + 20, 0xe0);  // the optional header's size
    put16(optional, 0x10b);
    put32(optional + 92, 16);             // data directories
    put32(optional + 96, rva(raw));       // the export table
    put32(sectionTable + 8, 0x200);       // virtual size
    put32(sectionTable + 12, 0x1000);     // virtual address
    put32(sectionTable + 16, 0x200);      // raw size
    put32(sectionTable + 20, uint32_t(raw));
    const size_t functions = raw + 0x40, names = raw + 0x50, ordinals = raw + 0x60, text = raw + 0x80;
    put32(raw + 16, 1);  // ordinal base
    put32(raw + 20, 3);  // functions
    put32(raw + 24, 2);  // names
    put32(raw + 28, rva(functions));
    put32(raw + 32, rva(names));
    put32(raw + 36, rva(ordinals));
    for (uint32_t f = 0; f < 3; ++f) put32(functions + 4 * f, 0x1100 + f);
    put32(names, rva(text));
    put32(names + 4, rva(text + 0x20));
    put16(ordinals, 0);
    put16(ordinals + 2, 2);
    image.replace(text, 23, "load_vorn_client_script");
    image.replace(text + 0x20, 5, "extra");
    return image;
}

TEST(PeExports, AnExportTableOutsideTheFileIsRefused) {
    std::string image = smallDll();
    const size_t sectionTable = 0x40 + 24 + 0xe0;
    image[sectionTable + 21] = 0x40;  // the section's bytes said to start at 0x4000, past the end
    std::string error;
    EXPECT_FALSE(peExportedSymbols(writtenFile("table_outside.dll", image), error));
    EXPECT_EQ(error, "an export table outside the file");
}

TEST(PeExports, NamedAndOrdinalOnlyExportsAreRead) {
    std::string error;
    const auto names = peExportedSymbols(writtenFile("small.dll", smallDll()), error);
    ASSERT_TRUE(names) << error;
    EXPECT_EQ(*names, (std::vector<std::string>{"load_vorn_client_script", "extra", "#2"}));
}

// An address just past one section's end belongs to the next: a section ending where the export
// table's begins must not claim it.
TEST(PeExports, AnAddressAtASectionsEndIsInTheNextSection) {
    std::string image = smallDll();
    const size_t pe = 0x40, sectionTable = pe + 24 + 0xe0, sectionSize = 40;
    image.replace(sectionTable + sectionSize, sectionSize, image.substr(sectionTable, sectionSize));
    std::string before(sectionSize, '\0');
    before[8 + 1] = 0x08;   // virtual size 0x800
    before[12 + 1] = 0x08;  // at 0x800: it ends at 0x1000, where the export table's section begins
    before[20 + 1] = 0x01;  // its bytes at 0x100, so 0x1000 read as its would lie past the file
    image.replace(sectionTable, sectionSize, before);
    image[pe + 6] = 2;
    std::string error;
    const auto names = peExportedSymbols(writtenFile("two_sections.dll", image), error);
    ASSERT_TRUE(names) << error;
    EXPECT_EQ(*names, (std::vector<std::string>{"load_vorn_client_script", "extra", "#2"}));
}

// Only as many sections as the header counts are read: a section table that ends where the
// file ends is whole.
TEST(PeExports, ASectionTableAtTheFilesEndIsWhole) {
    std::string image = smallDll();
    const size_t pe = 0x40, optional = pe + 24, sectionTable = optional + 0xe0, sectionSize = 40;
    const size_t movedTable = image.size() - sectionSize;
    image.replace(movedTable, sectionSize, image.substr(sectionTable, sectionSize));
    const size_t optionalSize = movedTable - optional;
    image[pe + 20] = static_cast<char>(optionalSize & 0xff);
    image[pe + 21] = static_cast<char>(optionalSize >> 8);
    std::string error;
    const auto names = peExportedSymbols(writtenFile("table_at_the_end.dll", image), error);
    ASSERT_TRUE(names) << error;
    EXPECT_EQ(names->size(), 3u);
}

// The C functions a module's imports are pointed at: counted, failed on demand, and a block
// counted as live until it is freed.
// What the watched free takes back is given back to the C library, not only uncounted.
TEST(WatchedAllocations, AFreedBlockIsGivenBackToTheCLibrary) {
    module_allocator::watchedFree(module_allocator::watchedMalloc(64));  // the block table made
    const size_t inUse = mallinfo2().uordblks;
    module_allocator::watchedFree(module_allocator::watchedMalloc(100000));
    EXPECT_EQ(mallinfo2().uordblks, inUse);
}

TEST(WatchedAllocations, AreCountedFailedAndFreed) {
    const long live = module_allocator::liveBlocks();
    void* zeroed = module_allocator::watchedCalloc(4, 8);
    ASSERT_NE(zeroed, nullptr);
    EXPECT_EQ(static_cast<const char*>(zeroed)[31], 0);
    char* copy = module_allocator::watchedStrdup("text");
    EXPECT_STREQ(copy, "text");
    EXPECT_EQ(module_allocator::liveBlocks(), live + 2);
    void* grown = module_allocator::watchedRealloc(zeroed, 4096);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(module_allocator::liveBlocks(), live + 2);
    module_allocator::watchedFree(grown);
    module_allocator::watchedFree(copy);
    EXPECT_EQ(module_allocator::liveBlocks(), live);

    errno = 0;
    EXPECT_EQ(module_allocator::watchedCalloc(SIZE_MAX / 4 + 2, 4), nullptr);  // 4 once wrapped
    EXPECT_EQ(errno, ENOMEM);
    EXPECT_EQ(module_allocator::liveBlocks(), live);

    void* array = module_allocator::watchedReallocarray(nullptr, 4, 8);
    ASSERT_NE(array, nullptr);
    errno = 0;
    EXPECT_EQ(module_allocator::watchedReallocarray(array, SIZE_MAX / 4 + 2, 4), nullptr);
    EXPECT_EQ(errno, ENOMEM);
    module_allocator::watchedFree(array);
    EXPECT_EQ(module_allocator::liveBlocks(), live);
}

TEST(WatchedAllocations, AFailedAllocationSaysSoAndEveryOneFromItOnFailsWhenAsked) {
    module_allocator::armed_scope armed(true);
    module_allocator::failAllocation(2);
    void* first = module_allocator::watchedMalloc(8);
    EXPECT_NE(first, nullptr);
    void* block = nullptr;
    EXPECT_EQ(module_allocator::watchedPosixMemalign(&block, 64, 8), ENOMEM);
    EXPECT_TRUE(module_allocator::failureReached());
    void* third = module_allocator::watchedMalloc(8);
    EXPECT_NE(third, nullptr);
    module_allocator::failAllocation(1);
    EXPECT_EQ(module_allocator::watchedRealloc(third, 4096), nullptr);  // the old block stays
    static_cast<char*>(third)[7] = 'x';
    module_allocator::failAllocationsFrom(1);
    EXPECT_EQ(module_allocator::watchedMalloc(8), nullptr);
    EXPECT_EQ(module_allocator::watchedStrdup("x"), nullptr);
    module_allocator::failAllocation(0);
    module_allocator::watchedFree(first);
    module_allocator::watchedFree(third);
}

TEST(WatchedAllocations, OverAlignedNewAndDeleteBalance) {
    struct alignas(64) wide {
        char bytes[64];
    };
    const long live = module_allocator::liveBlocks();
    wide* one = new wide;
    wide* many = new wide[3];
    const long whileHeld = module_allocator::liveBlocks();
    const bool aligned = (reinterpret_cast<std::uintptr_t>(one) | reinterpret_cast<std::uintptr_t>(many)) % 64 == 0;
    delete one;
    delete[] many;
    const long afterwards = module_allocator::liveBlocks();
    EXPECT_TRUE(aligned);
    EXPECT_EQ(whileHeld, live + 2);
    EXPECT_EQ(afterwards, live);
}

// Every form of operator delete gives its block back, whichever form of new made it.
TEST(WatchedAllocations, EveryFormOfDeleteGivesTheBlockBack) {
    std::vector<long> after;
    after.reserve(10);  // no allocation of the test's own among those counted
    const long live = module_allocator::liveBlocks();
    const std::align_val_t wide{64};
    const std::nothrow_t quietly;
    const auto counted = [&] { after.push_back(module_allocator::liveBlocks() - live); };
    ::operator delete(::operator new(8), quietly);
    counted();
    ::operator delete[](::operator new[](8, quietly), quietly);
    counted();
    ::operator delete(::operator new(8, wide), wide);
    counted();
    ::operator delete[](::operator new[](8, wide), wide);
    counted();
    ::operator delete(::operator new(8, wide), wide, quietly);
    counted();
    ::operator delete[](::operator new[](8, wide), wide, quietly);
    counted();
#if defined(__cpp_sized_deallocation)
    ::operator delete(::operator new(8), std::size_t{8});
    counted();
    ::operator delete[](::operator new[](8), std::size_t{8});
    counted();
    ::operator delete(::operator new(8, wide, quietly), std::size_t{8}, wide);
    counted();
    ::operator delete[](::operator new[](8, wide, quietly), std::size_t{8}, wide);
    counted();
#endif
    EXPECT_EQ(after, std::vector<long>(after.size(), 0));
}

}  // namespace
