# The built modules driven through their one export, as a host loads them: allocation counted and
# failed at every point, the exports, the example module built from the install tree, and the
# native C++ ABI.
# The allocation tests replace the process's allocation functions with counting ones that
# forward to malloc and free, so memcheck and the sanitizers still watch every block.
vorn_add_gtest(allocation_tests module/allocation_test.cpp)
target_link_libraries(allocation_tests PRIVATE Router vorn_script_helper vorn_host_allocator)

if(NOT WIN32)
  vorn_add_gtest(module_loading_tests module/module_loading_test.cpp)
  target_link_libraries(module_loading_tests PRIVATE vorn_interfaces ${CMAKE_DL_LIBS})
  target_compile_definitions(module_loading_tests PRIVATE ROUTER_MODULE_PATH="$<TARGET_FILE:Router>")
  add_dependencies(module_loading_tests Router)

  add_test(NAME router_module_exports_only_the_factory
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DMODULE=$<TARGET_FILE:Router>
            -DEXPECTED=load_vorn_client_script -P ${CMAKE_CURRENT_SOURCE_DIR}/packaging/check_exports.cmake)
endif()

if(NOT WIN32)
  vorn_add_gtest(alarm_panel_tests module/alarm_panel_test.cpp FIXTURE alarm_panel_module)
  target_link_libraries(alarm_panel_tests PRIVATE vorn_script_helper ${CMAKE_DL_LIBS})
  target_compile_definitions(alarm_panel_tests PRIVATE
    ALARM_PANEL_MODULE_PATH="${consumer_dir}/alarm_panel/AlarmPanel${CMAKE_SHARED_LIBRARY_SUFFIX}")

  # Allocation failure at every point, over Router and over the example's alarm group.
  vorn_add_gtest(allocation_failure_tests module/allocation_failure_test.cpp FIXTURE alarm_panel_module)
  target_link_libraries(allocation_failure_tests PRIVATE Router vorn_host_session vorn_host_allocator ${CMAKE_DL_LIBS})
  target_compile_definitions(allocation_failure_tests PRIVATE
    ALARM_PANEL_MODULE_PATH="${consumer_dir}/alarm_panel/AlarmPanel${CMAKE_SHARED_LIBRARY_SUFFIX}"
    VORN_ROUTER_PANEL_DIR="${PROJECT_SOURCE_DIR}/router"
    LONG_ALARM_PANEL_DIR="${CMAKE_CURRENT_SOURCE_DIR}/module/long_alarm_panel")
endif()


# The native-ABI host's source, built for this platform: its transcript is the golden one that
# the Windows build must reproduce under the native C++ ABI.
add_executable(native_host windows/native_host/native_host.cpp)
target_link_libraries(native_host PRIVATE vorn_interfaces ${CMAKE_DL_LIBS})
add_test(NAME native_host_transcript
  COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:native_host>;$<TARGET_FILE:Router>"
          -DEXPECTED=${CMAKE_CURRENT_SOURCE_DIR}/windows/native_host/typical_take.transcript
          -P ${CMAKE_CURRENT_SOURCE_DIR}/support/compare_transcript.cmake)
