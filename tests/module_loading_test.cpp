// The module as a host meets it: a shared object opened by path, the factory found by name.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include "recording_host.h"
#include "vorn_client_callback.h"

TEST(ModuleLoading, HostFindsTheFactoryByItsPlainNameAndDrivesTheScript) {
    void* module = dlopen(ROUTER_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto factory = reinterpret_cast<load_vorn_client_script_fn>(dlsym(module, kExportName));
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(dlsym(module, "_ZN6RouterC1EP17vorn_host_commandPKc"), nullptr);

    recording_host host;
    vorn_client_callback* script = factory(&host, "");
    ASSERT_NE(script, nullptr);
    script->callback(const_cast<char*>("RouterDeviceNo=12"), kCodeParameterRequest);
    delete script;
    EXPECT_EQ(host.commands.size(), 5u);
    EXPECT_EQ(host.commands.back(), "AS");
    EXPECT_EQ(dlclose(module), 0);
}
