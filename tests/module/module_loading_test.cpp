// The module as a host meets it: a shared object opened by path, the factory found by name.
#include <gtest/gtest.h>

#include "loaded_module.h"
#include "recording_host.h"

TEST(ModuleLoading, HostFindsTheFactoryByItsPlainNameAndDrivesTheScript) {
    loaded_module module(ROUTER_MODULE_PATH);
    ASSERT_NE(module.factory(), nullptr) << module.error();
    EXPECT_EQ(dlsym(module.handle(), "_ZN6RouterC1EP17vorn_host_commandPKc"), nullptr);

    recording_host host;
    vorn_client_callback* script = module.factory()(&host, "");
    ASSERT_NE(script, nullptr);
    script->callback(const_cast<char*>("RouterDeviceNo=12"), kCodeParameterRequest);
    vorn_delete_script(script);
    EXPECT_EQ(host.commands.size(), 5u);
    EXPECT_EQ(host.commands.back(), "AS");
}
