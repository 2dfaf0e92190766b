# How many times slower than a plain run this build's test programs run: under valgrind, the
# sanitizers or an emulator. Every time limit a test sets is this many times its plain value, so
# a limit holds wherever the suite runs; a busy machine is covered by the limits' own slack.
if(VORN_TEST_LAUNCHER MATCHES "valgrind")
  set(VORN_TIME_SCALE 30)
elseif(CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  set(VORN_TIME_SCALE 5)
elseif(CMAKE_CROSSCOMPILING_EMULATOR)
  set(VORN_TIME_SCALE 5)
else()
  set(VORN_TIME_SCALE 1)
endif()

# vorn_scaled_time(VARIABLE PLAIN): PLAIN (seconds or milliseconds) times the scale.
function(vorn_scaled_time variable plain)
  math(EXPR scaled "${plain} * ${VORN_TIME_SCALE}")
  set(${variable} ${scaled} PARENT_SCOPE)
endfunction()

# The processor time a validate check may use in the suite: vorn-host's own default, scaled.
vorn_scaled_time(VORN_CHECK_TIMEOUT_MS 20000)
