# Tests that drive vorn-host from Node.js: the Videohub protocol against npm's videohub-server
# and a stand-in of our own, Ember+ against npm's node-emberplus and emberplus-connection, and
# the browser view in Debian's chromium. The npm packages, at the
# versions pinned in node_tools/package.json, are installed into the build folder first.
find_program(VORN_NODE NAMES node nodejs)
find_program(VORN_NPM NAMES npm)
if(NOT VORN_NODE OR NOT VORN_NPM OR VORN_TEST_LAUNCHER)
  return()
endif()

# The router scenarios that need no npm package: the stand-in of our own.
set(stand_in_scenarios confirms refuses silent unconfirmed out-of-range never-accepts floods drops-and-returns tally)

vorn_scaled_time(router_test_seconds 60)
vorn_scaled_time(web_test_seconds 120)
get_property(web_view GLOBAL PROPERTY VORN_WEB_VIEW)

# What runs vorn-host: the program itself, or on Windows vorn-host.exe through the emulator
# (wine64). Where Windows' sockets cannot start, none of these tests is made: the one line
# vorn-host prints there is a test of its own (windows_sockets.cmake). Where this build's programs
# cannot run at all (a machine without 32-bit code), each is made all the same and reports itself
# skipped, saying why. npm's videohub-server runs against this machine's own build only.
if(VORN_SKIP_LINE)
  set(host_command "${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:vorn-host>")
  set(router_scenarios ${stand_in_scenarios})
elseif(NOT VORN_WINDOWS_SOCKETS_START)
  return()
elseif(NOT CMAKE_CROSSCOMPILING)
  set(host_command $<TARGET_FILE:vorn-host>)
  # How often vorn-host wakes is read from Linux's /proc.
  set(router_scenarios videohub-server ${stand_in_scenarios} idle)
elseif(WIN32)
  set(host_command "${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:vorn-host>")
  set(router_scenarios ${stand_in_scenarios})
else()
  return()
endif()

# The packages are installed by one pinned npm, fetched by the machine's own: Debian's npm 9
# cannot apply package.json's override to a dependency named by its git host.
set(node_tools ${CMAKE_BINARY_DIR}/node_tools)
set(node_tools_npm npm@10.9.4)
if(NOT VORN_SKIP_LINE)
  add_test(NAME node_tools_install
    COMMAND ${CMAKE_COMMAND} -DNPM=${VORN_NPM} -DINSTALLER=${node_tools_npm} -DSOURCE=${CMAKE_CURRENT_SOURCE_DIR}/node_tools/package.json
            -DTARGET=${node_tools} -P ${CMAKE_CURRENT_SOURCE_DIR}/node_tools/node_tools_install.cmake)
  set_tests_properties(node_tools_install PROPERTIES FIXTURES_SETUP node_tools)
endif()

# One Node test: SCRIPT run by node with the arguments BEFORE, then the command that runs
# vorn-host (one argument, which the script splits), then AFTER, once the npm packages are
# installed, within SECONDS. Where the build's programs cannot run, vorn-host is run alone
# instead, through the emulator that runs nothing, and the test reports itself skipped with its
# line.
function(vorn_node_test name seconds script)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "BEFORE;AFTER")
  if(VORN_SKIP_LINE)
    add_test(NAME ${name} COMMAND ${host_command})
    return()
  endif()
  add_test(NAME ${name}
    COMMAND ${VORN_NODE} ${CMAKE_CURRENT_SOURCE_DIR}/node_tools/${script} ${arg_BEFORE} "${host_command}" ${arg_AFTER})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED node_tools SKIP_RETURN_CODE 77
    TIMEOUT ${seconds} ENVIRONMENT VORN_TIME_SCALE=${VORN_TIME_SCALE})
endfunction()

# Routes on an Ember+ matrix, against two providers that nobody here wrote; what neither does (a
# take never answered, a flood, a drop mid-route) against node-emberplus, or a stand-in of our
# own in front of it.
set(ember_scenarios confirms locked out-of-range labels tally)
set(node-emberplus_scenarios ${ember_scenarios} silent floods drops-and-returns)
set(emberplus-connection_scenarios ${ember_scenarios})
foreach(provider IN ITEMS node-emberplus emberplus-connection)
  foreach(scenario IN LISTS ${provider}_scenarios)
    vorn_node_test(ember_link.${provider}.${scenario} ${router_test_seconds} ember_link_test.js BEFORE ${provider} ${scenario}
      AFTER $<TARGET_FILE:Router> ${PROJECT_SOURCE_DIR}/sessions/typical_take.session
      ${node_tools}/node_modules)
  endforeach()
endforeach()

foreach(scenario IN LISTS router_scenarios)
  vorn_node_test(router_link.${scenario} ${router_test_seconds} router_link_test.js BEFORE ${scenario}
    AFTER $<TARGET_FILE:Router> ${PROJECT_SOURCE_DIR}/sessions/typical_take.session
    ${node_tools}/node_modules)
endforeach()

# The browser view, clicked in Debian's chromium; the screenshot stays in the build folder.
if(web_view)
  vorn_node_test(web_view_take_by_clicking ${web_test_seconds} web_view_test.js
    AFTER $<TARGET_FILE:Router> ${node_tools}/node_modules ${CMAKE_CURRENT_BINARY_DIR}/web_view.png
    ${CMAKE_CURRENT_BINARY_DIR}/web_view_clicked.session)

  # What is not the page's own is refused: another origin in chromium, requests with foreign
  # Hosts, Origins, tokens and bodies, and a listener beyond loopback.
  foreach(scenario IN ITEMS other-origin requests beyond-loopback)
    vorn_node_test(web_view_refuses.${scenario} ${web_test_seconds} web_refusals_test.js BEFORE ${scenario}
      AFTER $<TARGET_FILE:Router> ${node_tools}/node_modules ${CMAKE_CURRENT_BINARY_DIR}/web_refusals)
  endforeach()
endif()

if(web_view AND NOT CMAKE_CROSSCOMPILING)
  set(install_node_tools ${CMAKE_COMMAND} -DNPM=${VORN_NPM} -DINSTALLER=${node_tools_npm}
      -DSOURCE=${CMAKE_CURRENT_SOURCE_DIR}/node_tools/package.json -DTARGET=${node_tools}
      -P ${CMAKE_CURRENT_SOURCE_DIR}/node_tools/node_tools_install.cmake)
  # The README's screenshot, made anew by one command: cmake --build --preset default --target web_screenshot
  add_custom_target(web_screenshot
    COMMAND ${install_node_tools}
    COMMAND ${VORN_NODE} ${CMAKE_CURRENT_SOURCE_DIR}/node_tools/web_view_test.js $<TARGET_FILE:vorn-host>
            $<TARGET_FILE:Router> ${node_tools}/node_modules ${PROJECT_SOURCE_DIR}/docs/web_view.png
            ${CMAKE_CURRENT_BINARY_DIR}/web_view_clicked.session
    DEPENDS vorn-host Router
    COMMENT "Clicking a take in the browser view for docs/web_view.png")
endif()

  # The router page's screenshot: a take and a second client's connect on node-emberplus's
  # labelled matrix, pictured in Debian's chromium.
  add_custom_target(router_view_screenshot
    COMMAND ${install_node_tools}
    COMMAND ${VORN_NODE} ${CMAKE_CURRENT_SOURCE_DIR}/node_tools/ember_link_test.js node-emberplus tally
            $<TARGET_FILE:vorn-host> $<TARGET_FILE:Router> ${PROJECT_SOURCE_DIR}/sessions/typical_take.session
            ${node_tools}/node_modules ${PROJECT_SOURCE_DIR}/docs/router_view.png
    DEPENDS vorn-host Router
    COMMENT "A take and a second client's route on an Ember+ matrix, for docs/router_view.png")
