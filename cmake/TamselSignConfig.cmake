# tamsel_signed_config(<target> INPUT <configuration.xml> OUTPUT <signed.xml>)
# Signs an administrator configuration at build time with tamsel_sign_config and the published
# test key (tests/keys), which checks the result before it writes it. Every signed sample of the
# project comes through here: the tests' corpus, the files the file-level and system tests start
# from, and the configuration scripts/run starts on. A build embedding another key does not accept
# these files; its tests verify them with the test key by name.
set(TAMSEL_TEST_CONFIG_PRIVATE_KEY "${CMAKE_CURRENT_LIST_DIR}/../tests/keys/test_config_private_key.pem")

function(tamsel_signed_config target)
  cmake_parse_arguments(S "" "INPUT;OUTPUT" "" ${ARGN})
  if(NOT S_INPUT OR NOT S_OUTPUT)
    message(FATAL_ERROR "tamsel_signed_config(${target}) needs INPUT and OUTPUT")
  endif()
  get_filename_component(folder "${S_OUTPUT}" DIRECTORY)
  add_custom_command(OUTPUT "${S_OUTPUT}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
    COMMAND tamsel_sign_config "${TAMSEL_TEST_CONFIG_PRIVATE_KEY}" "${S_INPUT}" "${S_OUTPUT}"
    DEPENDS "${S_INPUT}" tamsel_sign_config "${TAMSEL_TEST_CONFIG_PRIVATE_KEY}"
    COMMENT "Signing ${S_INPUT} with the test key"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${S_OUTPUT}")
endfunction()
