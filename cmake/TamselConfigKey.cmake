# The PEM public key that verifies the administrator's signed configuration.
#
# TAMSEL_CONFIG_PUBLIC_KEY names the administrators' key file, or "test" for the published test
# key in tests/keys, whose private half anyone can read. A Debug build without it uses the test key;
# any other build (Release, and what is installed) stops here, so that none trusts the test key
# without having asked for it.
#
# tamsel_config_public_key(<path-var> <is-test-var>)
set(TAMSEL_TEST_CONFIG_PUBLIC_KEY "${CMAKE_CURRENT_LIST_DIR}/../tests/keys/test_config_public_key.pem")

function(tamsel_config_public_key path_var is_test_var)
  set(key "${TAMSEL_CONFIG_PUBLIC_KEY}")
  if(key STREQUAL "")
    if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
      message(FATAL_ERROR
        "A build that is not a Debug build needs the administrators' public key: configure it with "
        "-DTAMSEL_CONFIG_PUBLIC_KEY=<key.pem>, or with -DTAMSEL_CONFIG_PUBLIC_KEY=test for the published "
        "test key, with which anyone can sign a configuration the build accepts.")
    endif()
    set(key "${TAMSEL_TEST_CONFIG_PUBLIC_KEY}")
  elseif(key STREQUAL "test")
    set(key "${TAMSEL_TEST_CONFIG_PUBLIC_KEY}")
  endif()
  get_filename_component(key "${key}" ABSOLUTE)
  if(NOT EXISTS "${key}")
    message(FATAL_ERROR "TAMSEL_CONFIG_PUBLIC_KEY names no file: ${key}")
  endif()
  file(READ "${key}" pem)
  string(STRIP "${pem}" pem)
  if(NOT pem MATCHES "^-----BEGIN PUBLIC KEY-----")
    message(FATAL_ERROR "TAMSEL_CONFIG_PUBLIC_KEY is not a PEM public key: ${key}")
  endif()
  file(READ "${TAMSEL_TEST_CONFIG_PUBLIC_KEY}" test_pem)
  string(STRIP "${test_pem}" test_pem)
  if(pem STREQUAL test_pem)
    set(${is_test_var} TRUE PARENT_SCOPE)
  else()
    set(${is_test_var} FALSE PARENT_SCOPE)
  endif()
  set(${path_var} "${key}" PARENT_SCOPE)
endfunction()
