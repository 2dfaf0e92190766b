// What the checks learn from a module's answers: its parameters and the controls it shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_vocabulary.h"
#include "vorn_boundary_words.h"

using namespace vorn_host;

namespace {

TEST(ModuleVocabulary, ParameterNamesAreTheNamesOfNameValueLines) {
    EXPECT_EQ(parameterNames("RouterDeviceNo=12"), (std::vector<std::string>{"RouterDeviceNo"}));
    EXPECT_EQ(parameterNames("a=1\nb=[value]\n=x\nplain\na=2"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(parameterNames("").empty());
}

TEST(ModuleVocabulary, RequestsAreTheHostsOwnThenASettingAndAQuestionForEachParameter) {
    module_vocabulary vocabulary;
    vocabulary.parameters = {"Device"};
    EXPECT_EQ(vocabulary.requests("5"), (std::vector<std::string>{"return=all", "_events", "_commands", "instance=5",
                                                                  "Device=5", "return=Device"}));
    EXPECT_EQ(vocabulary.settings("5"), (std::vector<std::string>{"instance=5", "Device=5"}));
    EXPECT_EQ(vocabulary.controlsToExercise().size(), 1u);
    vocabulary.shownControls = {{"3", "Go"}, {"3", "Inputs"}};
    EXPECT_EQ(vocabulary.controlsToExercise(), vocabulary.shownControls);
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

}  // namespace
