# One configuration of the key choice, run as a script: prints the key file the build would embed
# and whether it is the test key, or stops as the configuration would.
#   cmake -DCMAKE_BUILD_TYPE=<type> [-DTAMSEL_CONFIG_PUBLIC_KEY=<value>] -P ConfigKeyCase.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../../cmake/TamselConfigKey.cmake)
tamsel_config_public_key(key is_test)
message("key=${key} test=${is_test}")
